// The judged save: whatever the bytes, planning stays in bounds; the saved
// file keeps every whole frame; and where giflib reads the opened file whole,
// the saved one reads too and every frame it composes is the picture as
// chosen, except frames the plan itself counts as not right.
#include "FuzzSupport.h"
#include "common/GifAnimation.h"
#include "document/GifDocument.h"
#include "document/GifFrames.h"
#include "frames/SavePlan.h"

namespace {

uint32_t Pixel(TColor c) { return 0xFF000000u | uint32_t(RedOf(c)) << 16 | uint32_t(GreenOf(c)) << 8 | BlueOf(c); }

// Decoders differ on which of several control blocks of a frame holds, and
// on one of the wrong size (giflib takes the first, whatever its size): the
// target is clear only where each frame has at most one, and every one is
// well formed.
bool ControlBlocksAgree(const QByteArray& gif, const TFrameWalk& walk) {
  for (const TGifFrame& f : walk.Frames)
    if (f.Gces.size() > 1) return false;
  const auto* b = reinterpret_cast<const uint8_t*>(gif.constData());
  int64_t pos = kGifScreenDescriptorEnd + ((b[10] & 0x80) ? GifTableBytes(b[10]) : 0);
  while (pos + 2 < gif.size()) {
    if (b[pos] == 0x21) {
      if (b[pos + 1] == 0xF9 && b[pos + 2] != 4) return false;
      pos = SkipGifSubBlocks(gif, pos + 2);
    } else if (b[pos] == 0x2C && pos + kGifImageDescriptorSize < gif.size()) {
      const uint8_t packed = b[pos + 9];
      pos += kGifImageDescriptorSize + ((packed & 0x80) ? GifTableBytes(packed) : 0) + 1;
      if (pos > gif.size()) return true;
      pos = SkipGifSubBlocks(gif, pos);
    } else {
      return true;
    }
    if (pos < 0) return true;
  }
  return true;
}

void Check(const TGifDocument& doc, TFrameRewrite rewrite) {
  const TSavePlan plan = PlanSave(doc, true, rewrite);
  const QByteArray saved = plan.Edits.Apply(doc.GifData);
  const TFrameWalk before = WalkGifFrames(doc.GifData), after = WalkGifFrames(saved);
  FUZZ_CHECK(after.Frames.size() == before.Frames.size());
  FUZZ_CHECK(plan.Frames.Rewritten <= plan.Frames.Frames);
  if (rewrite == TFrameRewrite::Never) FUZZ_CHECK(plan.Frames.Rewritten == 0);

  QByteArray opened = doc.GifData;
  opened[doc.GceFlagsOffset] = char(uint8_t(opened[doc.GceFlagsOffset]) & ~1);
  const auto target = ComposeFrames(opened);
  if (!target || before.Damaged || !ControlBlocksAgree(doc.GifData, before)) return;
  const auto shown = ComposeFrames(saved);
  FUZZ_CHECK(shown.has_value());
  FUZZ_CHECK(shown->Canvases.size() == target->Canvases.size());
  if (plan.Frames.NotRight > 0 || plan.Frames.UndecodedFrom >= 0) return;
  const uint32_t chosen = Pixel(doc.PaletteColors[doc.TransparentIndex]);
  for (size_t k = 0; k < target->Canvases.size(); ++k)
    for (size_t i = 0; i < target->Canvases[k].size(); ++i) {
      const uint32_t want = target->Canvases[k][i] == chosen ? 0 : target->Canvases[k][i];
      FUZZ_CHECK(shown->Canvases[k][i] == want);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  TGifDocument doc;
  if (!doc.ReadGifHeader(Bytes(data + 1, size - 1))) return 0;
  // Keep the work per input small: the judge composes whole screens.
  if (int64_t(doc.ImageWidth) * doc.ImageHeight > (1 << 16)) return 0;
  doc.TransparentOn = true;
  doc.TransparentIndex = uint8_t(data[0] % doc.ColorCount);
  Check(doc, TFrameRewrite::Allowed);
  Check(doc, TFrameRewrite::Never);
  return 0;
}
