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
