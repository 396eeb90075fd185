#include "document/GifDocument.h"

#include <QCoreApplication>

#include "document/FileOps.h"
#include "document/FramePatch.h"
#include "document/GifFrames.h"

#include <algorithm>
#include <limits>

namespace {

const char kGceBlock[8] = {0x21, char(0xF9), 0x04, 0, 0, 0, 0, 0};

uint8_t At(const QByteArray& b, int i) { return uint8_t(b[i]); }

void ReadTable(const QByteArray& b, int offset, int count, std::array<TColor, 256>& out) {
  for (int i = 0; i < count; ++i)
    out[i] = RGBColor(At(b, offset + 3 * i), At(b, offset + 3 * i + 1), At(b, offset + 3 * i + 2));
}

}  // namespace

int Powered(int base, int exponent) {
  int result = 1;
  for (int i = 0; i < exponent; ++i) result *= base;
  return result;
}

std::optional<TGifHeader> ParseGifHeader(const QByteArray& file, TGifRefusal* why) {
  const auto refuse = [why](TGifRefusal::TKind kind, int offset = 0) {
    if (why) *why = {kind, offset};
    return std::nullopt;
  };
  if (!file.startsWith("GIF")) return refuse(TGifRefusal::NoSignature);
  if (file.size() < kGifScreenDescriptorEnd) return refuse(TGifRefusal::EndsEarly);
  // Positions are ints: a file beyond their range, with room for the
  // extension that may be inserted, would make the walk overflow.
  if (file.size() > std::numeric_limits<int>::max() - qsizetype(sizeof kGceBlock))
    return refuse(TGifRefusal::TooLarge);
  TGifHeader h;
  h.ImageWidth = At(file, 6) + 256 * At(file, 7);
  h.ImageHeight = At(file, 8) + 256 * At(file, 9);
  const uint8_t packed = At(file, 10);
  const bool hasGlobalTable = packed & 0x80;
  int pos = kGifScreenDescriptorEnd;
  if (hasGlobalTable) {
    h.ColorCount = GifTableBytes(packed) / 3;
    if (pos + GifTableBytes(packed) > file.size()) return refuse(TGifRefusal::EndsEarly);
    ReadTable(file, pos, h.ColorCount, h.Palette);
    pos += GifTableBytes(packed);
  }

  int gce = -1;
  for (;;) {
    if (pos >= file.size()) return refuse(TGifRefusal::EndsEarly);
    const uint8_t introducer = At(file, pos);
    if (introducer == 0x2C) break;
    if (introducer != 0x21) return refuse(TGifRefusal::DamagedBlock, pos);
    if (pos + 2 >= file.size()) return refuse(TGifRefusal::EndsEarly);
    const uint8_t label = At(file, pos + 1);
    // Only a well-formed extension (block size 4) has the two bytes where we
    // write; of several, browsers honour the last.
    if (label == 0xF9 && At(file, pos + 2) == 4 && pos + 7 < file.size()) gce = pos;
    pos = int(SkipGifSubBlocks(file, pos + 2));
    if (pos < 0) return refuse(TGifRefusal::EndsEarly);
  }

  const int image = pos;
  if (image + kGifImageDescriptorSize > file.size()) return refuse(TGifRefusal::EndsEarly);
  const uint8_t localPacked = At(file, image + 9);
  // The first frame is drawn with its local table when it has one: that is
  // the palette its pixels, and so the transparent index, refer to.
  if (localPacked & 0x80) {
    const int table = image + kGifImageDescriptorSize;
    if (table + GifTableBytes(localPacked) > file.size()) return refuse(TGifRefusal::EndsEarly);
    h.ColorCount = GifTableBytes(localPacked) / 3;
    // Entries past a smaller local table must not keep the global colours.
    h.Palette = {};
    ReadTable(file, table, h.ColorCount, h.Palette);
  } else if (!hasGlobalTable) {
    // No table at all, which the format allows: decoders then draw with a
    // table of their own. Ours is the grey ramp the shipped plug-in shows,
    // as many entries as the image's code size can address.
    if (image + kGifImageDescriptorSize >= file.size()) return refuse(TGifRefusal::EndsEarly);
    const int codeSize = std::clamp(int(At(file, image + kGifImageDescriptorSize)), 1, 8);
    h.ColorCount = 1 << codeSize;
    for (int i = 0; i < h.ColorCount; ++i) h.Palette[size_t(i)] = RGBColor(i, i, i);
  }

  h.Data = file;
  if (gce < 0) {
    // Give the file the extension it lacks, so the two patched bytes have a
    // place of their own; it says "not transparent" and changes nothing shown.
    h.Data.insert(image, kGceBlock, sizeof kGceBlock);
    h.Data.replace(3, 3, "89a");
    h.InsertedGce = true;
    gce = image;
  }
  h.GceFlagsOffset = gce + 3;
  h.TransparentIndexOffset = gce + 6;
  h.GceFlags = At(h.Data, h.GceFlagsOffset);
  h.LoadedTransIndex = At(h.Data, h.TransparentIndexOffset);
  return h;
}

