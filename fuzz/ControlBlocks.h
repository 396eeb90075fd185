#pragma once
// What the fuzz targets of the save share about the opened file.
#include <QByteArray>
#include <cstdint>

#include "document/GifFrames.h"

// Decoders differ on a control block of the wrong size (giflib takes the
// first, whatever its size): the target is clear only where every one is
// well formed.
inline bool ControlBlocksWellFormed(const QByteArray& gif) {
  const auto* b = reinterpret_cast<const uint8_t*>(gif.constData());
  int64_t pos = kGifScreenDescriptorEnd + ((b[10] & 0x80) ? GifTableBytes(b[10]) : 0);
  while (pos + 2 < gif.size()) {
    if (b[pos] == 0x21) {
      if (b[pos + 1] == 0xF9 && b[pos + 2] != 4) return false;
      pos = SkipGifSubBlocks(gif, pos + 2);
    } else if (b[pos] == 0x2C && pos + kGifImageDescriptorSize < gif.size()) {
      const uint8_t packed = b[pos + 9];
      pos += kGifImageDescriptorSize + ((packed & 0x80) ? GifTableBytes(packed) : 0) + 1;
      if (pos > gif.size()) return true;
      pos = SkipGifSubBlocks(gif, pos);
    } else {
      return true;
    }
    if (pos < 0) return true;
  }
  return true;
}
