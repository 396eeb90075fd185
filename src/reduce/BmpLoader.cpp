#include "reduce/BmpLoader.h"

#include <QFile>
#include <QImageReader>
#include <QtEndian>

namespace {

enum : uint32_t { kBiRgb = 0, kBiBitfields = 3, kBiAlphaBitfields = 6 };

// Whether the uncompressed pixel rows the header describes fit in the file.
// Compressed rows carry their own ends and are left to the decoder.
bool HoldsItsPixels(QFile& file) {
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
  if (compression != kBiRgb && compression != kBiBitfields && compression != kBiAlphaBitfields)
    return true;
  if (width <= 0 || bits <= 0 || bits > 64) return true;  // the decoder refuses these
  const int64_t stride = ((bits * width + 31) / 32) * 4;
  const int64_t room = file.size() - int64_t(u32(10));
  return room >= 0 && height <= room / stride;
}

}  // namespace

QString NotReadableAsBmpMessage(const QString& path) {
  return QStringLiteral("ファイル「") + path + QStringLiteral("」はBMP画像として読み込めませんでした。");
}

QImage LoadBMP(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly) || !HoldsItsPixels(file)) return QImage();
  file.seek(0);
  QImageReader reader(&file, "bmp");
  reader.setDecideFormatFromContent(false);
  return reader.read();
}
