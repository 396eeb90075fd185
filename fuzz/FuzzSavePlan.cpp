// The judged save: whatever the bytes, planning stays in bounds; the saved
// file keeps every whole frame; and where giflib reads the opened file whole,
// every save reads too, and every frame it composes, whichever control block
// of a frame is honoured, is the picture as chosen, except frames the plan
// itself says it left.
#include "SaveChecks.h"
#include "FuzzSupport.h"
#include "common/GifAnimation.h"
#include "document/GifDocument.h"
#include "document/GifFrames.h"
#include "frames/Canvas.h"
#include "frames/SavePlan.h"

namespace {

uint32_t Pixel(TColor c) { return 0xFF000000u | uint32_t(RedOf(c)) << 16 | uint32_t(GreenOf(c)) << 8 | BlueOf(c); }

void Check(const TGifDocument& doc, TFrameRewrite rewrite) {
  const TSavePlan plan = PlanSave(doc, true, rewrite);
  const QByteArray saved = plan.Edits.Apply(doc.GifData);
  const TFrameWalk before = WalkGifFrames(doc.GifData), after = WalkGifFrames(saved);
  FUZZ_CHECK(after.Frames.size() == before.Frames.size());
  FUZZ_CHECK(plan.Frames.Rewritten <= plan.Frames.Frames);
  if (rewrite == TFrameRewrite::Never) FUZZ_CHECK(plan.Frames.Rewritten == 0);

  const auto sides = ComposedSides(doc, saved);
  if (!sides) return;
  const TComposed* target = &sides->first;
  if (!ControlBlocksWellFormed(doc.GifData)) return;
  if (plan.Frames.NotRight > 0 || plan.Frames.UndecodedFrom >= 0 || plan.Frames.TooLargeToJudge) return;
  const uint32_t chosen = Pixel(doc.PaletteColors[doc.TransparentIndex]);
  for (const TControlReading reading : {TControlReading::First, TControlReading::Last}) {
    const auto read = ComposeFrames(saved, reading);
    FUZZ_CHECK(read && read->Width == target->Width && read->Height == target->Height);
    for (size_t k = 0; k < target->Canvases.size(); ++k)
      for (size_t i = 0; i < target->Canvases[k].size(); ++i) {
        const uint32_t want = target->Canvases[k][i] == chosen ? 0 : target->Canvases[k][i];
        FUZZ_CHECK(read->Canvases[k][i] == want);
      }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::optional<TGifDocument> doc = ChosenDocument(data, size, 1);
  if (!doc) return 0;
  Check(*doc, TFrameRewrite::Allowed);
  Check(*doc, TFrameRewrite::Never);
  return 0;
}
