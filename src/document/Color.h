#pragma once
// The program's one colour type and one colour distance: the eyedropper, the
// palette and the reduction all measure colours the same way.
#include <cstdint>

// 0x00BBGGRR, as everywhere in the program.
using TColor = uint32_t;

inline TColor RGBColor(int r, int g, int b) { return uint32_t(r) | (uint32_t(g) << 8) | (uint32_t(b) << 16); }
inline int RedOf(TColor c) { return c & 0xFF; }
inline int GreenOf(TColor c) { return (c >> 8) & 0xFF; }
inline int BlueOf(TColor c) { return (c >> 16) & 0xFF; }
// From Qt's 0xAARRGGBB.
inline TColor FromQRgb(uint32_t argb) { return RGBColor((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF); }

// Squared RGB distance.
inline int ColorDistance(int r1, int g1, int b1, int r2, int g2, int b2) {
  const int dr = r1 - r2, dg = g1 - g2, db = b1 - b2;
  return dr * dr + dg * dg + db * db;
}
inline int ColorDistance(TColor a, TColor b) {
  return ColorDistance(RedOf(a), GreenOf(a), BlueOf(a), RedOf(b), GreenOf(b), BlueOf(b));
}
