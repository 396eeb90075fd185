#pragma once
// A 16 × 16 picture whose every pixel has its own entry: (x, y) is entry
// 16 * y + x, so a chosen entry tells which pixel was picked.
#include "common/GifFactory.h"

inline QByteArray EveryPixelItsOwnEntry() {
  TGifPlan s;
  s.Width = s.Height = 16;
  s.Colors.clear();
  for (int i = 0; i < 256; ++i) {
    s.Colors.push_back({uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)});
    s.Pixels.push_back(uint8_t(i));
  }
  return MakeGif(s);
}
