#include "reduce/Reduction.h"

#include <algorithm>
#include <new>

#include "reduce/FixedPalettes.h"
#include "reduce/NearestColor.h"
#include "reduce/RgbRows.h"

namespace {

// A bitmap the size of the source, or bad_alloc when there is no memory for it.
QImage NewImage(int width, int height, QImage::Format format) {
  QImage image(width, height, format);
  if (image.isNull() && width > 0 && height > 0) throw std::bad_alloc();
  return image;
}

QImage MonoImage(int width, int height) {
  QImage image = NewImage(width, height, QImage::Format_Mono);
  image.setColorTable(MonoPalette());
  return image;
}

// Writes one row of Mono pixels from a per-pixel white test.
template <typename IsWhite>
void FillMonoRow(uchar* line, int width, IsWhite isWhite) {
  for (int x0 = 0; x0 < width; x0 += 8) {
    uchar byte = 0;
    for (int x = x0; x < x0 + 8 && x < width; ++x)
      if (isWhite(x)) byte |= uchar(0x80 >> (x - x0));
    line[x0 >> 3] = byte;
  }
}

}  // namespace

int GreyLevel(QRgb color) { return (qRed(color) + qGreen(color) + qBlue(color) + 1) / 3; }

QImage ChangePixel(int bits, QImage bitmap) {
  const TNearestColor& nearest = NearestColorFor(bits);
  const int w = bitmap.width(), h = bitmap.height();
  TRgbRows rows(bitmap);
  if (bits == 1) {
    QImage result = MonoImage(w, h);
    for (int y = 0; y < h; ++y) {
      const QRgb* row = rows.Row(y);
      FillMonoRow(result.scanLine(y), w, [&](int x) { return nearest.Index(row[x]) == 1; });
    }
    return result;
  }
  QImage result = NewImage(w, h, QImage::Format_Indexed8);
  result.setColorTable(bits == 4 ? VgaPalette() : GeneralPalette());
  for (int y = 0; y < h; ++y) {
    const QRgb* row = rows.Row(y);
    uchar* out = result.scanLine(y);
    QRgb last = 0;
    uchar lastIndex = nearest.Index(0);
    for (int x = 0; x < w; ++x) {
      const QRgb color = row[x] & 0xFFFFFFu;
      if (color != last) {
        last = color;
        lastIndex = nearest.Index(color);
      }
      out[x] = lastIndex;
    }
  }
  return result;
}

TWhiteBand ChooseWhiteBand(const TGreyHistogram& histogram, uint64_t pixelCount) {
  int dark = 0, light = 0;
  for (int g = 0; g < 256; ++g)
    if (histogram[size_t(g)] != 0) ++(g < 128 ? dark : light);
  const bool band = dark == 0 || light == 0 ||
                    double(std::max(dark, light)) / double(std::min(dark, light)) > 2.5;
  if (!band) return {true, 128, 255};

  int mode = 0;
  for (int g = 1; g < 256; ++g)
    if (histogram[size_t(g)] > histogram[size_t(mode)]) mode = g;
  // Half the pixels, an exact half going to the even neighbour.
  uint64_t half = pixelCount / 2;
  if ((pixelCount & 1) && (half & 1)) ++half;
  int low = mode, high = mode | 1;
  uint64_t sum = 0;
  while (sum < half) {
    if (low >= 0 && low <= 255) sum += histogram[size_t(low--)];
    if (high >= 0 && high <= 255) sum += histogram[size_t(high++)];
  }
  return {false, low, high};
}

QImage CreateBMP_1bit(QImage bitmap) {
  const int w = bitmap.width(), h = bitmap.height();
  TRgbRows rows(bitmap);
  TGreyHistogram histogram{};
  for (int y = 0; y < h; ++y) {
    const QRgb* row = rows.Row(y);
    for (int x = 0; x < w; ++x) ++histogram[size_t(GreyLevel(row[x]))];
  }
  const TWhiteBand band = ChooseWhiteBand(histogram, uint64_t(w) * uint64_t(h));
  // The black-and-white picture goes straight into its 1-bit form: black is
  // entry 0 and white entry 1, as mapping it through the mono palette gives.
  QImage result = MonoImage(w, h);
  for (int y = 0; y < h; ++y) {
    const QRgb* row = rows.Row(y);
    FillMonoRow(result.scanLine(y), w, [&](int x) {
      const int g = GreyLevel(row[x]);
      return band.Threshold ? g >= 128 : band.Low <= g && g <= band.High;
    });
  }
  return result;
}
