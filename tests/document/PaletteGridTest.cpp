// The palette window's grid, drawn and hit without a window.
#include <QColor>
#include <QImage>
#include <gtest/gtest.h>

#include "document/PaletteGrid.h"

TEST(PaletteGrid, HitCellsIncludeTheGapsLeftAndAbove) {
  EXPECT_EQ(PaletteHitTest(21, 16, 256), 17);
  EXPECT_EQ(PaletteHitTest(319, 239, 256), 255);
  EXPECT_EQ(PaletteHitTest(320, 5, 256), -1);
  EXPECT_EQ(PaletteHitTest(5, 250, 256), -1);
  EXPECT_EQ(PaletteHitTest(45, 5, 2), -1);
  EXPECT_EQ(PaletteHitTest(39, 14, 2), 1);
  // Frames of neighbours never share a pixel.
  EXPECT_EQ(SelectionFrameOf(17), QRect(QPoint(21, 16), QPoint(40, 30)));
  EXPECT_FALSE(SelectionFrameOf(0).intersects(SelectionFrameOf(1)));
  EXPECT_FALSE(SelectionFrameOf(0).intersects(SelectionFrameOf(16)));
}

TEST(PaletteGrid, RowsAndColumnsDrawn) {
  std::array<uint32_t, 256> colors;
  colors.fill(0x000000FF);  // red
  QImage image;
  DrawPaletteGrid(image, 8, colors);
  EXPECT_EQ(image.size(), QSize(321, 271));
  EXPECT_EQ(QColor(image.pixel(20 * 7 + 2, 2)), QColor(Qt::red));    // eighth swatch of row 0
  EXPECT_EQ(QColor(image.pixel(20 * 8 + 2, 2)), QColor(Qt::white));  // no ninth
  EXPECT_EQ(QColor(image.pixel(2, 17)), QColor(Qt::white));          // no second row
  EXPECT_EQ(QColor(image.pixel(19, 14)), QColor(Qt::red));           // swatch is 18 x 13
  EXPECT_EQ(QColor(image.pixel(20, 14)), QColor(Qt::white));
  DrawPaletteGrid(image, 32, colors);
  EXPECT_EQ(QColor(image.pixel(20 * 15 + 2, 15 + 2)), QColor(Qt::red));
}

TEST(PaletteGrid, ArrowKeysStayInsideTheDrawnEntries) {
  const struct {
    int Index, Dx, Dy, Count, Expected;
  } cases[] = {
      {-1, 1, 0, 16, 0},    // nothing selected yet: the first entry
      {0, 1, 0, 16, 1},     {0, -1, 0, 16, 0},  {15, 1, 0, 16, 15},  // a single row's ends
      {15, 1, 0, 256, 16},  {16, -1, 0, 256, 15},                     // sideways across rows
      {3, 0, 1, 256, 19},   {19, 0, -1, 256, 3}, {3, 0, -1, 256, 3},
      {10, 0, 1, 20, 10},   {2, 0, 1, 20, 18},  // a short last row
      {255, 0, 1, 256, 255}, {255, 1, 0, 256, 255},
      {5, 0, 0, 0, -1},     {40, 0, 0, 20, 0},  // no entries; a stale index
  };
  for (const auto& c : cases)
    EXPECT_EQ(MovePaletteSelection(c.Index, c.Dx, c.Dy, c.Count), c.Expected)
        << c.Index << " " << c.Dx << "," << c.Dy << " of " << c.Count;
}
