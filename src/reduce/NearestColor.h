#pragma once
// Nearest palette entry by RGB distance (squared, the lowest index winning a
// tie). Each cell of an 8x8x8-value grid keeps the few entries that can be
// nearest to some colour in it, so a lookup tries a handful, not the palette.
#include <QRgb>
#include <QVector>
#include <cstdint>
#include <vector>

class TNearestColor {
 public:
  explicit TNearestColor(const QVector<QRgb>& palette);

  uint8_t Index(QRgb color) const;

 private:
  static int Cell(QRgb color) {
    return int(((color >> 19) & 31) << 10 | ((color >> 11) & 31) << 5 | ((color >> 3) & 31));
  }

  QVector<QRgb> Palette;
  std::vector<uint32_t> CellStart;  // 32768 + 1 offsets into Candidates
  std::vector<uint8_t> Candidates;  // per cell, in palette order
};

// The shared matcher of the fixed palette for 1, 4 or 8 bits.
const TNearestColor& NearestColorFor(int bits);
