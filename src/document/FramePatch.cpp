#include "document/FramePatch.h"

#include <algorithm>
#include <cstring>

#include "document/FileOps.h"

namespace {

constexpr uint8_t kRestoreBackground = 2;

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
                                    const TFrameControl& control, const TFramePatch& patch) {
  const std::optional<int> entry =
      frame.Table == first.Table ? std::optional<int>(patch.FirstIndex) : ExactEntry(bytes, frame, patch.Color);
  if (!entry || !control.Packed) return entry;
  // Frame-difference animations use their transparent entry for "unchanged":
  // a frame has one transparent entry, so taking it would break the picture.
  if ((*control.Packed & kGceTransparentFlag) && control.Index != *entry) return std::nullopt;
  return entry;
}

bool SaysTransparent(const TFrameControl& c, uint8_t index) {
  return c.Packed && (*c.Packed & kGceTransparentFlag) && c.Index == index;
}

QByteArray ControlBlock(uint8_t packed, uint8_t index) {
  const char block[8] = {0x21, char(0xF9), 0x04, char(packed), 0, 0, char(index), 0};
  return QByteArray(block, sizeof block);
}

}  // namespace

uint8_t TGifEdits::At(const QByteArray& source, int offset) const {
  const auto it = Pieces.find({offset, offset + 1});
  return it != Pieces.end() && it->second.size() == 1 ? uint8_t(it->second[0]) : uint8_t(source[offset]);
}

void TGifEdits::InsertControlBlock(int before, uint8_t packed, uint8_t index) {
  Replace(before, before, ControlBlock(packed, index));
}

QByteArray TGifEdits::Apply(const QByteArray& source) const {
  qsizetype size = source.size();
  for (const auto& [range, bytes] : Pieces) size += bytes.size() - (range.second - range.first);
  QByteArray out(size, Qt::Uninitialized);
  char* to = out.data();
  int from = 0;
  for (const auto& [range, bytes] : Pieces) {
    std::memcpy(to, source.constData() + from, size_t(range.first - from));
    to += range.first - from;
    std::memcpy(to, bytes.constData(), size_t(bytes.size()));
    to += bytes.size();
    from = range.second;
  }
  std::memcpy(to, source.constData() + from, size_t(source.size() - from));
  return out;
}

bool TGifEdits::WriteTo(int fd, const QByteArray& source) const {
  // The source between edits goes out as it is, gathered with the edits into
  // as few writes as the system takes.
  std::vector<iovec> pieces;
  pieces.reserve(2 * Pieces.size() + 1);
  const auto add = [&pieces](const char* data, qsizetype size) {
    if (size > 0) pieces.push_back({const_cast<char*>(data), size_t(size)});
  };
  int from = 0;
  for (const auto& [range, bytes] : Pieces) {
    add(source.constData() + from, range.first - from);
    add(bytes.constData(), bytes.size());
    from = range.second;
  }
  add(source.constData() + from, source.size() - from);
  return WriteAllTo(fd, pieces);
}

TFramePatchResult CountFrames(const QByteArray& bytes) {
  const TFrameWalk walk = WalkGifFrames(bytes);
  TFramePatchResult result;
  result.Frames = int(walk.Frames.size());
  result.Damaged = walk.Damaged;
  return result;
}

std::vector<TFrameControl> SourceControls(const QByteArray& source, const TFrameWalk& walk) {
  std::vector<TFrameControl> controls(walk.Frames.size());
  for (size_t k = 0; k < walk.Frames.size(); ++k)
    if (walk.Frames[k].Gce >= 0)
      controls[k] = {uint8_t(source[walk.Frames[k].Gce + 3]), uint8_t(source[walk.Frames[k].Gce + 6])};
  return controls;
}

int PlanLaterFrames(const QByteArray& source, const TFrameWalk& walk, const TFramePatch& patch,
                    std::vector<TFrameControl>& controls) {
  const std::vector<TGifFrame>& frames = walk.Frames;
  if (frames.empty()) return 0;
  const std::vector<TFrameControl> opened = SourceControls(source, walk);
  std::vector<bool> newlyTransparent(frames.size(), false);
  int transparentFrames = 1;
  for (size_t k = 1; k < frames.size(); ++k) {
    const std::optional<int> entry = TransparentEntry(source, frames[k], frames[0], opened[k], patch);
    if (!entry) continue;
    newlyTransparent[k] = !SaysTransparent(opened[k], uint8_t(*entry));
    controls[k].Packed = uint8_t(controls[k].Packed.value_or(0) | kGceTransparentFlag);
    controls[k].Index = uint8_t(*entry);
    ++transparentFrames;
  }
  // No ghosts: what the frame before a full-screen frame left would show
  // through the entry made transparent. Where that entry was transparent
  // already, the frame relies on what is under it and must keep it.
  for (size_t k = 0; k + 1 < frames.size(); ++k) {
    if (!newlyTransparent[k + 1] || !frames[k + 1].CoversScreen) continue;
    const uint8_t p = controls[k].Packed.value_or(0);
    if (ShownDisposal(p) <= 1) controls[k].Packed = WithDisposal(p, kRestoreBackground);
  }
  return transparentFrames;
}

void WriteFrameControls(const QByteArray& source, const TFrameWalk& walk, const std::vector<TFrameControl>& controls,
                        TGifEdits& edits) {
  constexpr uint8_t kSaid = kGceDisposalMask | kGceTransparentFlag;
  for (size_t k = 0; k < std::min(walk.Frames.size(), controls.size()); ++k) {
    const TFrameControl& c = controls[k];
    if (!c.Packed) continue;
    const TGifFrame& frame = walk.Frames[k];
    if (frame.Gces.empty()) edits.InsertControlBlock(frame.Descriptor, *c.Packed, c.Index);
    // Readers differ in which block they honour: each says the same about
    // transparency and disposal, and keeps its own user-input and reserved bits.
    const bool transparent = *c.Packed & kGceTransparentFlag;
    // Compared with the bytes as the edits already leave them: the first
    // frame's patch may have set them otherwise than the judge decided.
    for (const int gce : frame.Gces) {
      const uint8_t own = edits.At(source, gce + 3);
      const uint8_t packed = uint8_t((own & ~kSaid) | (*c.Packed & kSaid));
      if (packed != own) edits.Set(gce + 3, packed);
      if (transparent && c.Index != edits.At(source, gce + 6)) edits.Set(gce + 6, c.Index);
    }
  }
}

TFramePatchResult PatchLaterFrames(const QByteArray& source, const TFramePatch& patch, TGifEdits& edits) {
  const TFrameWalk walk = WalkGifFrames(source);
  TFramePatchResult result;
  result.Frames = int(walk.Frames.size());
  result.Damaged = walk.Damaged;
  if (walk.Frames.empty()) return result;
  std::vector<TFrameControl> controls = SourceControls(source, walk);
  // The first frame as the edits already make it.
  if (walk.Frames[0].Gce >= 0)
    controls[0] = {edits.At(source, walk.Frames[0].Gce + 3), edits.At(source, walk.Frames[0].Gce + 6)};
  result.TransparentFrames = PlanLaterFrames(source, walk, patch, controls);
  WriteFrameControls(source, walk, controls, edits);
  return result;
}
