#pragma once
// Transparency for every frame of an animation by rewriting control blocks,
// and the edits that carry a save: control bytes, inserted control blocks
// and frames written anew, applied in one pass over the opened bytes.
#include <QByteArray>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "document/Color.h"
#include "document/GifFrames.h"

class TGifEdits {
 public:
  void Set(int offset, uint8_t value) { Replace(offset, offset + 1, QByteArray(1, char(value))); }
  // The byte at offset as the edits leave it (offset outside any replaced range).
  uint8_t At(const QByteArray& source, int offset) const;
  // An 8-byte control block before the image descriptor at offset.
  void InsertControlBlock(int before, uint8_t packed, uint8_t index);
  // Source bytes [from, to) become bytes; from == to inserts them before from.
  // Ranges never overlap; an insertion goes before a range starting where it stands.
  void Replace(int from, int to, QByteArray bytes) { Pieces[{from, to}] = std::move(bytes); }
  QByteArray Apply(const QByteArray& source) const;
  // Writes what Apply would answer to a file descriptor, without the copy;
  // false (errno set) on a write error.
  bool WriteTo(int fd, const QByteArray& source) const;

 private:
  std::map<std::pair<int, int>, QByteArray> Pieces;
};

struct TFramePatch {
  TColor Color = 0;    // the colour made transparent
  int FirstIndex = 0;  // its entry in the first frame's table, as the user chose it
};

struct TFramePatchResult {
  int Frames = 0;  // whole frames found
  int TransparentFrames = 0;
  bool Damaged = false;  // frames after the last whole one were kept as they were
  int Rewritten = 0;     // frames whose image data was written anew
  int NotRight = 0;      // frames that still differ from the choice (they would need over 256 colours)
  int UndecodedFrom = -1;  // first frame whose image data is damaged (giflib cannot decode it), so was not judged
  bool TooLargeToJudge = false;  // the frames spread over more than judging may hold: patched, not judged
  int Reduced = 0;  // frames whose recoloured edges were reduced to fit a table of 256 colours
};

// A frame's control bytes: the packed field and the transparent index.
struct TFrameControl {
  std::optional<uint8_t> Packed;  // none: no control block, and none needed
  uint8_t Index = 0;
};

constexpr uint8_t kGceTransparentFlag = 0x01;
constexpr uint8_t kGceDisposalMask = 0x1C;
inline int DisposalOf(uint8_t packed) { return (packed & kGceDisposalMask) >> 2; }
// The disposal as browsers carry it out: 4 restores the previous picture,
// as 3 does (both major engines read it so, after encoders that wrote it);
// 5 to 7 mean nothing and are kept, as 0 and 1 are.
inline int ShownDisposal(uint8_t packed) {
  const int d = DisposalOf(packed);
  return d == 4 ? 3 : d > 4 ? 1 : d;
}
inline uint8_t WithDisposal(uint8_t packed, int disposal) {
  return uint8_t((packed & ~kGceDisposalMask) | (disposal << 2 & kGceDisposalMask));
}

// Each frame's control as the source has it in the control block browsers
// honour, its last.
std::vector<TFrameControl> SourceControls(const QByteArray& source, const TFrameWalk& walk);

// The patch rule for the frames after the first, whose control (controls[0])
// the caller has set: a frame drawn with the first frame's table takes
// FirstIndex, any other the first exact match in its own table; a frame whose
// table lacks the colour, or that already makes another entry transparent, is
// left alone. A frame before a full-screen frame that this patch newly makes
// transparent is disposed to the background, so it does not show through.
// Answers how many frames are transparent.
int PlanLaterFrames(const QByteArray& source, const TFrameWalk& walk, const TFramePatch& patch,
                    std::vector<TFrameControl>& controls);

// Writes the controls' transparency, index and disposal into every control
// block of each frame, each block keeping its other bits, and a block into a
// frame that has none but needs one. Frames past controls are left alone.
void WriteFrameControls(const QByteArray& source, const TFrameWalk& walk, const std::vector<TFrameControl>& controls,
                        TGifEdits& edits);

// The patch rule applied to source, whose first frame the edits already make
// transparent.
TFramePatchResult PatchLaterFrames(const QByteArray& source, const TFramePatch& patch, TGifEdits& edits);

// Counts the frames of bytes.
TFramePatchResult CountFrames(const QByteArray& bytes);
