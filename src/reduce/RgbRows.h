#pragma once
// Row-by-row read access to any QImage as 0x??RRGGBB values (the top byte is
// to be ignored). Images in a common format are read in place; only unusual
// formats cost a converted copy.
#include <QImage>
#include <QVector>
#include <array>

class TRgbRows {
 public:
  explicit TRgbRows(const QImage& image);

  int Width() const { return Image.width(); }
  int Height() const { return Image.height(); }
  // Valid until the next call.
  const QRgb* Row(int y);

 private:
  QImage Image;
  bool Direct = false;
  std::array<QRgb, 256> Table{};  // palette-based images; unused entries black
  QVector<QRgb> Buffer;
};

// Formats whose pixels are indices into a colour table.
bool IsPaletteFormat(QImage::Format format);
