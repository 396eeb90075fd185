#include "document/FileOpen.h"

#include "document/Choice.h"
#include "document/FileOps.h"

QString PictureNotShownMessage(const QString& path, const QString& reason) {
  return QStringLiteral("ファイル「") + path + QStringLiteral("」の画像を表示できませんでした。") +
         (reason.isEmpty() ? QString() : QStringLiteral("(") + reason + QStringLiteral(")"));
}

QString NotReadableAsGifMessage(const QString& path, const QString& reason) {
  return QStringLiteral("ファイル「") + path + QStringLiteral("」はGIF画像として読み込めませんでした。") +
         (reason.isEmpty() ? QString() : QStringLiteral("(") + reason + QStringLiteral(")"));
}

QString FileMissingMessage(const QString& path) {
  return QStringLiteral("ファイル「") + path + QStringLiteral("」が存在しませんでした。");
}

bool IsConvertedOnOpen(const QString& fileName) {
  const QString ext = ExtractFileExt(fileName).toLower();
  return ext == QLatin1String(".bmp") || ext == QLatin1String(".png") || ext == QLatin1String(".jpg") ||
         ext == QLatin1String(".jpeg");
}

void FileOpen(TGifDocument& doc, const TAppPaths& paths, TOpenView& view, const QString& requested) {
  if (!FileExists(requested)) {
    view.ShowMessage(FileMissingMessage(requested));
    return;
  }
  view.AddRecentFile(requested);

  QString fileName = requested;
  if (IsConvertedOnOpen(fileName)) {
    if (!view.ConvertBMP(fileName)) return;
    fileName = paths.Data(QStringLiteral("temp.gif"));
  }

  // Read and check everything before touching the document, so that a file
  // that is not a GIF leaves the open one, and the window, as they were.
  const QByteArray asRead = LoadStringFromFile(fileName);
  TGifRefusal why;
  const auto header = ParseGifHeader(asRead, &why);
  if (!header) {
    view.ShowMessage(NotReadableAsGifMessage(fileName, RefusalReason(why)));
    return;
  }

  // Opening is all or nothing: a picture that cannot be shown leaves the
  // open document, the window and the preview copy as they were.
  QString whyNot;
  if (!view.DecodePicture(fileName, whyNot)) {
    view.ShowMessage(PictureNotShownMessage(fileName, whyNot));
    return;
  }

  view.SetMenu(MenuLevelDocument);
  doc.Assign(*header);
  // Saving proposes a name from this, so it names the file now open.
  doc.OpenedFileName = requested;
  view.SetMsg(PanelFileSize, QString::number(CheckFileSize(fileName)) + QStringLiteral(" byte"));
  view.SetCaption(fileName);
  view.SetMsg(PanelFileName, ExtractFileName(fileName));
  view.SetMsg(PanelWidth, QStringLiteral("Width : ") + QString::number(doc.ImageWidth));
  view.SetMsg(PanelHeight, QStringLiteral("height : ") + QString::number(doc.ImageHeight));
  view.SizeImageView(doc.ImageWidth, doc.ImageHeight);
  view.SetMsg(PanelColorCount, QString::number(doc.ColorCount) + QStringLiteral(" 色"));
  view.SetMsg(PanelFrames, FramesCountText(CountFrames(doc.GifData)));
  view.ShowPalette(doc, doc.LoadedTransparent ? std::optional<int>(doc.TransparentIndex) : std::nullopt);
  view.SetTransChecked(doc.LoadedTransparent);
  if (doc.LoadedTransparent) {
    view.SetMsg(PanelTransparency, QStringLiteral("透過済み"));
    view.SetDefaultSwatch(doc.PaletteColors[doc.TransparentIndex]);
    view.SetMsg(PanelIndex, QString::number(doc.TransparentIndex));
  } else {
    view.SetMsg(PanelTransparency, QStringLiteral("透過なし"));
    view.SetDefaultSwatch(std::nullopt);
    view.SetMsg(PanelIndex, QString());
  }
  view.ShowPaletteIfSync();
  view.ShowDecodedPicture();
  // The preview starts from the file exactly as it is on disk.
  SaveStringToFile(paths.Data(QStringLiteral("_.gif")), asRead);
  view.Preview();
}
