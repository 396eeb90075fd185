#pragma once
// Colour census of a bitmap about to become a GIF.
#include <QImage>

// The exact number of distinct 24-bit colours the pixels use (palette entries
// that no pixel uses do not count, nor does the alpha byte); 0 for an empty image.
int GetColorCount(const QImage& bitmap);
