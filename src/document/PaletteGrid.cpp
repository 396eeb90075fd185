#include "document/PaletteGrid.h"

#include <QColor>
#include <QPainter>

void DrawPaletteGrid(QImage& image, int colorCount, const std::array<uint32_t, 256>& colors) {
  if (image.size() != QSize(PaletteGridWidth, PaletteGridHeight))
    image = QImage(PaletteGridWidth, PaletteGridHeight, QImage::Format_RGB32);
  image.fill(Qt::white);
  if (colorCount <= 0) return;
  const int rows = (colorCount - 1) / 16 + 1;
  const int columns = colorCount / rows;
  QPainter p(&image);
  for (int i = 0; i < rows; ++i) {
    for (int j = 0; j < columns; ++j) {
      const uint32_t c = colors[16 * i + j];
      p.fillRect(QRect(20 * j + 2, 15 * i + 2, 18, 13), QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
    }
  }
}

int PaletteHitTest(int x, int y, int colorCount) {
  if (x < 0 || y < 0) return -1;
  const int column = x / 20;
  const int row = y / 15;
  const int index = row * 16 + column;
  if (column > 15 || index >= colorCount) return -1;
  return index;
}

QRect SelectionFrameOf(int index) {
  const int column = index % 16;
  const int row = index / 16;
  return QRect(QPoint(20 * column + 1, 15 * row + 1), QPoint(20 * column + 20, 15 * row + 15));
}

int MovePaletteSelection(int index, int dx, int dy, int colorCount) {
  if (colorCount <= 0) return -1;
  if (index < 0 || index >= colorCount) return 0;
  const int moved = index + dx + 16 * dy;
  if (moved < 0 || moved >= colorCount) return index;
  return moved;
}
