// The GIF header reader, its structure walk and the patch rule: whatever the
// bytes, reading stays in bounds, and a file it accepts can be patched so that
// it reads back with exactly the chosen transparency and nothing else changed;
// the patch of every frame keeps the frames and only adds control blocks.
#include "FuzzSupport.h"
#include "document/GifDocument.h"
#include "document/GifFrames.h"

namespace {

void CheckPatch(const TGifDocument& doc, bool on, uint8_t index) {
  TGifDocument choice = doc;
  choice.TransparentOn = on;
  choice.TransparentIndex = index;
  QByteArray patched = doc.GifData;
  choice.PatchTransparency(patched);
  FUZZ_CHECK(patched.size() == doc.GifData.size());
  for (qsizetype i = 0; i < patched.size(); ++i)
    if (i != doc.GceFlagsOffset && i != doc.TransparentIndexOffset) FUZZ_CHECK(patched[i] == doc.GifData[i]);

  const auto again = ParseGifHeader(patched);
  FUZZ_CHECK(again.has_value());
  FUZZ_CHECK(!again->InsertedGce);
  FUZZ_CHECK(again->GceFlagsOffset == doc.GceFlagsOffset);
  FUZZ_CHECK(again->TransparentIndexOffset == doc.TransparentIndexOffset);
  FUZZ_CHECK(bool(again->GceFlags & 1) == on);
  FUZZ_CHECK((again->GceFlags & 0xFE) == (doc.GceFlags & 0xFE));
  if (on) FUZZ_CHECK(again->LoadedTransIndex == index);
  FUZZ_CHECK(again->ColorCount == doc.ColorCount);

  // Every frame: only control blocks are added, the same frames are found,
  // and the first frame reads back with the choice.
  TGifEdits edits;
  const TFramePatchResult frames = choice.PlanPatch(true, edits);
  const QByteArray all = edits.Apply(doc.GifData);
  const TFrameWalk before = WalkGifFrames(doc.GifData), after = WalkGifFrames(all);
  FUZZ_CHECK(after.Frames.size() == before.Frames.size());
  FUZZ_CHECK(after.Damaged == before.Damaged);
  FUZZ_CHECK((all.size() - doc.GifData.size()) % 8 == 0);
  FUZZ_CHECK(all.size() - doc.GifData.size() <= 8 * qsizetype(before.Frames.size()));
  FUZZ_CHECK(frames.TransparentFrames <= frames.Frames);
  const auto first = ParseGifHeader(all);
  FUZZ_CHECK(first.has_value() && bool(first->GceFlags & 1) == on);
  if (on) FUZZ_CHECK(first->LoadedTransIndex == index);
  TGifEdits planAgain;
  choice.PlanPatch(true, planAgain);
  FUZZ_CHECK(planAgain.Apply(doc.GifData) == all);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray file = Bytes(data, size);
  const auto header = ParseGifHeader(file);
  TGifDocument doc;
  FUZZ_CHECK(doc.ReadGifHeader(file) == header.has_value());
  if (!header) return 0;

  FUZZ_CHECK(header->Data.size() == file.size() + (header->InsertedGce ? 8 : 0));
  FUZZ_CHECK(header->ColorCount >= 2 && header->ColorCount <= 256);
  FUZZ_CHECK(header->GceFlagsOffset > 0);
  FUZZ_CHECK(header->TransparentIndexOffset == header->GceFlagsOffset + 3);
  FUZZ_CHECK(header->TransparentIndexOffset < header->Data.size());
  FUZZ_CHECK(doc.ColorCount == header->ColorCount);

  CheckPatch(doc, true, size ? data[size - 1] : 0);
  CheckPatch(doc, false, 0);
  CheckPatch(doc, doc.LoadedTransparent, doc.LoadedTransIndex);
  return 0;
}
