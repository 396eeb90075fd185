#include "reduce/PicturePalette.h"

#include <libimagequant.h>

#include <memory>
#include <new>
#include <vector>

#include "reduce/RgbRows.h"

namespace {

template <typename T, void (*Destroy)(T*)>
struct TLiqDeleter {
  void operator()(T* p) const { Destroy(p); }
};
using TAttr = std::unique_ptr<liq_attr, TLiqDeleter<liq_attr, liq_attr_destroy>>;
using TLiqImage = std::unique_ptr<liq_image, TLiqDeleter<liq_image, liq_image_destroy>>;
using TResult = std::unique_ptr<liq_result, TLiqDeleter<liq_result, liq_result_destroy>>;

// The picture as R, G, B, A bytes, alpha either 0 or 255.
std::vector<uint32_t> RgbaPixels(const QImage& picture, bool keepTransparency, bool& anyTransparent) {
  const int w = picture.width(), h = picture.height();
  std::vector<uint32_t> rgba(size_t(w) * size_t(h));
  // Reading alpha needs the pixels' own alpha byte, which TRgbRows leaves as is
  // only for formats with alpha; the others read as opaque.
  const QImage source = keepTransparency && picture.hasAlphaChannel()
                            ? picture.convertToFormat(QImage::Format_ARGB32)
                            : picture;
  const bool alpha = keepTransparency && source.hasAlphaChannel();
  TRgbRows rows(source);
  anyTransparent = false;
  for (int y = 0; y < h; ++y) {
    const QRgb* row = alpha ? reinterpret_cast<const QRgb*>(source.constScanLine(y)) : rows.Row(y);
    uint8_t* out = reinterpret_cast<uint8_t*>(rgba.data() + size_t(y) * size_t(w));
    for (int x = 0; x < w; ++x, out += 4) {
      const bool opaque = !alpha || !IsTransparentPixel(row[x]);
      anyTransparent |= !opaque;
      out[0] = opaque ? uint8_t(qRed(row[x])) : 0;
      out[1] = opaque ? uint8_t(qGreen(row[x])) : 0;
      out[2] = opaque ? uint8_t(qBlue(row[x])) : 0;
      out[3] = opaque ? 255 : 0;
    }
  }
  return rgba;
}

int ReportProgress(float percent, void* user) {
  const auto& progress = *static_cast<const TQuantizeProgress*>(user);
  return progress(int(percent)) ? 1 : 0;
}

}  // namespace

TIndexedPicture QuantizeToPicturePalette(const QImage& picture, bool dither, bool keepTransparency,
                                    const TQuantizeProgress& progress) {
  TIndexedPicture out;
  const int w = picture.width(), h = picture.height();
  if (w <= 0 || h <= 0) return out;
  bool anyTransparent = false;
  std::vector<uint32_t> rgba = RgbaPixels(picture, keepTransparency, anyTransparent);

  TAttr attr(liq_attr_create());
  if (!attr) throw std::bad_alloc();
  liq_set_max_colors(attr.get(), 256);
  if (progress) liq_attr_set_progress_callback(attr.get(), ReportProgress, const_cast<TQuantizeProgress*>(&progress));
  TLiqImage image(liq_image_create_rgba(attr.get(), rgba.data(), w, h, 0));
  if (!image) throw std::bad_alloc();
  liq_result* raw = nullptr;
  const liq_error quantized = liq_image_quantize(image.get(), attr.get(), &raw);
  TResult result(raw);
  if (quantized == LIQ_ABORTED) return out;
  if (quantized != LIQ_OK) throw std::bad_alloc();
  liq_set_dithering_level(result.get(), dither ? 1.0f : 0.0f);
  if (progress) liq_result_set_progress_callback(result.get(), ReportProgress, const_cast<TQuantizeProgress*>(&progress));

  QImage indexed(w, h, QImage::Format_Indexed8);
  if (indexed.isNull()) throw std::bad_alloc();
  std::vector<unsigned char*> rowPointers(static_cast<size_t>(h));
  for (int y = 0; y < h; ++y) rowPointers[size_t(y)] = indexed.scanLine(y);
  const liq_error remapped = liq_write_remapped_image_rows(result.get(), image.get(), rowPointers.data());
  if (remapped == LIQ_ABORTED) return out;
  if (remapped != LIQ_OK) throw std::bad_alloc();

  const liq_palette* palette = liq_get_palette(result.get());
  QVector<QRgb> table(int(palette->count));
  int transparent = -1;
  for (int i = 0; i < table.size(); ++i) {
    const liq_color& c = palette->entries[i];
    table[i] = qRgb(c.r, c.g, c.b);
    if (anyTransparent && c.a < 128 && transparent < 0) transparent = i;
  }
  if (anyTransparent && transparent < 0) {  // no entry of its own yet: add one
    transparent = table.size() < 256 ? table.size() : -1;
    if (transparent < 0) transparent = 255;  // cannot happen with alpha held to 0 or 255
    if (transparent == table.size()) table.append(0);
  }
  if (transparent >= 0) {
    table[transparent] = UnusedColor(table, transparent);
    // Dithering may blur the edge between the transparent and the opaque;
    // the alpha threshold decides each pixel, not the diffused error.
    for (int y = 0; y < h; ++y) {
      uchar* line = indexed.scanLine(y);
      const uint8_t* src = reinterpret_cast<const uint8_t*>(rgba.data() + size_t(y) * size_t(w));
      for (int x = 0; x < w; ++x) {
        const bool opaque = src[4 * x + 3] != 0;
        if (!opaque)
          line[x] = uchar(transparent);
        else if (line[x] == transparent || palette->entries[line[x]].a < 128)
          line[x] = uchar(NearestEntry(table, qRgb(src[4 * x], src[4 * x + 1], src[4 * x + 2]), transparent));
      }
    }
  }
  indexed.setColorTable(table);
  out.Image = std::move(indexed);
  out.TransparentIndex = transparent;
  return out;
}
