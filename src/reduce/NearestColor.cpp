#include "reduce/NearestColor.h"

#include <algorithm>
#include <array>
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
  // Per axis and span of values, each entry's nearest and farthest squared
  // distance, so that a cell only adds three numbers per entry (a palette
  // made for each picture builds this table every time).
  const size_t n = size_t(palette.size());
  constexpr int kSpans = 256 / kCellSpan;
  std::array<std::vector<int>, 3> nearAxis, farAxis;
  for (int axis = 0; axis < 3; ++axis) {
    nearAxis[size_t(axis)].resize(kSpans * n);
    farAxis[size_t(axis)].resize(kSpans * n);
    for (int span = 0; span < kSpans; ++span)
      for (size_t i = 0; i < n; ++i) {
        const int v = (palette[int(i)] >> (16 - 8 * axis)) & 0xFF;
        nearAxis[size_t(axis)][size_t(span) * n + i] = NearAxis(v, span * kCellSpan);
        farAxis[size_t(axis)][size_t(span) * n + i] = FarAxis(v, span * kCellSpan);
      }
  }
  CellStart.reserve(kCells + 1);
  std::vector<int> nearest(n);
  for (int cell = 0; cell < kCells; ++cell) {
    const size_t r = size_t(cell >> 10) * n, g = size_t((cell >> 5) & 31) * n, b = size_t(cell & 31) * n;
    const int *nr = &nearAxis[0][r], *ng = &nearAxis[1][g], *nb = &nearAxis[2][b];
    const int *fr = &farAxis[0][r], *fg = &farAxis[1][g], *fb = &farAxis[2][b];
    // An entry can win somewhere in the cell only if its nearest point is no
    // farther than the farthest point of the best worst-case entry.
    int bound = INT32_MAX;
    for (size_t i = 0; i < n; ++i) {
      nearest[i] = nr[i] + ng[i] + nb[i];
      bound = std::min(bound, fr[i] + fg[i] + fb[i]);
    }
    CellStart.push_back(uint32_t(Candidates.size()));
    for (size_t i = 0; i < n; ++i)
      if (nearest[i] <= bound) Candidates.push_back(uint8_t(i));
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
