#include "document/FramePatch.h"

#include <optional>
#include <vector>

#include "document/GifFrames.h"

namespace {

constexpr uint8_t kTransparentFlag = 0x01;
constexpr uint8_t kDisposalMask = 0x1C;
constexpr uint8_t kRestoreBackground = 2 << 2;

struct TInsertion {
  int Before;       // offset of the image descriptor
  uint8_t Packed;
  uint8_t Index;
};

std::optional<int> ExactEntry(const QByteArray& bytes, const TGifFrame& frame, TColor color) {
  if (frame.Table < 0) return std::nullopt;
  const auto* t = reinterpret_cast<const uint8_t*>(bytes.constData()) + frame.Table;
  for (int i = 0; i < frame.ColorCount; ++i)
    if (RGBColor(t[3 * i], t[3 * i + 1], t[3 * i + 2]) == color) return i;
  return std::nullopt;
}

// The entry that makes the colour transparent in this frame, or none when
// the frame is to be left alone.
std::optional<int> TransparentEntry(const QByteArray& bytes, const TGifFrame& frame, const TGifFrame& first,
                                    const TFramePatch& patch) {
  const std::optional<int> entry =
      frame.Table == first.Table ? std::optional<int>(patch.FirstIndex) : ExactEntry(bytes, frame, patch.Color);
  if (!entry || frame.Gce < 0) return entry;
  const uint8_t packed = uint8_t(bytes[frame.Gce + 3]);
  // Frame-difference animations use their transparent entry for "unchanged":
  // a frame has one transparent entry, so taking it would break the picture.
  if ((packed & kTransparentFlag) && uint8_t(bytes[frame.Gce + 6]) != *entry) return std::nullopt;
  return entry;
}

void InsertControlBlocks(QByteArray& bytes, const std::vector<TInsertion>& insertions) {
  if (insertions.empty()) return;
  QByteArray out;
  out.reserve(bytes.size() + 8 * qsizetype(insertions.size()));
  int from = 0;
  for (const TInsertion& in : insertions) {
    out.append(bytes.constData() + from, in.Before - from);
    const char block[8] = {0x21, char(0xF9), 0x04, char(in.Packed), 0, 0, char(in.Index), 0};
    out.append(block, sizeof block);
    from = in.Before;
  }
  out.append(bytes.constData() + from, bytes.size() - from);
  bytes = std::move(out);
}

}  // namespace

TFramePatchResult CountFrames(const QByteArray& bytes) {
  const TFrameWalk walk = WalkGifFrames(bytes);
  return {int(walk.Frames.size()), 0, walk.Damaged};
}

TFramePatchResult PatchLaterFrames(QByteArray& bytes, const TFramePatch& patch) {
  const TFrameWalk walk = WalkGifFrames(bytes);
  const std::vector<TGifFrame>& frames = walk.Frames;
  TFramePatchResult result{int(frames.size()), frames.empty() ? 0 : 1, walk.Damaged};
  if (frames.size() < 2) return result;

  // Packed byte each frame ends with; a frame without a control block gets
  // one only when something must be said in it.
  std::vector<std::optional<uint8_t>> packed(frames.size());
  std::vector<uint8_t> index(frames.size(), 0);
  std::vector<bool> transparent(frames.size(), false);
  transparent[0] = true;
  for (size_t k = 0; k < frames.size(); ++k)
    if (frames[k].Gce >= 0) {
      packed[k] = uint8_t(bytes[frames[k].Gce + 3]);
      index[k] = uint8_t(bytes[frames[k].Gce + 6]);
    }
  for (size_t k = 1; k < frames.size(); ++k) {
    const std::optional<int> entry = TransparentEntry(bytes, frames[k], frames[0], patch);
    if (!entry) continue;
    transparent[k] = true;
    packed[k] = uint8_t(packed[k].value_or(0) | kTransparentFlag);
    index[k] = uint8_t(*entry);
    ++result.TransparentFrames;
  }
  // No ghosts: what the frame before a transparent full-screen frame left
  // would show through it. Partial frames rely on what is under them.
  for (size_t k = 0; k + 1 < frames.size(); ++k) {
    if (!transparent[k + 1] || !frames[k + 1].CoversScreen) continue;
    const uint8_t p = packed[k].value_or(0);
    const int disposal = (p & kDisposalMask) >> 2;
    if (disposal == 0 || disposal == 1) packed[k] = uint8_t((p & ~kDisposalMask) | kRestoreBackground);
  }

  std::vector<TInsertion> insertions;
  for (size_t k = 0; k < frames.size(); ++k) {
    if (!packed[k]) continue;
    if (frames[k].Gce >= 0) {
      bytes[frames[k].Gce + 3] = char(*packed[k]);
      bytes[frames[k].Gce + 6] = char(index[k]);
    } else {
      insertions.push_back({frames[k].Descriptor, *packed[k], index[k]});
    }
  }
  InsertControlBlocks(bytes, insertions);
  return result;
}
