#pragma once
// The frames of a GIF as a walk over its blocks finds them, without decoding
// any image data: where each frame's control block, descriptor and active
// colour table are.
#include <QByteArray>
#include <cstdint>
#include <vector>

// The block layout both the header reader and the frame walk follow.
constexpr int kGifScreenDescriptorEnd = 13;
constexpr int kGifImageDescriptorSize = 10;

// Bytes of the colour table a packed field announces.
inline int GifTableBytes(uint8_t packed) { return 3 << ((packed & 7) + 1); }

// Position after the data sub-blocks starting at pos, or -1 when they run past the end.
int64_t SkipGifSubBlocks(const QByteArray& data, int64_t pos);

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
