#pragma once
// Animated GIFs for tests, written with giflib, and a browser's view of them:
// every frame composed on the canvas with its disposal, transparent where
// nothing opaque was drawn.
#include <QByteArray>
#include <cstdint>
#include <optional>
#include <vector>

#include "common/GifFactory.h"

struct TAnimFrame {
  int Left = 0, Top = 0, Width = 0, Height = 0;  // zero size: the whole screen
  std::vector<TRgb> LocalColors;                 // empty: drawn with the global table
  std::vector<uint8_t> Pixels;                   // Width*Height indices
  std::optional<uint8_t> Packed;                 // control block's packed byte; none: no block
  uint8_t TransparentIndex = 0;
  bool Interlaced = false;
};

struct TAnimPlan {
  int Width = 8, Height = 6;
  std::vector<TRgb> Colors;  // global table; empty: none
  bool Gif89 = true;
  std::vector<TAnimFrame> Frames;
};

QByteArray MakeAnimation(const TAnimPlan& plan);

// Packed control byte for a disposal method, transparent or not.
inline uint8_t Packed(int disposal, bool transparent = false) { return uint8_t(disposal << 2 | (transparent ? 1 : 0)); }

struct TComposed {
  // The canvas a browser composes on: the screen grown to the first frame, later frames clipped to it.
  // Where that is too large to hold, only the frames' bounds, outside which
  // nothing is ever drawn.
  int Left = 0, Top = 0, Width = 0, Height = 0;
  // Per frame, the canvas after drawing it: 0 where transparent, else 0xFFRRGGBB.
  std::vector<std::vector<uint32_t>> Canvases;
  // Per frame, which frame last drew each pixel opaque (-1: none).
  std::vector<std::vector<int>> Painter;
};

// Readers differ in which of several control blocks before one image they
// honour.
enum class TControlReading { First, Last };

// giflib's decode of every frame, composed as a browser shows them (disposal
// 4 restores the previous picture, 5 to 7 keep; a frame without any table is
// drawn in greys); empty when giflib refuses the data.
std::optional<TComposed> ComposeFrames(const QByteArray& data, TControlReading reading = TControlReading::First);

// A heavy animation as optimisers write it: a white screen with a still,
// many-coloured band at the top, and shapes (white at their centre) moving
// through it. After the first frame each frame covers only what changed,
// with entry 255 for "unchanged", drawn without disposal. With white made
// transparent nearly every frame must be written anew: clearing where a
// shape was clears the band under it too.
QByteArray ShapesOverBand(int width, int height, int frames, int shapes);

// gifsicle's -O2 of a file, as optimised animations come; empty when
// gifsicle is not installed.
QByteArray GifsicleOptimised(const QByteArray& gif);
