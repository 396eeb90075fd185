#include "document/FramePatch.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "document/FileOps.h"
#include "document/GifFrames.h"

namespace {

constexpr uint8_t kTransparentFlag = 0x01;
constexpr uint8_t kDisposalMask = 0x1C;
constexpr uint8_t kRestoreBackground = 2 << 2;

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

}  // namespace


uint8_t TGifEdits::At(const QByteArray& source, int offset) const {
  const auto it = Writes.find(offset);
  return it != Writes.end() ? it->second : uint8_t(source[offset]);
}

void TGifEdits::InsertControlBlock(int before, uint8_t packed, uint8_t index) {
  Inserted.push_back({before, packed, index});
}

QByteArray TGifEdits::Apply(const QByteArray& source) const {
  QByteArray out(source.size() + 8 * qsizetype(Inserted.size()), Qt::Uninitialized);
  char* to = out.data();
  int from = 0;
  auto write = Writes.begin();
  // Copies source[from, end) with the rewritten bytes in it.
  const auto copyUpTo = [&](int end) {
    std::memcpy(to, source.constData() + from, size_t(end - from));
    for (; write != Writes.end() && write->first < end; ++write) to[write->first - from] = char(write->second);
    to += end - from;
    from = end;
  };
  for (const TInsertion& in : Inserted) {
    copyUpTo(in.Before);
    const char block[8] = {0x21, char(0xF9), 0x04, char(in.Packed), 0, 0, char(in.Index), 0};
    std::memcpy(to, block, sizeof block);
    to += sizeof block;
  }
  copyUpTo(int(source.size()));
  return out;
}

bool TGifEdits::WriteTo(int fd, const QByteArray& source) const {
  // The source between edits goes out as it is; each rewritten byte and
  // inserted block is a small piece of its own.
  int from = 0;
  auto write = Writes.begin();
  auto insert = Inserted.begin();
  for (;;) {
    const int nextWrite = write != Writes.end() ? write->first : int(source.size());
    const int nextInsert = insert != Inserted.end() ? insert->Before : int(source.size());
    const int upTo = std::min(nextWrite, nextInsert);
    if (!WriteAllTo(fd, QByteArray::fromRawData(source.constData() + from, upTo - from))) return false;
    from = upTo;
    if (insert != Inserted.end() && insert->Before == upTo) {
      const char block[8] = {0x21, char(0xF9), 0x04, char(insert->Packed), 0, 0, char(insert->Index), 0};
      if (!WriteAllTo(fd, QByteArray::fromRawData(block, sizeof block))) return false;
      ++insert;
    } else if (write != Writes.end() && write->first == upTo) {
      const char byte = char(write->second);
      if (!WriteAllTo(fd, QByteArray::fromRawData(&byte, 1))) return false;
      ++write;
      ++from;
    } else {
      return true;
    }
  }
}

TFramePatchResult CountFrames(const QByteArray& bytes) {
  const TFrameWalk walk = WalkGifFrames(bytes);
  return {int(walk.Frames.size()), 0, walk.Damaged};
}

TFramePatchResult PatchLaterFrames(const QByteArray& source, const TFramePatch& patch, TGifEdits& edits) {
  const TFrameWalk walk = WalkGifFrames(source);
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
      packed[k] = edits.At(source, frames[k].Gce + 3);
      index[k] = edits.At(source, frames[k].Gce + 6);
    }
  for (size_t k = 1; k < frames.size(); ++k) {
    const std::optional<int> entry = TransparentEntry(source, frames[k], frames[0], patch);
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

  for (size_t k = 0; k < frames.size(); ++k) {
    if (!packed[k]) continue;
    if (frames[k].Gce >= 0) {
      if (*packed[k] != edits.At(source, frames[k].Gce + 3)) edits.Set(frames[k].Gce + 3, *packed[k]);
      if (index[k] != edits.At(source, frames[k].Gce + 6)) edits.Set(frames[k].Gce + 6, index[k]);
    } else {
      edits.InsertControlBlock(frames[k].Descriptor, *packed[k], index[k]);
    }
  }
  return result;
}
