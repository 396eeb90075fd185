#pragma once
// What the command line asks of decoded pictures: the pixel of a GIF's first
// frame, and a BMP, PNG or JPEG converted to GIF bytes. It lives in a module
// of its own, loaded only by the runs that need it, because it brings Qt Gui,
// the picture plug-ins and the reduction with it; a run that only patches
// GIFs starts without them. Nothing thrown crosses the module's edge: the
// answers carry their messages.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "choice/Choice.h"

struct TConversionRequest {
  QString Path;     // the picture's name to read (a descriptor's under /proc)
  QString Shown;    // the picture as messages name it; its extension names the format
  QString WorkDir;  // the private folder the conversion writes its GIF in
  uint8_t ReduceBits = 0;  // 0 (its own palette), 8, 4 or 1
  bool Dither = true;
};

class TPictureWork {
 public:
  virtual ~TPictureWork() = default;
  // The GIF bytes of the picture, or empty with error saying why.
  virtual QByteArray Convert(const TConversionRequest& request, QString& error) = 0;
  // The pixel at (x, y) of the first frame as the window's plug-ins decode
  // it; none when the point lies outside (error empty) or the bytes cannot be
  // decoded (error says why). Safe from several threads: decodes run one at a time.
  virtual std::optional<TShownPixel> FirstFramePixel(const QByteArray& gif, int x, int y, QString& error) = 0;
  // The BMP, PNG or JPEG at full colour, for a format that holds it: rows of
  // 0xAARRGGBB (straight alpha, wholly transparent pixels 0); empty with
  // error saying why.
  virtual std::vector<uint32_t> FullColor(const TConversionRequest& request, int& width, int& height,
                                          QString& error) = 0;
};

// The module's one export: a new worker, for the caller to delete.
#define TOMARU_PICTURE_WORK_ENTRY "TomaruNewPictureWork"
extern "C" TPictureWork* TomaruNewPictureWork();
