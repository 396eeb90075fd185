#include "document/Eyedropper.h"

int ColorDistance(uint8_t r1, uint8_t g1, uint8_t b1, uint8_t r2, uint8_t g2, uint8_t b2) {
  const int dr = r1 - r2, dg = g1 - g2, db = b1 - b2;
  return dr * dr + dg * dg + db * db;
}

TPaletteMatch NearestPaletteEntry(const TGifDocument& doc, uint8_t r, uint8_t g, uint8_t b) {
  const auto distanceTo = [&](int i) {
    const TColor c = doc.PaletteColors[i];
    return ColorDistance(r, g, b, RedOf(c), GreenOf(c), BlueOf(c));
  };
  int best = 0;
  int bestDistance = distanceTo(0);
  for (int i = 1; i < doc.ColorCount; ++i) {
    const int d = distanceTo(i);
    if (d < bestDistance) {
      best = i;
      bestDistance = d;
    }
  }
  return {best, bestDistance == 0};
}

QString PickedColorHint(uint8_t r, uint8_t g, uint8_t b) {
  return QStringLiteral("R%1 G%2 B%3").arg(r).arg(g).arg(b);
}

QString MatchPanelText(const TPaletteMatch& match) {
  return (match.Exact ? QString() : QStringLiteral("*")) + QString::number(match.Index);
}
