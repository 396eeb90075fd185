#include "reduce/FixedPalettes.h"

const QVector<QRgb>& MonoPalette() {
  static const QVector<QRgb> table{qRgb(0, 0, 0), qRgb(255, 255, 255)};
  return table;
}

const QVector<QRgb>& VgaPalette() {
  static const QVector<QRgb> table{
      qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
      qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
      qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
      qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
  return table;
}

namespace {

QVector<QRgb> MakeGeneralPalette() {
  QVector<QRgb> table{qRgb(0, 0, 0),       qRgb(128, 0, 0),     qRgb(0, 128, 0),
                      qRgb(128, 128, 0),   qRgb(0, 0, 128),     qRgb(128, 0, 128),
                      qRgb(0, 128, 128),   qRgb(192, 192, 192), qRgb(192, 220, 192),
                      qRgb(166, 202, 240)};
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b) table.append(qRgb(r * 51, g * 51, b * 51));
  // Greys at 255 * i / 21, none of which the cube already holds.
  for (int i = 1; i <= 20; ++i) {
    const int level = (255 * i + 10) / 21;
    table.append(qRgb(level, level, level));
  }
  table << qRgb(255, 251, 240) << qRgb(160, 160, 164) << qRgb(128, 128, 128) << qRgb(255, 0, 0)
        << qRgb(0, 255, 0) << qRgb(255, 255, 0) << qRgb(0, 0, 255) << qRgb(255, 0, 255)
        << qRgb(0, 255, 255) << qRgb(255, 255, 255);
  return table;
}

}  // namespace

const QVector<QRgb>& GeneralPalette() {
  static const QVector<QRgb> table = MakeGeneralPalette();
  return table;
}
