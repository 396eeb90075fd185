#pragma once
// Transparency for every frame of an animation, by rewriting control blocks
// only: no image data is decoded or re-encoded.
#include <QByteArray>
#include <map>
#include <vector>

#include "document/Color.h"

// Changes to a GIF's bytes: single bytes rewritten, and control blocks
// inserted before image descriptors. Applied in one pass over the source.
class TGifEdits {
 public:
  void Set(int offset, uint8_t value) { Writes[offset] = value; }
  // The byte at offset as the edits leave it.
  uint8_t At(const QByteArray& source, int offset) const;
  // An 8-byte control block before the image descriptor at offset.
  void InsertControlBlock(int before, uint8_t packed, uint8_t index);
  QByteArray Apply(const QByteArray& source) const;
  // Writes what Apply would answer to a file descriptor, without the copy;
  // false (errno set) on a write error.
  bool WriteTo(int fd, const QByteArray& source) const;

 private:
  struct TInsertion {
    int Before;
    uint8_t Packed, Index;
  };
  std::map<int, uint8_t> Writes;    // offsets in the source
  std::vector<TInsertion> Inserted;  // in ascending order
};

struct TFramePatch {
  TColor Color = 0;    // the colour made transparent
  int FirstIndex = 0;  // its entry in the first frame's table, as the user chose it
};

struct TFramePatchResult {
  int Frames = 0;  // whole frames found
  int TransparentFrames = 0;
  bool Damaged = false;  // frames after the last whole one were kept as they were
};

// Makes the colour transparent in every frame after the first of source,
// whose first frame the edits already make transparent. A frame drawn with
// the first frame's table takes FirstIndex, any other the first exact match
// in its own table; a frame whose table lacks the colour, or that already
// makes another entry transparent, is left alone. A frame before a
// transparent full-screen frame is disposed to the background, so it does
// not show through. A frame without a control block gets one when needed.
TFramePatchResult PatchLaterFrames(const QByteArray& source, const TFramePatch& patch, TGifEdits& edits);

// Counts the frames of bytes.
TFramePatchResult CountFrames(const QByteArray& bytes);
