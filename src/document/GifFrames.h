#pragma once
// The frames of a GIF as a walk over its blocks finds them, without decoding
// any image data: where each frame's control block, descriptor and active
// colour table are.
#include <QByteArray>
#include <vector>

struct TGifFrame {
  int Gce = -1;         // the 0x21 of its well-formed control block, or -1
  int Descriptor = 0;   // the 0x2C of its image descriptor
  int Table = -1;       // first byte of the table it is drawn with (local, else global), or -1
  int ColorCount = 0;   // entries of that table
  bool CoversScreen = false;  // the frame spans the whole logical screen
};

struct TFrameWalk {
  std::vector<TGifFrame> Frames;  // whole frames only, in file order
  // The walk met a block cut short or not a GIF block before the trailer;
  // everything from the first frame not listed on is unknown.
  bool Damaged = false;
};

TFrameWalk WalkGifFrames(const QByteArray& data);
