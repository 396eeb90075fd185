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
  // The 0x21 of its last well-formed control block, or -1: the one browsers
  // honour (giflib's readers take the first).
  int Gce = -1;
  // Every well-formed control block before the image: decoders differ in
  // which one they honour, so a patch writes all of them alike.
  std::vector<int> Gces;
  int Descriptor = 0;   // the 0x2C of its image descriptor
  int End = 0;          // just past its image data
  int Table = -1;       // first byte of the table it is drawn with (local, else global), or -1
  int ColorCount = 0;   // entries of that table
  bool CoversScreen = false;  // the frame spans the whole logical screen
  int Left = 0, Top = 0, Width = 0, Height = 0;
};

struct TFrameWalk {
  int ScreenWidth = 0, ScreenHeight = 0;
  std::vector<TGifFrame> Frames;  // whole frames only, in file order
  // The walk met a block cut short or not a GIF block before the trailer;
  // everything from the first frame not listed on is unknown.
  bool Damaged = false;
};

TFrameWalk WalkGifFrames(const QByteArray& data);
