#pragma once
// Pictures the reduction tests are made of.
#include <QImage>
#include <QVector>
#include <cstdint>
#include <random>

// Width x height RGB32 pixels, each one of the given colours at random.
QImage RandomImage(int width, int height, const QVector<QRgb>& colors, std::mt19937& rng);
// n distinct colours, spread over the cube.
QVector<QRgb> DistinctColors(int n);
// A photo-like RGB32 picture: smooth gradients plus noise, many colours.
QImage PhotoLikeImage(int width, int height, uint32_t seed = 1);
// Pixels of an image as opaque colours, rows top to bottom.
QVector<QRgb> Pixels(const QImage& image);
