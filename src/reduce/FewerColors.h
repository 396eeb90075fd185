#pragma once
// Fewer colours standing for many, chosen by libimagequant from the colours
// and how many pixels show each: for tables that would overflow, without a
// picture to hand (no Qt Gui, so the command line's save can use it).
#include <cstdint>
#include <vector>

struct TColorCount {
  uint32_t Rgb;  // 0x00RRGGBB
  unsigned Count;
};

// At most maxColors (1-256) colours, 0x00RRGGBB, for the given ones; the
// same answer for the same colours in the same order.
std::vector<uint32_t> ChooseFewerColors(const std::vector<TColorCount>& colors, int maxColors);
