#pragma once
// The fixed colour tables a reduced bitmap is mapped onto; they depend only on
// the depth, never on the image.
#include <QRgb>
#include <QVector>

// 1 bit: black, white.
const QVector<QRgb>& MonoPalette();
// 4 bits: the sixteen standard VGA colours.
const QVector<QRgb>& VgaPalette();
// 8 bits: the 20 static system colours (ten at each end), a 6x6x6 colour cube
// and 20 greys between the cube's own.
const QVector<QRgb>& GeneralPalette();
