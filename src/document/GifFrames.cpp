#include "document/GifFrames.h"

#include <cstdint>

namespace {

int64_t SkipSubBlocks(const uint8_t* b, int64_t size, int64_t pos) {
  while (pos < size) {
    // Each length byte is found through the one before it; fetching ahead
    // along the usual 256-byte stride keeps the walk from waiting on memory.
    __builtin_prefetch(b + pos + 16 * 256);
    const int len = b[pos];
    ++pos;
    if (len == 0) return pos;
    pos += len;
  }
  return -1;
}

}  // namespace

int64_t SkipGifSubBlocks(const QByteArray& data, int64_t pos) {
  return SkipSubBlocks(reinterpret_cast<const uint8_t*>(data.constData()), data.size(), pos);
}

TFrameWalk WalkGifFrames(const QByteArray& data) {
  TFrameWalk walk;
  const auto* b = reinterpret_cast<const uint8_t*>(data.constData());
  const int64_t size = data.size();
  if (size < kGifScreenDescriptorEnd || !data.startsWith("GIF")) {
    walk.Damaged = true;
    return walk;
  }
  const int screenWidth = b[6] | b[7] << 8, screenHeight = b[8] | b[9] << 8;
  const uint8_t screenPacked = b[10];
  int64_t pos = kGifScreenDescriptorEnd;
  int globalTable = -1, globalCount = 0;
  if (screenPacked & 0x80) {
    globalTable = int(pos);
    globalCount = GifTableBytes(screenPacked) / 3;
    pos += GifTableBytes(screenPacked);
  }

  int gce = -1;  // the control block met since the last image
  for (;;) {
    // Ending right after a whole block without a trailer loses nothing.
    if (pos == size) return walk;
    const uint8_t introducer = b[pos];
    if (introducer == 0x3B) return walk;
    if (introducer == 0x21) {
      if (pos + 2 >= size) break;
      // The first well-formed control block before an image is the one that
      // applies, as the header reader takes it for the first frame.
      if (b[pos + 1] == 0xF9 && gce < 0 && b[pos + 2] == 4 && pos + 7 < size) gce = int(pos);
      pos = SkipSubBlocks(b, size, pos + 2);
      if (pos < 0) break;
      continue;
    }
    if (introducer != 0x2C || pos + kGifImageDescriptorSize >= size) break;
    TGifFrame frame;
    frame.Gce = gce;
    frame.Descriptor = int(pos);
    const int left = b[pos + 1] | b[pos + 2] << 8, top = b[pos + 3] | b[pos + 4] << 8;
    const int width = b[pos + 5] | b[pos + 6] << 8, height = b[pos + 7] | b[pos + 8] << 8;
    frame.CoversScreen = left == 0 && top == 0 && width >= screenWidth && height >= screenHeight;
    const uint8_t packed = b[pos + 9];
    pos += kGifImageDescriptorSize;
    if (packed & 0x80) {
      frame.Table = int(pos);
      frame.ColorCount = GifTableBytes(packed) / 3;
      pos += GifTableBytes(packed);
    } else {
      frame.Table = globalTable;
      frame.ColorCount = globalCount;
    }
    // The LZW minimum code size, then the image data.
    if (pos >= size) break;
    pos = SkipSubBlocks(b, size, pos + 1);
    if (pos < 0) break;
    walk.Frames.push_back(frame);
    gce = -1;
  }
  walk.Damaged = true;
  return walk;
}
