#include "reduce/PicturePalette.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <new>
#include <thread>
#include <vector>

#include "reduce/LiqLibrary.h"
#include "reduce/NearestColor.h"
#include "reduce/RgbRows.h"

namespace {

// The palette is chosen from at most about this many pixels: a photograph's
// colours are all there in a sample of this size (the PSNR of the result
// moves by hundredths of a dB), and the choice costs in proportion to the
// pixels it sees. Every pixel is then mapped.
constexpr int64_t kSamplePixels = int64_t(1) << 16;

// Pixels as 0xAARRGGBB with alpha either 0 (see-through) or 255.
std::vector<QRgb> OpaqueOrClear(const QImage& picture, bool keepTransparency, bool& anyTransparent) {
  const int w = picture.width(), h = picture.height();
  std::vector<QRgb> pixels(size_t(w) * size_t(h));
  const bool alpha = keepTransparency && picture.hasAlphaChannel();
  // Reading alpha needs the pixels' own alpha byte; TRgbRows leaves it as is
  // only for ARGB32, and the census ignores it for every other picture.
  const QImage source = alpha ? picture.convertToFormat(QImage::Format_ARGB32) : picture;
  TRgbRows rows(source);
  anyTransparent = false;
  for (int y = 0; y < h; ++y) {
    const QRgb* row = rows.Row(y);
    QRgb* out = pixels.data() + size_t(y) * size_t(w);
    for (int x = 0; x < w; ++x) {
      const bool clear = alpha && IsTransparentPixel(row[x]);
      anyTransparent |= clear;
      out[x] = clear ? 0 : (row[x] | 0xFF000000u);
    }
  }
  return pixels;
}

// The same pixels in libimagequant's byte order: R, G, B, A.
std::vector<uint32_t> LiqBytes(const QRgb* pixels, size_t count, size_t step, int width, int rows) {
  std::vector<uint32_t> bytes(count);
  size_t n = 0;
  for (int y = 0; y < rows && n < count; ++y) {
    // Each sampled row starts a little further on, so the sample follows no
    // column pattern of the picture.
    const QRgb* row = pixels + size_t(y) * step * size_t(width);
    for (size_t x = (size_t(y) * 7) % step; x < size_t(width) && n < count; x += step) {
      const QRgb p = row[x];
      const uint8_t rgba[4] = {uint8_t(qRed(p)), uint8_t(qGreen(p)), uint8_t(qBlue(p)), uint8_t(qAlpha(p))};
      std::copy(rgba, rgba + 4, reinterpret_cast<uint8_t*>(&bytes[n++]));
    }
  }
  bytes.resize(n);
  return bytes;
}

struct TProgressRange {
  const TQuantizeProgress* Progress;
  int From, Span;
  bool Report(double fraction) const { return !*Progress || (*Progress)(From + int(Span * fraction)); }
};

int ReportLiqProgress(float percent, void* user) {
  return static_cast<const TProgressRange*>(user)->Report(percent / 100.0) ? 1 : 0;
}

// libimagequant's choice of at most maxColors opaque colours for the
// pixels; empty when abandoned.
QVector<QRgb> ChoosePalette(const std::vector<QRgb>& pixels, int w, int h, int maxColors,
                            const TProgressRange& progress) {
  size_t step = 1;
  while (int64_t(w) * h / int64_t(step * step) > kSamplePixels) ++step;
  const int sw = std::max(1, int(size_t(w) / step)), sh = int(size_t(h) + step - 1) / int(step);
  std::vector<uint32_t> bytes = LiqBytes(pixels.data(), size_t(sw) * size_t(sh), step, w, sh);
  const TLiq& liq = Liq();
  const auto attr = LiqMade<TLiqAttr>(liq.AttrCreate());
  CheckLiq(liq.SetMaxColors(attr.get(), maxColors));
  // Speed 8 keeps one refinement pass of the palette: on photographs it
  // loses under half a dB against the slowest setting and is several times faster.
  CheckLiq(liq.SetSpeed(attr.get(), 8));
  liq.SetProgressCallback(attr.get(), ReportLiqProgress, const_cast<TProgressRange*>(&progress));
  const auto image =
      LiqMade<TLiqImage>(liq.ImageCreateRgba(attr.get(), bytes.data(), sw, int(bytes.size() / size_t(sw)), 0));
  const auto histogram = LiqMade<TLiqHistogram>(liq.HistogramCreate(attr.get()));
  CheckLiq(liq.HistogramAddImage(histogram.get(), attr.get(), image.get()));
  liq_result* raw = nullptr;
  const liq_error quantized = liq.HistogramQuantize(histogram.get(), attr.get(), &raw);
  TLiqResult result(raw);
  if (quantized == LIQ_ABORTED) return {};
  CheckLiq(quantized);
  const liq_palette* palette = liq.GetPalette(result.get());
  QVector<QRgb> table;
  for (unsigned i = 0; i < palette->count; ++i) {
    const liq_color& c = palette->entries[i];
    if (c.a >= 128) table.append(qRgb(c.r, c.g, c.b));
  }
  if (table.isEmpty()) table.append(qRgb(0, 0, 0));
  return table;
}

// Runs body(from, to) over bands of rows on every core. The bands do not
// depend on the number of cores, so neither does the result. This thread
// reports the share of bands done; a false answer stops the rest.
template <typename Report, typename Body>
bool ForEachBand(int h, Report report, Body body) {
  constexpr int kBandRows = 256;
  const int bands = (h + kBandRows - 1) / kBandRows;
  std::atomic<int> next{0}, done{0};
  std::atomic<bool> stop{false};
  const auto takeBand = [&] {
    const int band = next++;
    if (stop || band >= bands) return false;
    body(band * kBandRows, std::min(h, (band + 1) * kBandRows));
    ++done;
    return true;
  };
  const int helpers = std::min(bands, int(std::clamp(std::thread::hardware_concurrency(), 1u, 8u))) - 1;
  std::vector<std::thread> others;
  for (int i = 0; i < helpers; ++i)
    others.emplace_back([&] {
      while (takeBand()) {
      }
    });
  while (takeBand())
    if (!report(double(done) / bands)) stop = true;
  for (std::thread& t : others) t.join();
  return !stop;
}

// Floyd-Steinberg error diffusion along alternating directions over rows
// from..to (each band starts without error); see-through pixels take the
// transparent entry and neither give nor take error.
void MapDitheredRows(const QRgb* pixels, int w, int from, int to, const TNearestColor& nearest,
                     const QVector<QRgb>& table, uchar transparent, uchar* bits, qsizetype bytesPerLine) {
  // Errors of this row and the next, in sixteenths, one pixel of margin each side.
  std::vector<int> thisRow(size_t(w + 2) * 3, 0), nextRow(size_t(w + 2) * 3, 0);
  for (int y = from; y < to; ++y) {
    const QRgb* src = pixels + size_t(y) * size_t(w);
    uchar* line = bits + y * bytesPerLine;
    const bool forward = (y & 1) == 0;
    std::fill(nextRow.begin(), nextRow.end(), 0);
    for (int i = 0; i < w; ++i) {
      const int x = forward ? i : w - 1 - i, dir = forward ? 1 : -1;
      if (qAlpha(src[x]) == 0) {
        line[x] = transparent;
        continue;
      }
      const int* err = &thisRow[size_t(x + 1) * 3];
      const int r = std::clamp(qRed(src[x]) + err[0] / 16, 0, 255), g = std::clamp(qGreen(src[x]) + err[1] / 16, 0, 255),
                b = std::clamp(qBlue(src[x]) + err[2] / 16, 0, 255);
      const uchar index = nearest.Index(qRgb(r, g, b));
      line[x] = index;
      const QRgb got = table[index];
      const int e[3] = {r - qRed(got), g - qGreen(got), b - qBlue(got)};
      for (size_t c = 0; c < 3; ++c) {
        thisRow[size_t(x + 1 + dir) * 3 + c] += e[c] * 7;
        nextRow[size_t(x + 1 - dir) * 3 + c] += e[c] * 3;
        nextRow[size_t(x + 1) * 3 + c] += e[c] * 5;
        nextRow[size_t(x + 1 + dir) * 3 + c] += e[c];
      }
    }
    std::swap(thisRow, nextRow);
  }
}

// Each pixel to its nearest entry, rows from..to.
void MapNearestRows(const QRgb* pixels, int w, int from, int to, const TNearestColor& nearest, uchar transparent,
                    uchar* bits, qsizetype bytesPerLine) {
  QRgb last = 0;
  uchar lastIndex = transparent;
  for (int y = from; y < to; ++y) {
    const QRgb* src = pixels + size_t(y) * size_t(w);
    uchar* line = bits + y * bytesPerLine;
    for (int x = 0; x < w; ++x) {
      if (src[x] != last) {
        last = src[x];
        lastIndex = qAlpha(last) == 0 ? transparent : nearest.Index(last);
      }
      line[x] = lastIndex;
    }
  }
}

}  // namespace

