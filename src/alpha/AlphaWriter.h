#pragma once
// Saving frames with 8-bit alpha: an animated WebP (lossless), or a PNG for
// one frame. Frames go in one at a time as the canvas shows them, in the
// GIF's own terms (delays in hundredths, the NETSCAPE loop field); the file's
// bytes are made at the end and written to a descriptor, so the window's
// SaveToFile and the command line's WriteBeside each put them beside the
// target and rename them over it, as GIF saves are. Nothing thrown leaves
// here: answers carry their messages, so the writer can sit behind a module's
// edge.
//
// Pixels are the frame code's TPixel read as 0xAARRGGBB with straight (not
// premultiplied) alpha. Today's values, 0 for transparent and 0xFFRRGGBB, are
// already such pixels, so the GIF road and this one share one encoding. It is
// the word libwebp's ARGB pictures and Qt's ARGB32 images hold, so neither
// needs a conversion; and straight alpha keeps an edge's unmixed colour
// exact however faint its share, where premultiplying would round it away.
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

#include "frames/Canvas.h"

enum class TAlphaFormat { WebP, Png };

struct TAlphaSave {
  TAlphaFormat Format = TAlphaFormat::WebP;
  QString Target;          // the file to write, as messages name it
  int Width = 0;           // the canvas the frames are composed on
  int Height = 0;
  size_t FrameCount = 0;   // known before any work: PNG refuses an animation up front
  // The GIF's NETSCAPE loop field: none plays once, 0 forever, n repeats n
  // times after the first play, as browsers play it.
  std::optional<uint16_t> GifLoops;
};

// Larger canvases cannot be written as WebP.
constexpr int kWebpMaxSide = 16383;

class TAlphaWriter {
 public:
  virtual ~TAlphaWriter() = default;
  // The next frame: Width*Height pixels, rows top to bottom, shown for delay
  // hundredths of a second. The writer keeps what it needs; pixels may be
  // reused at once. False, error set, when the frame cannot be taken.
  virtual bool Add(const TPixel* pixels, int delay, QString& error) = 0;
  // Makes the file's bytes from the frames added. False, error set, on failure.
  virtual bool Finish(QString& error) = 0;
  // Writes the finished bytes to fd; false, errno set, on a write error.
  virtual bool WriteTo(int fd) const = 0;
};

// A writer for save, or none with error set: no frames, an animation asked
// for as PNG (the message names WebP), a canvas WebP cannot hold, or an
// encoder that cannot start.
std::unique_ptr<TAlphaWriter> NewAlphaWriter(const TAlphaSave& save, QString& error);

// Finishes writer and saves it as target with SaveToFile (a temporary file
// beside it, then renamed over it). False, error set and nothing written, on failure.
bool SaveAlphaFile(TAlphaWriter& writer, const QString& target, QString& error);
