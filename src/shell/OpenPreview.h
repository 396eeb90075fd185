#pragma once
// The picture preview beside the open dialog's file list: the selected GIF or
// BMP, decoded through the picture-format registry (the plug-in road of the
// main view), shrunk to fit; nothing for other files.
#include <QImage>
#include <QLabel>
#include <QString>

class QFileDialog;

// Files larger than this are not decoded for the preview.
constexpr qint64 kPreviewMaxFileSize = 8 * 1024 * 1024;

// The picture of a GIF or BMP file, scaled down (never up) to fit box; a null
// image for other files, files too large, and files that do not decode.
// size, when given, receives the picture's own size.
QImage PreviewPicture(const QString& path, const QSize& box, QSize* size = nullptr);

class TOpenPreview : public QWidget {
  Q_OBJECT
 public:
  explicit TOpenPreview(QWidget* parent = nullptr);
  // Shows the file's picture; false (and an empty pane) when there is none.
  bool ShowFile(const QString& path);
  QString FileName() const { return FFileName; }
  bool HasPicture() const { return FHasPicture; }
  QLabel* Picture() const { return FPicture; }
  QLabel* Caption() const { return FCaption; }

 private:
  QLabel* FPicture;
  QLabel* FCaption;
  QString FFileName;
  bool FHasPicture = false;
};

// Puts a preview beside the file list of a Qt (non-native) file dialog and
// keeps it showing the current file.
TOpenPreview* AttachOpenPreview(QFileDialog& dialog);
