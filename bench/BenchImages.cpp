#include "BenchImages.h"

#include <random>

#include "reduce/Reduction.h"

QImage PhotoImage(int width, int height, int noise) {
  QImage image(width, height, QImage::Format_RGB32);
  std::mt19937 rng(1);
  auto clamp = [](int v) { return v < 0 ? 0 : v > 255 ? 255 : v; };
  for (int y = 0; y < height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      const int n = int(rng() % uint32_t(2 * noise + 1)) - noise;
      line[x] = qRgb(clamp(x * 255 / width + n), clamp(y * 255 / height - n),
                     clamp((x + y) * 255 / (width + height) + n));
    }
  }
  return image;
}

QImage ManyColourImage(int width, int height, int colours) {
  QImage image(width, height, QImage::Format_RGB32);
  std::mt19937 rng(2);
  for (int y = 0; y < height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      const uint32_t c = uint32_t(rng() % uint32_t(colours)) * 2654435761u;
      line[x] = 0xFF000000u | (c & 0xFFFFFFu);
    }
  }
  return image;
}

namespace {

TIndexImage FromImage(const QImage& image) {
  TIndexImage result;
  result.Width = image.width();
  result.Height = image.height();
  MapPixelsToPalette(image, result.Palette, result.Indices);
  return result;
}

}  // namespace

TIndexImage NoiseIndices(int width, int height) {
  TIndexImage result;
  result.Width = width;
  result.Height = height;
  result.Palette.Count = 256;
  for (int i = 0; i < 768; ++i) result.Palette.Rgb[size_t(i)] = uint8_t(i / 3);
  std::mt19937 rng(3);
  result.Indices.resize(size_t(width) * size_t(height));
  for (auto& v : result.Indices) v = uint8_t(rng());
  return result;
}

TIndexImage FlatIndices(int width, int height) {
  TIndexImage result = NoiseIndices(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      result.Indices[size_t(y) * size_t(width) + size_t(x)] = uint8_t((x / 97) * 7 + (y / 61) * 3);
  return result;
}

TIndexImage PhotoIndices(int width, int height) {
  return FromImage(ChangePixel(8, PhotoImage(width, height)));
}
