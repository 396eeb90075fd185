#pragma once
// What a save must show, worked out with the independent compositor of the
// tests: the opened file with its first frame's transparency set aside,
// composed as a browser does, the chosen colour transparent.
#include <QByteArray>
#include <cstdint>
#include <string>
#include <vector>

#include "common/GifAnimation.h"
#include "document/GifDocument.h"
#include "frames/Canvas.h"

// The document of a file, with entry made transparent.
TGifDocument Chosen(const QByteArray& file, int entry);

// The saved bytes of the choice, as PlanSave plans them.
struct TSaved {
  QByteArray Data;
  TFramePatchResult Frames;
};
TSaved Save(const TGifDocument& doc, bool rewrite = true);

// Empty when each composed frame of saved (the first frames of them only),
// its control blocks read so, equals the target of doc (its last control
// blocks honoured, as browsers read it), opaque pixels within merged (RGB
// distance squared) of it where colours were merged to fit a table; else the
// first frame and pixel that differ.
std::string CompareWithTarget(const TGifDocument& doc, const QByteArray& saved,
                              TControlReading reading = TControlReading::Last, size_t frames = SIZE_MAX,
                              int merged = 0);

// Frames whose descriptor, table or image data differ between the two files.
std::vector<int> FramesWrittenAnew(const QByteArray& opened, const QByteArray& saved);

// Each frame's pixel indices as giflib reads them, with its table's size;
// none where giflib refuses the file.
struct TRaster {
  TRect Rect;
  std::vector<uint8_t> Indices;
  int Colors = 0;
};
std::vector<TRaster> Rasters(const QByteArray& data);
