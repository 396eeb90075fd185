#pragma once
// The pictures the benchmarks run on.
#include <QImage>
#include <cstdint>
#include <vector>

#include "reduce/GIFImage.h"

// A photo-like 24-bit picture: smooth gradients with noise of +-noise.
QImage PhotoImage(int width, int height, int noise = 4);
// About `colours` distinct colours, in patches, as a 24-bit picture.
QImage ManyColourImage(int width, int height, int colours);

struct TIndexImage {
  int Width = 0, Height = 0;
  TGIFPalette Palette;
  std::vector<uint8_t> Indices;
};
// Random indices over all 256 entries: the hardest case for any LZW.
TIndexImage NoiseIndices(int width, int height);
// Large flat rectangles of a few colours.
TIndexImage FlatIndices(int width, int height);
// The photo reduced to the 8-bit general palette, as the BMP road makes it.
TIndexImage PhotoIndices(int width, int height);
