#pragma once
// The image data of a GIF's frames, decoded one frame at a time with giflib,
// so that memory holds one frame however long the animation.
#include <QByteArray>
#include <cstdint>
#include <vector>

#include "frames/Canvas.h"

struct TDecodedFrame {
  TRect Whole;                   // where the frame stands, possibly reaching past the screen
  TRect Rect;                    // the part of it on the screen (may be empty)
  std::vector<uint8_t> Indices;  // Rect's pixels row by row, top to bottom
};

// Whether the image data at data[from] (the LZW code size, then sub-blocks
// up to end) yields pixels codes as giflib reads them, without a code it
// would refuse: a walk of the codes that keeps no pixel, much faster than
// decoding them.
bool ImageDataDecodes(const QByteArray& data, int from, int end, int64_t pixels);

class TFrameDecoder {
 public:
  // Pixels off the screen are decoded but not kept: a hostile frame may
  // claim far more of them than the screen it is shown on.
  TFrameDecoder(const QByteArray& data, const TRect& screen);
  ~TFrameDecoder();
  TFrameDecoder(const TFrameDecoder&) = delete;
  TFrameDecoder& operator=(const TFrameDecoder&) = delete;

  // The next frame's pixels, deinterlaced; false at the end or where giflib
  // cannot decode the data.
  bool Next(TDecodedFrame& frame);

  struct TReader {
    const QByteArray* Data;
    qsizetype Pos;
  };

 private:
  TReader Reader;
  TRect Screen;
  std::vector<uint8_t> Line;
  void* Gif = nullptr;  // GifFileType*, kept out of this header
};
