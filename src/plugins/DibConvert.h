#pragma once
// Turns what a picture plug-in hands back (a bitmap-info header with its
// colour table, and the pixel rows) into a BMP file in memory. The plug-in is
// outside code: every size is checked against the blocks actually returned.
#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>

#include "plugins/PictureLimits.h"

// Largest side and pixel count accepted from a plug-in.
constexpr int32_t kMaxDibSide = 65535;
constexpr int64_t kMaxDibPixels = kMaxPicturePixels;

struct TDibLayout {
  int Colours;        // entries of the colour table that follow the header
  int64_t ImageSize;  // bytes of pixel rows
};

// The layout the header promises, or none when it is not a picture this host
// takes (header smaller than 40 bytes or not 40, unknown depth, compression,
// a width or height that is zero, negative (width) or huge, more colours than
// the depth allows) or when either block is shorter than the layout needs.
std::optional<TDibLayout> CheckDib(const uint8_t* header, size_t headerSize, size_t bitsSize);

// Width and height of a well-formed header whose picture is more than the
// program decodes; none otherwise.
std::optional<std::pair<int64_t, int64_t>> OversizedDib(const uint8_t* header, size_t headerSize);

// The 14-byte file header, the header with its colour table, then the rows.
QByteArray DibToBmpFile(const uint8_t* header, const uint8_t* bits, const TDibLayout& layout);
