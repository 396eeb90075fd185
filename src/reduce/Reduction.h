#pragma once
// Reduction of a bitmap onto the fixed palette of a depth, without dithering.
// The result is built as an indexed QImage directly: 8 bits as Indexed8 with
// the 256-colour general table, 4 bits as Indexed8 with the 16 VGA colours,
// 1 bit as Mono with black (index 0) and white (index 1).
#include <QImage>
#include <array>
#include <cstdint>

// Maps every pixel to its nearest fixed-palette colour; bits is 8, 4 or 1
// (any other value is taken as 8). The source is consumed.
QImage ChangePixel(int bits, QImage bitmap);

// Black and white by the grey-level rule: a picture balanced between dark and
// light tones is split at mid-grey; one dominated by one side keeps its most
// frequent grey and the greys around it covering half the pixels as white.
QImage CreateBMP_1bit(QImage bitmap);

// The parts of that rule, exposed for testing.
int GreyLevel(QRgb color);  // (r + g + b) / 3 rounded to nearest
using TGreyHistogram = std::array<uint32_t, 256>;
struct TWhiteBand {
  bool Threshold;  // split at 128 instead of a band
  int Low, High;   // white when Low <= grey <= High (band mode)
};
TWhiteBand ChooseWhiteBand(const TGreyHistogram& histogram, uint64_t pixelCount);
