#pragma once
// BMP files made byte by byte, so the tests control depth, row order and lies.
#include <QByteArray>
#include <QImage>

// The image as an uncompressed BMP of 1, 4, 8 (palette from the image's own
// colours, at most 2^bits), 24 or 32 bits; rows bottom-up unless topDown.
QByteArray BmpBytes(const QImage& image, int bits, bool topDown = false);
