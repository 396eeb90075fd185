#include "document/Eyedropper.h"

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
