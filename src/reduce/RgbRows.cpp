#include "reduce/RgbRows.h"

bool IsPaletteFormat(QImage::Format format) {
  return format == QImage::Format_Indexed8 || format == QImage::Format_Mono ||
         format == QImage::Format_MonoLSB;
}

TRgbRows::TRgbRows(const QImage& image) : Image(image) {
  const QImage::Format f = Image.format();
  if (f == QImage::Format_RGB32 || f == QImage::Format_ARGB32) {
    // ARGB32 is not premultiplied, so its colour bytes are the file's own.
    Direct = true;
    return;
  }
  if (!IsPaletteFormat(f)) Image = Image.convertToFormat(QImage::Format_RGB32);
  Direct = Image.format() == QImage::Format_RGB32;
  if (Direct) return;
  // Indices beyond a short palette read as black rather than out of bounds.
  const QVector<QRgb> colors = Image.colorTable();
  for (int i = 0; i < colors.size() && i < 256; ++i) Table[size_t(i)] = colors[i];
  Buffer.resize(Image.width());
}

const QRgb* TRgbRows::Row(int y) {
  const uchar* line = Image.constScanLine(y);
  if (Direct) return reinterpret_cast<const QRgb*>(line);
  const int w = Image.width();
  QRgb* out = Buffer.data();
  switch (Image.format()) {
    case QImage::Format_Indexed8:
      for (int x = 0; x < w; ++x) out[x] = Table[line[x]];
      break;
    case QImage::Format_Mono:
      for (int x = 0; x < w; ++x) out[x] = Table[(line[x >> 3] >> (7 - (x & 7))) & 1];
      break;
    default:  // Format_MonoLSB
      for (int x = 0; x < w; ++x) out[x] = Table[(line[x >> 3] >> (x & 7)) & 1];
      break;
  }
  return out;
}
