#pragma once
// The conversion road of opening a BMP, PNG or JPEG: load, count colours,
// ask for a reduction when there are more than 256, reduce, and write
// temp.gif in the working folder. A PNG's see-through pixels (alpha below 128) become one
// transparent entry, and the GIF opens with it transparent.
#include <QImage>
#include <QString>
#include <cstdint>
#include <optional>

#include "document/AppPaths.h"
#include "document/StatusPanels.h"

// The reduction dialog's answer besides the fixed depths 8, 4 and 1: a
// palette made for the picture.
constexpr int ReducePicturePalette = 0;

// What the road needs from the window.
class TBmpView {
 public:
  virtual ~TBmpView() = default;
  // Status bar panel text; panel 0 carries the writing progress.
  virtual void SetMsg(int index, const QString& text) = 0;
  // Plain message box.
  virtual void ShowMessage(const QString& text) = 0;
  // The reduction dialog for a picture of colorCount colours in format
  // ("BMP", "PNG" or "JPEG"): the chosen depth (8, 4 or 1) or
  // ReducePicturePalette, or nothing when the user cancelled.
  virtual std::optional<int> AskReduceBits(int colorCount, const QString& format) = 0;
  // Whether the picture's own palette is reached by error diffusion (the
  // dialog's check box, read after it has been answered).
  virtual bool Dither() const { return true; }
};

// Runs the whole road for the BMP, PNG or JPEG at path. True when temp.gif in the working folder was
// written; false when the file was refused, the user cancelled or the writer
// failed (each said to the user already, a cancel silently). reduceBits is the
// window's remembered depth, set when the dialog is confirmed. Nothing on
// disk changes unless a complete GIF is written. The kind of picture goes by
// the name's extension: kindName's when given (path may be a descriptor's
// name under /proc), else path's.
bool ConvertBMPFile(const QString& path, const TAppPaths& paths, TBmpView& view,
                    uint8_t& reduceBits, const QString& kindName = QString());

// Writes workBitmap, converted from a picture in format, to temp.gif in the
// working folder, showing progress in the file-name panel; on failure shows
// "Save Failed. Error Code = %d [%s]" and answers false.
bool ConvertBMPtoGIF(const QImage& workBitmap, const TAppPaths& paths, TBmpView& view, const QString& format,
                     int transparentEntry = -1);

// The file-name panel's text for a progress report ("PNG->GIF 70% Complete"):
// empty at 100.
QString GIFImageProgressText(int percent, const QString& format);
// "Save Failed. Error Code = %d [%s]" for the writer's last error.
QString SaveFailedMessage(int errorCode);
