// The decoder saves are judged with, against giflib on any image data:
// whatever it takes, giflib takes too and decodes to the same pixels, whole
// or in part, interlaced or not; the walk of codes takes exactly what it
// takes. Input: code size, width, height, flags, then the LZW data bytes.
#include <gif_lib.h>

#include <algorithm>

#include "FuzzSupport.h"
#include "common/GifBuffers.h"
#include "document/GifFrames.h"
#include "frames/FrameDecoder.h"

namespace {

// One frame of width x height over a table of 256 greys, the data cut into
// sub-blocks of at most 255 bytes.
QByteArray OneFrame(int size, int width, int height, bool interlaced, const uint8_t* data, size_t bytes) {
  QByteArray g("GIF89a");
  const auto word = [&](int v) { g += char(v & 0xFF), g += char(v >> 8); };
  word(width), word(height);
  g += char(0x87), g += char(0), g += char(0);
  for (int i = 0; i < 256; ++i) g += QByteArray(3, char(i));
  g += char(0x2C), word(0), word(0), word(width), word(height), g += char(interlaced ? 0x40 : 0);
  g += char(size);
  for (size_t at = 0; at < bytes; at += 255) {
    const size_t n = std::min<size_t>(255, bytes - at);
    g += char(n);
    g += QByteArray(reinterpret_cast<const char*>(data + at), qsizetype(n));
  }
  g += char(0), g += char(0x3B);
  return g;
}

std::optional<std::vector<uint8_t>> GiflibPixels(const QByteArray& gif) {
  TGifBufferReader reader{&gif};
  int error = 0;
  GifFileType* g = DGifOpen(&reader, ReadGifFromBuffer, &error);
  if (!g) return std::nullopt;
  std::optional<std::vector<uint8_t>> out;
  if (DGifSlurp(g) == GIF_OK && g->ImageCount == 1) {
    const GifImageDesc& d = g->SavedImages[0].ImageDesc;
    out.emplace(g->SavedImages[0].RasterBits, g->SavedImages[0].RasterBits + size_t(d.Width) * d.Height);
  }
  DGifCloseFile(g, &error);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  const int codeSize = 1 + data[0] % 8;
  const int width = 1 + data[1] % 64, height = 1 + data[2] % 64;
  const bool interlaced = data[3] & 1, cropped = data[3] & 2;
  const QByteArray gif = OneFrame(codeSize, width, height, interlaced, data + 4, size - 4);
  const TFrameWalk walk = WalkGifFrames(gif);
  FUZZ_CHECK(walk.Frames.size() == 1);
  const TRect whole = TRect::Sized(0, 0, width, height);
  const TRect screen = cropped ? TRect::Sized(1, 1, width - 1, height - 1) : whole;
  TFrameDecoder decoder(gif, walk, screen);
  TDecodedFrame ours;
  const bool read = decoder.Next(ours);
  FUZZ_CHECK(read == ImageDataDecodes(gif, ImageDataOf(walk.Frames[0]), walk.Frames[0].End, int64_t(width) * height));
  if (!read) return 0;
  const std::optional<std::vector<uint8_t>> giflib = GiflibPixels(gif);
  FUZZ_CHECK(giflib.has_value());
  const TRect kept = whole.Intersected(screen);
  FUZZ_CHECK(ours.Indices.size() == size_t(kept.Width()) * kept.Height());
  for (int y = kept.Top; y < kept.Bottom; ++y)
    FUZZ_CHECK(std::equal(giflib->begin() + y * width + kept.Left, giflib->begin() + y * width + kept.Right,
                          ours.Indices.begin() + (y - kept.Top) * kept.Width()));
  return 0;
}
