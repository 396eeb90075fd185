#pragma once
// The one road by which a file becomes the document. The window provides the
// view side through TOpenView; the steps and their order live here.
#include <QString>
#include <optional>

#include "document/AppPaths.h"
#include "document/GifDocument.h"
#include "document/StatusPanels.h"

class TOpenView {
 public:
  virtual ~TOpenView() = default;
  virtual void SetMsg(int index, const QString& text) = 0;
  virtual void SetMenu(int level) = 0;
  virtual void SetCaption(const QString& caption) = 0;
  virtual void ShowMessage(const QString& text) = 0;
  virtual void AddRecentFile(const QString& path) = 0;
  // The conversion road (BMP, PNG, JPEG): writes temp.gif in the working folder and
  // answers true, or answers false when the user cancelled or the conversion failed
  // (having said so itself).
  virtual bool ConvertBMP(const QString& path) = 0;
  // Sizes the image view for the zoom in use before the picture arrives.
  virtual void SizeImageView(int width, int height) = 0;
  // Redraws the palette grid and selects entry 0, then selectIndex if any.
  virtual void ShowPalette(const TGifDocument& doc, std::optional<int> selectIndex) = 0;
  virtual void SetTransChecked(bool checked) = 0;
  // The swatch of the transparent colour at load; none shows a cross-hatch.
  virtual void SetDefaultSwatch(std::optional<TColor> color) = 0;
  virtual void ShowPaletteIfSync() = 0;
  // Decodes the picture and keeps it for ShowDecodedPicture; false, with the
  // reason, when no plug-in can. Changes nothing on screen.
  virtual bool DecodePicture(const QString& path, QString& whyNot) = 0;
  // Puts the picture DecodePicture kept into the left pane.
  virtual void ShowDecodedPicture() = 0;
  virtual void Preview() = 0;
};

// Whether a file of this name opens through the conversion road: BMP, PNG
// and JPEG by their extension, case ignored.
bool IsConvertedOnOpen(const QString& fileName);

void FileOpen(TGifDocument& doc, const TAppPaths& paths, TOpenView& view, const QString& fileName);

// A GIF whose picture no plug-in could decode.
QString PictureNotShownMessage(const QString& path, const QString& reason);

// The refusal of a file as a GIF, with the reason when there is one.
QString NotReadableAsGifMessage(const QString& path, const QString& reason = QString());
QString FileMissingMessage(const QString& path);
// A GIF whose blocks are damaged from frame firstDamaged (1-based) on: it
// opens, and a save keeps that part as it is.
QString DamagedFramesMessage(const QString& path, int firstDamaged);
