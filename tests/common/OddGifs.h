#pragma once
// Odd but valid GIFs made from ordinary ones byte by byte: what giflib's
// encoder will not write itself.
#include <QByteArray>
#include <functional>

#include "document/GifFrames.h"

// The global table cut to its first 2^bits entries, the pixels as they were.
inline QByteArray ShortenGlobalTable(QByteArray gif, int bits) {
  const uint8_t packed = uint8_t(gif[10]);
  gif.remove(kGifScreenDescriptorEnd + (3 << bits), GifTableBytes(packed) - (3 << bits));
  gif[10] = char((packed & ~7) | (bits - 1));
  return gif;
}

inline QByteArray WithoutGlobalTable(QByteArray gif) {
  const uint8_t packed = uint8_t(gif[10]);
  gif.remove(kGifScreenDescriptorEnd, GifTableBytes(packed));
  gif[10] = char(packed & ~0x87);
  return gif;
}

// A second control block after each frame's first, changed by change.
inline QByteArray SecondControlBlocks(QByteArray gif, const std::function<void(QByteArray&)>& change) {
  const TFrameWalk walk = WalkGifFrames(gif);
  for (size_t k = walk.Frames.size(); k-- > 0;) {
    const int gce = walk.Frames[k].Gce;
    if (gce < 0) continue;
    QByteArray second = gif.mid(gce, 8);
    change(second);
    gif.insert(gce + 8, second);
  }
  return gif;
}

// Frame k's image data replaced by a code naming an entry not yet made:
// whole, but no decoder can read it.
inline QByteArray DamageImageData(QByteArray gif, size_t k) {
  const TGifFrame f = WalkGifFrames(gif).Frames.at(k);
  const int data = f.Table > f.Descriptor ? f.Table + 3 * f.ColorCount : f.Descriptor + kGifImageDescriptorSize;
  gif.replace(data, f.End - data, QByteArray("\x02\x02\x7C\x01\x00", 5));
  return gif;
}
