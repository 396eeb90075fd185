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
  walk.ScreenWidth = screenWidth;
  walk.ScreenHeight = screenHeight;
  const uint8_t screenPacked = b[10];
  int64_t pos = kGifScreenDescriptorEnd;
  int globalTable = -1, globalCount = 0;
  if (screenPacked & 0x80) {
    globalTable = int(pos);
    globalCount = GifTableBytes(screenPacked) / 3;
    pos += GifTableBytes(screenPacked);
  }

  std::vector<int> gces;  // the control blocks met since the last image
  for (;;) {
    // Ending right after a whole block without a trailer loses nothing.
    if (pos == size) return walk;
    const uint8_t introducer = b[pos];
    if (introducer == 0x3B) return walk;
    if (introducer == 0x21) {
      if (pos + 2 >= size) break;
      // The last well-formed control block before an image is the one that
      // applies, as browsers and the header reader take it.
      if (b[pos + 1] == 0xF9 && b[pos + 2] == 4 && pos + 7 < size) gces.push_back(int(pos));
      pos = SkipSubBlocks(b, size, pos + 2);
      if (pos < 0) break;
      continue;
    }
    if (introducer != 0x2C || pos + kGifImageDescriptorSize >= size) break;
    TGifFrame frame;
    frame.Gce = gces.empty() ? -1 : gces.back();
    frame.Descriptor = int(pos);
    frame.Left = b[pos + 1] | b[pos + 2] << 8;
    frame.Top = b[pos + 3] | b[pos + 4] << 8;
    frame.Width = b[pos + 5] | b[pos + 6] << 8;
    frame.Height = b[pos + 7] | b[pos + 8] << 8;
    frame.CoversScreen = frame.Left == 0 && frame.Top == 0 && frame.Width >= screenWidth && frame.Height >= screenHeight;
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
    frame.End = int(pos);
    frame.Gces = std::move(gces);
    gces.clear();
    walk.Frames.push_back(std::move(frame));
  }
  walk.Damaged = true;
  return walk;
}
