#pragma once
// Picking the transparent colour from a colour seen on screen: the nearest
// palette entry, ties going to the lowest index.
#include <QString>

#include "document/GifDocument.h"

struct TPaletteMatch {
  int Index = 0;
  bool Exact = false;
};

// Only meaningful with a document (ColorCount > 0).
TPaletteMatch NearestPaletteEntry(const TGifDocument& doc, uint8_t r, uint8_t g, uint8_t b);

// "R255 G0 B128": the hint of the swatch after a pick.
QString PickedColorHint(uint8_t r, uint8_t g, uint8_t b);

// The index panel: the index, marked with "*" when the colour was not in the palette.
QString MatchPanelText(const TPaletteMatch& match);
