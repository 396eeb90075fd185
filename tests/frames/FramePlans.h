#pragma once
// Small animations for the frame tests: a 12 x 8 screen, a few colours, and
// frames drawn by filling and painting rectangles of indices.
#include <cstdint>
#include <vector>

#include "common/GifAnimation.h"

inline const TRgb kWhite{255, 255, 255}, kBlack{0, 0, 0}, kRed{220, 0, 0}, kBlue{0, 0, 200}, kGreen{0, 160, 0};
constexpr int W = 12, H = 8;

inline std::vector<uint8_t> Filled(int w, int h, uint8_t index) { return std::vector<uint8_t>(size_t(w) * h, index); }

inline void Paint(std::vector<uint8_t>& p, int w, int x0, int y0, int x1, int y1, uint8_t index) {
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) p[size_t(y) * w + x] = index;
}

inline TAnimFrame Part(int left, int top, int w, int h, std::vector<uint8_t> pixels, uint8_t packed) {
  TAnimFrame f;
  f.Left = left, f.Top = top, f.Width = w, f.Height = h;
  f.Pixels = std::move(pixels);
  f.Packed = packed;
  return f;
}

// Over the whole screen.
inline TAnimFrame Full(std::vector<uint8_t> pixels, uint8_t packed) { return Part(0, 0, 0, 0, std::move(pixels), packed); }

inline TAnimPlan Plan(std::vector<TRgb> colors, std::vector<TAnimFrame> frames, int w = W, int h = H) {
  TAnimPlan plan;
  plan.Width = w, plan.Height = h;
  plan.Colors = std::move(colors);
  plan.Frames = std::move(frames);
  return plan;
}

// White with a red band, a blue square, white drawn where the square and
// band meet, and a green square beside; the first three frames disposed as
// given, so what the white covers depends on how each disposal is read.
inline TAnimPlan DisposedSquares(uint8_t first, uint8_t square, uint8_t white) {
  std::vector<uint8_t> p = Filled(W, H, 0);
  Paint(p, W, 6, 0, 12, 8, 1);
  return Plan({kWhite, kRed, kBlue, kGreen}, {Full(p, Packed(first)), Part(4, 2, 4, 4, Filled(4, 4, 2), Packed(square)),
                                              Part(7, 1, 3, 3, Filled(3, 3, 0), Packed(white)),
                                              Part(8, 4, 2, 2, Filled(2, 2, 3), Packed(1))});
}