bool TGifDocument::ReadGifHeader(const QByteArray& file) {
  const auto header = ParseGifHeader(file);
  if (!header) return false;
  Assign(*header);
  return true;
}

void TGifDocument::Assign(const TGifHeader& h) {
  GifData = h.Data;
  ImageWidth = h.ImageWidth;
  ImageHeight = h.ImageHeight;
  ColorCount = h.ColorCount;
  // The whole table: entries past ColorCount must not keep the colours of
  // the file open before, since an index beyond the table still picks one.
  PaletteColors = h.Palette;
  GceFlags = h.GceFlags;
  GceFlagsOffset = h.GceFlagsOffset;
  TransparentIndexOffset = h.TransparentIndexOffset;
  LoadedTransparent = (GceFlags & 1) == 1;
  TransparentOn = LoadedTransparent;
  LoadedTransIndex = h.LoadedTransIndex;
  TransparentIndex = LoadedTransparent ? LoadedTransIndex : 0;
  ColorChosen = false;
}


void TGifDocument::PatchTransparency(QByteArray& bytes) const {
  TGifEdits edits;
  PatchFirstFrame(edits, bytes);
  bytes = edits.Apply(bytes);
}

void TGifDocument::PatchFirstFrame(TGifEdits& edits, const QByteArray& bytes) const {
  if (GceFlagsOffset <= 0 || TransparentIndexOffset >= bytes.size()) return;
  if (TransparentOn) {
    edits.Set(GceFlagsOffset, uint8_t(GceFlags | 0x01));
    edits.Set(TransparentIndexOffset, TransparentIndex);
  } else {
    edits.Set(GceFlagsOffset, uint8_t(GceFlags & 0xFE));
  }
}

TFramePatchResult TGifDocument::PlanPatch(bool allFrames, TGifEdits& edits, const TFrameWalk* walk) const {
  PatchFirstFrame(edits, GifData);
  TFramePatchResult frames;
  if (TransparentOn && allFrames) {
    frames = PatchLaterFrames(GifData, {PaletteColors[TransparentIndex], TransparentIndex}, edits);
  } else {
    frames = walk ? TFramePatchResult{int(walk->Frames.size()), 0, walk->Damaged} : CountFrames(GifData);
    frames.TransparentFrames = TransparentOn ? 1 : 0;
  }
  // The first frame is patched from the header even when its image data is
  // cut short, as a single picture always was.
  frames.Frames = std::max(frames.Frames, 1);
  if (TransparentOn) {
    frames.TransparentFrames = std::max(frames.TransparentFrames, 1);
    // Transparency is a GIF89a feature: an 87a file that now uses it says so.
    edits.Set(3, '8');
    edits.Set(4, '9');
    edits.Set(5, 'a');
  }
  return frames;
}

QString RefusalReason(const TGifRefusal& why) {
  switch (why.Kind) {
    case TGifRefusal::NoSignature: return QCoreApplication::translate("GifDocument", "GIFのシグネチャがありません");
    case TGifRefusal::EndsEarly: return QCoreApplication::translate("GifDocument", "最初の画像の前でファイルが終わっています");
    case TGifRefusal::DamagedBlock:
      return QCoreApplication::translate("GifDocument", "位置 %1 (0x%2) のブロックが壊れています").arg(why.Offset).arg(why.Offset, 0, 16);
    case TGifRefusal::TooLarge: return QCoreApplication::translate("GifDocument", "ファイルが大きすぎます");
  }
  return QString();
}
