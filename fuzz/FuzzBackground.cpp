// The save beyond one colour: any input with any tolerance, region and matte,
// taken from its first bytes. Planning stays in bounds; every frame of the
// save has a table of at most 256 entries; where giflib reads the opened file
// whole, the save reads too, and each frame it judged composes to its target
// (the test compositor's frames, each turned into a target by the same
// function), except where the plan says it left frames; and the frames the
// alpha road writes with hard edges are those the saved GIF shows.
#include "SaveChecks.h"
#include "FuzzSupport.h"
#include "common/GifAnimation.h"
#include "document/GifDocument.h"
#include "document/GifFrames.h"
#include "frames/AlphaFrames.h"
#include "frames/ReachTarget.h"
#include "frames/Canvas.h"
#include "frames/SavePlan.h"

namespace {

constexpr size_t kSettingsBytes = 6;

void Check(const TGifDocument& doc, bool allFrames) {
  const TSavePlan plan = PlanSave(doc, allFrames);
  const QByteArray saved = plan.Edits.Apply(doc.GifData);
  const TFrameWalk before = WalkGifFrames(doc.GifData), after = WalkGifFrames(saved);
  FUZZ_CHECK(after.Frames.size() == before.Frames.size());
  FUZZ_CHECK(plan.Frames.Rewritten <= plan.Frames.Frames && plan.Frames.Reduced <= plan.Frames.Frames);
  for (const TGifFrame& f : after.Frames) FUZZ_CHECK(f.ColorCount <= 256);

  const auto sides = ComposedSides(doc, saved);
  if (!sides) return;
  const TComposed *target = &sides->first, *shown = &sides->second;
  if (!ControlBlocksWellFormed(doc.GifData)) return;
  // Frames whose nearest colours were merged to fit a table are near their target, not on it.
  if (plan.Frames.NotRight > 0 || plan.Frames.UndecodedFrom >= 0 || plan.Frames.TooLargeToJudge ||
      plan.Frames.Reduced > 0)
    return;
  // Readers that honour another of several control blocks are fuzz_save_plan's.
  const TColor c = doc.PaletteColors[doc.TransparentIndex];
  TReachTarget beyond(OpaquePixel(uint8_t(RedOf(c)), uint8_t(GreenOf(c)), uint8_t(BlueOf(c))), doc.Reach);
  TCanvas frame(TRect::Sized(target->Left, target->Top, target->Width, target->Height));
  const size_t judged = allFrames ? target->Canvases.size() : std::min<size_t>(1, target->Canvases.size());
  for (size_t k = 0; k < judged; ++k) {
    frame.Paste(frame.Bounds(), target->Canvases[k]);
    beyond.Make(frame);
    FUZZ_CHECK(shown->Canvases[k] == beyond.Target());
  }
  const TRect area = AlphaCanvasOf(doc, allFrames).Area;
  if (doc.Reach.SoftEdges || area != TRect::Sized(shown->Left, shown->Top, shown->Width, shown->Height)) return;
  size_t k = 0;
  const TAlphaFramesResult alpha = ComposeAlphaFrames(doc, allFrames, [&](const TPixel* pixels, int) {
    FUZZ_CHECK(k < shown->Canvases.size() && std::equal(shown->Canvases[k].begin(), shown->Canvases[k].end(), pixels));
    ++k;
    return true;
  });
  FUZZ_CHECK(alpha.UndecodedFrom >= 0 || alpha.TooLarge || k == shown->Canvases.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::optional<TGifDocument> doc = ChosenDocument(data, size, kSettingsBytes);
  if (!doc) return 0;
  doc->Reach.Tolerance = data[1] % (kMaxTolerance + 1);
  doc->Reach.Connected = data[2] & 1;
  if (data[2] & 2) doc->Reach.Matte = RGBColor(data[3], data[4], data[5]), doc->Reach.SoftEdges = true;
  Check(*doc, !(data[2] & 4));
  return 0;
}
