#pragma once
// Real GIF files for tests, written with giflib's encoder, and giflib's decode
// of a file for comparing pixels.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

struct TRgb {
  uint8_t R, G, B;
};

struct TGifPlan {
  int Width = 4;
  int Height = 3;
  std::vector<TRgb> Colors{{255, 255, 255}, {255, 0, 0}};  // power of two, 2..256
  std::vector<uint8_t> Pixels;                                 // Width*Height indices; zeros when empty
  bool LocalTableOnly = false;
  bool Interlaced = false;
  bool Gif89 = true;
  bool Netscape = false;            // application extension before the control extension
  QByteArray Comment;               // comment extension before the control extension
  std::optional<uint8_t> GceFlags;  // none: no control extension
  uint8_t GceIndex = 0;
};

QByteArray MakeGif(const TGifPlan& plan);

struct TDecodedGif {
  int Width = 0, Height = 0;
  std::vector<uint8_t> Indices;  // first frame, in display order
  std::vector<TRgb> Colors;      // its colour table
  int TransparentIndex = -1;
};

// giflib's reading of the first frame; empty when giflib refuses the data.
std::optional<TDecodedGif> DecodeGif(const QByteArray& data);
