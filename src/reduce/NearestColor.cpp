#include "reduce/NearestColor.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "document/Color.h"
#include "reduce/FixedPalettes.h"

namespace {

constexpr int kCells = 32 * 32 * 32;
constexpr int kCellSpan = 8;

// Squared distances from value v to the nearest and farthest of lo..lo+span-1.
int NearAxis(int v, int lo) {
  const int hi = lo + kCellSpan - 1;
  const int d = v < lo ? lo - v : v > hi ? v - hi : 0;
  return d * d;
}
int FarAxis(int v, int lo) {
  const int d = std::max(std::abs(v - lo), std::abs(v - (lo + kCellSpan - 1)));
  return d * d;
}

}  // namespace

TNearestColor::TNearestColor(const QVector<QRgb>& palette) : Palette(palette) {
  CellStart.reserve(kCells + 1);
  std::vector<int> nearest(size_t(palette.size()));
  for (int cell = 0; cell < kCells; ++cell) {
    const int r0 = (cell >> 10) * kCellSpan, g0 = ((cell >> 5) & 31) * kCellSpan,
              b0 = (cell & 31) * kCellSpan;
    // An entry can win somewhere in the cell only if its nearest point is no
    // farther than the farthest point of the best worst-case entry.
    int bound = INT32_MAX;
    for (int i = 0; i < palette.size(); ++i) {
      const QRgb c = palette[i];
      nearest[size_t(i)] = NearAxis(qRed(c), r0) + NearAxis(qGreen(c), g0) + NearAxis(qBlue(c), b0);
      bound = std::min(bound, FarAxis(qRed(c), r0) + FarAxis(qGreen(c), g0) + FarAxis(qBlue(c), b0));
    }
    CellStart.push_back(uint32_t(Candidates.size()));
    for (int i = 0; i < palette.size(); ++i)
      if (nearest[size_t(i)] <= bound) Candidates.push_back(uint8_t(i));
  }
  CellStart.push_back(uint32_t(Candidates.size()));
}

uint8_t TNearestColor::Index(QRgb color) const {
  const int cell = Cell(color);
  const uint8_t* p = Candidates.data() + CellStart[size_t(cell)];
  const uint8_t* end = Candidates.data() + CellStart[size_t(cell) + 1];
  uint8_t best = *p;
  int bestDistance = ColorDistance(FromQRgb(color), FromQRgb(Palette[best]));
  for (++p; p < end; ++p) {
    const int d = ColorDistance(FromQRgb(color), FromQRgb(Palette[*p]));
    if (d < bestDistance) {
      bestDistance = d;
      best = *p;
    }
  }
  return best;
}

const TNearestColor& NearestColorFor(int bits) {
  static const TNearestColor mono(MonoPalette());
  static const TNearestColor vga(VgaPalette());
  static const TNearestColor general(GeneralPalette());
  return bits == 1 ? mono : bits == 4 ? vga : general;
}
