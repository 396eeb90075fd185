#pragma once
// The GIF writer: one bitmap of at most 256 colours as a single-image GIF89a.
// Its layout puts the Graphic Control Extension right after the global colour
// table, where the document's header reader and transparency patch expect it.
#include <QByteArray>
#include <QImage>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "reduce/LzwEncoder.h"

// Code of the last outcome, a row of GIFErrorMessages; 0 at start. Only
// SaveBitmapToGIF writes it and reads GIFProgressHandler: the helpers below
// answer their error and take their progress handler as parameters.
extern uint8_t GIFLastError;
constexpr int GIFErrorCount = 9;
extern const char* const GIFErrorMessages[GIFErrorCount];
// Called with a percentage while the image data is coded, and with 100 once
// it is complete. Empty at start.
extern TGIFProgressHandler GIFProgressHandler;

// The fixed comment every file carries: four ASCII lines, CR LF between them.
extern const QByteArray GIFCreditText;

// Bits b addressing a palette of n entries (1 for 0..2, up to 8 for 129..256).
int BitsForColorCount(int n);

struct TGIFPalette {
  std::array<uint8_t, 768> Rgb{};  // red, green, blue in order of first use
  int Count = 0;
  int Transparent = -1;  // the entry the control block marks transparent, if any
};

// The colours the pixels use, in order of first occurrence (rows top to
// bottom, left to right), and one index per pixel in the same order.
// Answers the error code: 4 at a 257th colour, otherwise 0. transparentEntry,
// an entry of a palette-based bitmap's colour table, keeps an entry of its own
// even when another has its colour, and becomes palette.Transparent.
uint8_t MapPixelsToPalette(const QImage& bitmap, TGIFPalette& palette, std::vector<uint8_t>& indices,
                           int transparentEntry = -1);

// Appends the whole file for width x height indices (at least one pixel),
// reporting the coder's progress and then 100 to progress when it is set.
void WriteGIFStream(QByteArray& out, int width, int height, const TGIFPalette& palette,
                    const uint8_t* indices, const TGIFProgressHandler& progress = {});

// Writes the bitmap as a GIF to fileName, creating or replacing it in one
// atomic step once the whole stream is built. False with GIFLastError set when
// the image cannot be a GIF (then no file is touched); a file system failure
// raises EInOutError. transparentEntry as for MapPixelsToPalette: the file
// then opens with that colour transparent.
bool SaveBitmapToGIF(const QString& fileName, const QImage& bitmap, int transparentEntry = -1);
