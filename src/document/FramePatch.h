#pragma once
// Transparency for every frame of an animation, by rewriting control blocks
// only: no image data is decoded or re-encoded.
#include <QByteArray>

#include "document/Color.h"

struct TFramePatch {
  TColor Color = 0;       // the colour made transparent
  int FirstIndex = 0;     // its entry in the first frame's table, as the user chose it
};

struct TFramePatchResult {
  int Frames = 0;           // whole frames found
  int TransparentFrames = 0;
  bool Damaged = false;     // frames after the last whole one were kept as they were
};

// Makes the colour transparent in every frame after the first of bytes, whose
// first frame is already patched. A frame drawn with the first frame's table
// takes FirstIndex, any other the first exact match in its own table; a frame
// whose table lacks the colour, or that already makes another entry
// transparent, is left alone. A frame before a transparent full-screen frame
// is disposed to the background, so it does not show through. Inserts a
// control block before an image that has none.
TFramePatchResult PatchLaterFrames(QByteArray& bytes, const TFramePatch& patch);

// Counts the frames of bytes without changing them.
TFramePatchResult CountFrames(const QByteArray& bytes);
