#pragma once
// Decodes a GIF with giflib, the reference the writer is checked against.
#include <QRgb>
#include <QString>
#include <QVector>
#include <vector>

struct TDecodedGif {
  int Width = 0, Height = 0;
  QVector<QRgb> Colors;          // global colour table
  std::vector<unsigned char> Indices;
  QRgb Pixel(int x, int y) const { return Colors[Indices[size_t(y) * size_t(Width) + size_t(x)]]; }
  // Every pixel, rows top to bottom, as Pixels() gives a source image's.
  QVector<QRgb> AllPixels() const {
    QVector<QRgb> out;
    for (unsigned char i : Indices) out.append(Colors[i]);
    return out;
  }
};

// Fails the current test (and returns an empty result) when giflib refuses.
TDecodedGif DecodeGif(const QString& path);
