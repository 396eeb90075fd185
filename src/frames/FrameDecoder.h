#pragma once
// The image data of a GIF's frames, decoded one frame at a time with giflib,
// so that memory holds one frame however long the animation.
#include <QByteArray>
#include <cstdint>
#include <vector>

#include "frames/Canvas.h"

struct TDecodedFrame {
  TRect Rect;                    // where the frame stands on the screen (may reach past it)
  std::vector<uint8_t> Indices;  // Rect's pixels row by row, top to bottom
};

class TFrameDecoder {
 public:
  explicit TFrameDecoder(const QByteArray& data);
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
  void* Gif = nullptr;  // GifFileType*, kept out of this header
};
