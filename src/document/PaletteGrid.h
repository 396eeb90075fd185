#pragma once
// Geometry of the palette grid: 16 entries a row, cells of 20 x 15 pixels,
// each swatch 18 x 13 inside its cell. Drawing and hit test share it.
#include <QImage>
#include <QRect>
#include <array>
#include <cstdint>

constexpr int PaletteGridWidth = 321;
constexpr int PaletteGridHeight = 271;

// Fills the grid image white and draws ColorCount swatches.
void DrawPaletteGrid(QImage& image, int colorCount, const std::array<uint32_t, 256>& colors);

// The entry under (x, y), or -1 outside the drawn entries.
int PaletteHitTest(int x, int y, int colorCount);

// The 1-pixel ring directly around an entry's swatch (right, bottom exclusive
// in the returned left/top/right/bottom sense of QRect::adjusted(0,0,1,1)).
QRect SelectionFrameOf(int index);

// The entry an arrow key moves the selection to: dx, dy in cells (-1, 0, 1),
// kept inside the drawn entries; rows wrap to the neighbouring row when
// moving sideways off an end. No selection yet (-1): the first entry.
int MovePaletteSelection(int index, int dx, int dy, int colorCount);
