#include "reduce/BmpLoader.h"

#include <QCoreApplication>

#include <QFile>
#include <QImageReader>
#include <QtEndian>

#include "plugins/PictureLimits.h"

namespace {

enum : uint32_t { kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3, kBiAlphaBitfields = 6 };

// Whether a run-length stream reaches its end-of-bitmap mark, or the end of
// its last row, inside the file. The decoder would make up the missing rows.
bool RleIsComplete(const QByteArray& data, int64_t at, int64_t height, bool fourBit) {
  const auto byte = [&](int64_t i) { return uint8_t(data[qsizetype(i)]); };
  int64_t rows = 0;
  while (at + 2 <= data.size()) {
    const int count = byte(at), value = byte(at + 1);
    at += 2;
    if (count > 0) continue;  // a run
    if (value == 0) {         // end of line
      if (++rows >= height) return true;
    } else if (value == 1) {  // end of bitmap
      return true;
    } else if (value == 2) {  // move right and down
      if (at + 2 > data.size()) return false;
      rows += byte(at + 1);
      at += 2;
      if (rows >= height) return true;
    } else {  // literal pixels, padded to a 16-bit boundary
      const int64_t bytes = fourBit ? (value + 1) / 2 : value;
      at += (bytes + 1) & ~int64_t(1);
      if (at > data.size()) return false;
    }
  }
  return false;
}

// Whether the uncompressed pixel rows the header describes fit in the file.
// Run-length streams must reach their end; other compressions are left to
// the decoder, which refuses them.
bool HoldsItsPixels(QFile& file, QString& refusal) {
  const QByteArray head = file.read(54);
  if (head.size() < 26 || !head.startsWith("BM")) return false;
  const auto u16 = [&](int at) { return qFromLittleEndian<quint16>(head.constData() + at); };
  const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(head.constData() + at); };
  const quint32 infoSize = u32(14);
  int64_t width, height, bits;
  uint32_t compression = kBiRgb;
  if (infoSize == 12) {
    width = u16(18);
    height = u16(20);
    bits = u16(24);
  } else {
    if (head.size() < 34) return false;
    width = qint32(u32(18));
    height = qint32(u32(22));
    bits = u16(28);
    compression = u32(30);
  }
  if (height < 0) height = -height;
  if (width > 0 && PictureTooLarge(width, height)) {
    refusal = PictureTooLargeMessage(width, height);
    return false;
  }
  if (compression == kBiRle8 || compression == kBiRle4) {
    file.seek(0);
    return RleIsComplete(file.readAll(), u32(10), height, compression == kBiRle4);
  }
  if (compression != kBiRgb && compression != kBiBitfields && compression != kBiAlphaBitfields)
    return true;
  if (width <= 0 || bits <= 0 || bits > 64) return true;  // the decoder refuses these
  const int64_t stride = ((bits * width + 31) / 32) * 4;
  const int64_t room = file.size() - int64_t(u32(10));
  return room >= 0 && height <= room / stride;
}

}  // namespace

QString NotReadableAsBmpMessage(const QString& path) {
  return QCoreApplication::translate("BmpLoader", "ファイル「%1」はBMP画像として読み込めませんでした。").arg(path);
}

QImage LoadBMP(const QString& path, QString* refusal) {
  QString why;
  QImage image;
  QFile file(path);
  if (file.open(QIODevice::ReadOnly) && HoldsItsPixels(file, why)) {
    file.seek(0);
    QImageReader reader(&file, "bmp");
    reader.setDecideFormatFromContent(false);
    image = reader.read();
  }
  if (image.isNull() && refusal) *refusal = why.isEmpty() ? NotReadableAsBmpMessage(path) : why;
  return image;
}