TIndexedPicture QuantizeToPicturePalette(const QImage& picture, bool dither, bool keepTransparency,
                                         const TQuantizeProgress& progress) {
  const int w = picture.width(), h = picture.height();
  if (w <= 0 || h <= 0) return {};
  bool anyTransparent = false;
  const std::vector<QRgb> pixels = OpaqueOrClear(picture, keepTransparency, anyTransparent);

  // The palette takes the first half of the progress, the mapping the rest.
  const TProgressRange choosing{&progress, 0, 50}, mapping{&progress, 50, 50};
  QVector<QRgb> table = ChoosePalette(pixels, w, h, anyTransparent ? 255 : 256, choosing);
  if (table.isEmpty()) return {};
  const TNearestColor nearest(table);
  const uchar transparent = uchar(anyTransparent ? table.size() : 0);
  QImage indexed(w, h, QImage::Format_Indexed8);
  if (indexed.isNull()) throw std::bad_alloc();
  // Taken once: scanLine() would ask from every thread whether to detach.
  uchar* bits = indexed.bits();
  const qsizetype bpl = indexed.bytesPerLine();
  const bool done = ForEachBand(
      h, [&mapping](double fraction) { return mapping.Report(fraction); },
      [&](int from, int to) {
        if (dither)
          MapDitheredRows(pixels.data(), w, from, to, nearest, table, transparent, bits, bpl);
        else
          MapNearestRows(pixels.data(), w, from, to, nearest, transparent, bits, bpl);
      });
  if (!done) return {};
  if (anyTransparent) table.append(UnusedColor(table, -1));
  indexed.setColorTable(table);
  return {std::move(indexed), anyTransparent ? int(transparent) : -1};
}
