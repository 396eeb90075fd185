#include "reduce/BmpFiles.h"

#include <QVector>
#include <QtEndian>

namespace {

void Put(QByteArray& out, uint32_t value, int size) {
  for (int i = 0; i < size; ++i) out.append(char((value >> (8 * i)) & 0xFF));
}

}  // namespace

QByteArray BmpBytes(const QImage& image, int bits, bool topDown) {
  const int w = image.width(), h = image.height();
  QVector<QRgb> palette;
  if (bits <= 8)
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (!palette.contains(image.pixel(x, y))) palette.append(image.pixel(x, y));
  if (bits <= 8) palette.resize(1 << bits);
  const int stride = ((bits * w + 31) / 32) * 4;
  const int tableBytes = int(palette.size()) * 4;
  QByteArray out("BM");
  Put(out, uint32_t(54 + tableBytes + stride * h), 4);
  Put(out, 0, 4);
  Put(out, uint32_t(54 + tableBytes), 4);
  Put(out, 40, 4);
  Put(out, uint32_t(w), 4);
  Put(out, uint32_t(topDown ? -h : h), 4);
  Put(out, 1, 2);
  Put(out, uint32_t(bits), 2);
  for (int i = 0; i < 6; ++i) Put(out, 0, 4);
  for (QRgb c : palette) Put(out, c & 0xFFFFFFu, 4);  // blue, green, red, 0
  for (int r = 0; r < h; ++r) {
    const int y = topDown ? r : h - 1 - r;
    QByteArray row(stride, '\0');
    for (int x = 0; x < w; ++x) {
      const QRgb c = image.pixel(x, y);
      if (bits <= 8) {
        const int index = int(palette.indexOf(c));
        const int bit = x * bits;
        row[bit / 8] = char(uint8_t(row[bit / 8]) | (index << (8 - bits - bit % 8)));
      } else {
        const int at = x * bits / 8;
        row[at] = char(qBlue(c));
        row[at + 1] = char(qGreen(c));
        row[at + 2] = char(qRed(c));
        if (bits == 32) row[at + 3] = char(x * 37);  // a fourth byte that must not matter
      }
    }
    out.append(row);
  }
  return out;
}

QByteArray RleBmp(int32_t width, int32_t height, const QByteArray& rle) {
  QByteArray bmp(54 + 8, '\0');
  char* at = bmp.data();
  at[0] = 'B', at[1] = 'M';
  for (auto [offset, value] : {std::pair<int, uint32_t>{2, uint32_t(bmp.size() + rle.size())}, {10, 54 + 8}, {14, 40},
                               {18, uint32_t(width)}, {22, uint32_t(height)}, {26, 1 | 8 << 16}, {30, 1 /* RLE8 */},
                               {34, uint32_t(rle.size())}, {46, 2}, {54, 0x0000FF}, {58, 0xFFFFFF}})
    qToLittleEndian<uint32_t>(value, at + offset);
  return bmp + rle;
}

QByteArray SmallRleBmp() { return RleBmp(4, 2, QByteArray("\x04\x01\x00\x00\x02\x00\x02\x01\x00\x01", 10)); }
