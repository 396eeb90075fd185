#include "reduce/TestImages.h"

QImage RandomImage(int width, int height, const QVector<QRgb>& colors, std::mt19937& rng) {
  QImage image(width, height, QImage::Format_RGB32);
  std::uniform_int_distribution<int> pick(0, int(colors.size()) - 1);
  for (int y = 0; y < height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) line[x] = colors[pick(rng)];
  }
  return image;
}

QVector<QRgb> DistinctColors(int n) {
  QVector<QRgb> colors;
  for (int i = 0; i < n; ++i) {
    const uint32_t v = (uint32_t(i) * 2654435761u) & 0xFFFFFFu;  // odd factor: a bijection
    colors.append(0xFF000000u | v);
  }
  return colors;
}

QImage PhotoLikeImage(int width, int height, uint32_t seed) {
  QImage image(width, height, QImage::Format_RGB32);
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> noise(-6, 6);
  auto clamp = [](int v) { return v < 0 ? 0 : v > 255 ? 255 : v; };
  for (int y = 0; y < height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      const int r = x * 255 / width, g = y * 255 / height, b = (x + y) * 127 / (width + height) + 64;
      line[x] = qRgb(clamp(r + noise(rng)), clamp(g + noise(rng)), clamp(b + noise(rng)));
    }
  }
  return image;
}

QVector<QRgb> Pixels(const QImage& image) {
  QVector<QRgb> pixels;
  pixels.reserve(image.width() * image.height());
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) pixels.append(image.pixel(x, y) | 0xFF000000u);
  return pixels;
}
