#include "reduce/ColorCount.h"

#include <cstdint>
#include <vector>

#include "reduce/RgbRows.h"

int GetColorCount(const QImage& bitmap) {
  if (bitmap.isNull()) return 0;
  // One bit per possible colour: 2 MiB, constant time per pixel, exact.
  std::vector<uint64_t> seen(size_t(1) << 18, 0);
  int count = 0;
  TRgbRows rows(bitmap);
  for (int y = 0; y < rows.Height(); ++y) {
    const QRgb* row = rows.Row(y);
    uint32_t last = 0xFFFFFFFFu;  // never a masked colour
    for (int x = 0; x < rows.Width(); ++x) {
      const uint32_t color = row[x] & 0xFFFFFFu;
      if (color == last) continue;  // runs of one colour are common
      last = color;
      uint64_t& word = seen[color >> 6];
      const uint64_t bit = uint64_t(1) << (color & 63);
      if (!(word & bit)) {
        word |= bit;
        ++count;
      }
    }
  }
  return count;
}
