#pragma once
// BMP files made byte by byte, so the tests control depth, row order and lies.
#include <QByteArray>
#include <QImage>

// The image as an uncompressed BMP of 1, 4, 8 (palette from the image's own
// colours, at most 2^bits), 24 or 32 bits; rows bottom-up unless topDown.
QByteArray BmpBytes(const QImage& image, int bits, bool topDown = false);
// A width x height RLE8 BMP with the given codes; palette blue, white.
QByteArray RleBmp(int32_t width, int32_t height, const QByteArray& rle);
// 4 x 2 RLE8: bottom row four times white, top row two blue, two white.
QByteArray SmallRleBmp();
