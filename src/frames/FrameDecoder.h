#pragma once
// The image data of a GIF's frames, decoded one frame at a time, so that
// memory holds one frame however long the animation. The decoder takes what
// giflib takes and no more, and gives the same pixels: the codes and the
// string table follow giflib's bookkeeping, and a code giflib would draw as
// garbage (one naming an entry not made yet) is refused, as browsers refuse it.
#include <QByteArray>
#include <cstdint>
#include <vector>

#include "document/GifFrames.h"
#include "frames/Canvas.h"

struct TDecodedFrame {
  TRect Whole;                   // where the frame stands, possibly reaching past the screen
  TRect Rect;                    // the part of it on the screen (may be empty)
  std::vector<uint8_t> Indices;  // Rect's pixels row by row, top to bottom
};

// Where a frame's image data starts: its LZW code size.
inline int ImageDataOf(const TGifFrame& f) {
  return f.Table > f.Descriptor ? f.Table + 3 * f.ColorCount : f.Descriptor + kGifImageDescriptorSize;
}

// Whether the image data at data[from] (the LZW code size, then sub-blocks
// up to end) yields pixels codes without a code that is refused: a walk of
// the codes that keeps no pixel, much faster than decoding them.
bool ImageDataDecodes(const QByteArray& data, int from, int end, int64_t pixels);

// The frame's pixels from that image data, deinterlaced, over keep (a part
// of whole, the frame's rectangle); false where a code is refused or the data
// ends first. Pixels outside keep are decoded but not held: a hostile frame
// may claim far more of them than the screen it is shown on. A frame of no
// pixels (0 x 0 is valid) decodes to none, as browsers draw it: nothing.
bool DecodeImageData(const QByteArray& data, int from, int end, const TRect& whole, bool interlaced,
                     const TRect& keep, std::vector<uint8_t>& out);

class TFrameDecoder {
 public:
  // walk is data's, and both outlive the decoder.
  TFrameDecoder(const QByteArray& data, const TFrameWalk& walk, const TRect& screen)
      : Data(data), Walk(walk), Screen(screen) {}

  // The next frame's pixels; false at the end or where its data is refused.
  bool Next(TDecodedFrame& frame);

 private:
  const QByteArray& Data;
  const TFrameWalk& Walk;
  TRect Screen;
  size_t Frame = 0;
};
