#include "document/FileOpen.h"

#include <QCoreApplication>

#include "document/FramesPanel.h"
#include "document/FileOps.h"

QString PictureNotShownMessage(const QString& path, const QString& reason) {
  return QCoreApplication::translate("FileOpen", "ファイル「%1」の画像を表示できませんでした。").arg(path) +
         (reason.isEmpty() ? QString() : QCoreApplication::translate("FileOpen", "(%1)").arg(reason));
}

QString NotReadableAsGifMessage(const QString& path, const QString& reason) {
  return QCoreApplication::translate("FileOpen", "ファイル「%1」はGIF画像として読み込めませんでした。").arg(path) +
         (reason.isEmpty() ? QString() : QCoreApplication::translate("FileOpen", "(%1)").arg(reason));
}

QString DamagedFramesMessage(const QString& path, int firstDamaged) {
  return QCoreApplication::translate("FileOpen", "ファイル「%1」は %2 フレーム目以降が壊れています。保存しても、%2 フレーム目以降は元のまま残ります。")
      .arg(path)
      .arg(firstDamaged);
}

QString FileMissingMessage(const QString& path) {
  return QCoreApplication::translate("FileOpen", "ファイル「%1」が存在しませんでした。").arg(path);
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
    fileName = paths.Work(QStringLiteral("temp.gif"));
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
  view.SetMsg(PanelFileSize, FileSizeText(CheckFileSize(fileName)));
  // The file the user opened, also when what was read is a BMP's temp.gif.
  view.SetCaption(requested);
  view.SetMsg(PanelFileName, ExtractFileName(requested));
  view.SetMsg(PanelWidth, QStringLiteral("Width : ") + QString::number(doc.ImageWidth));
  view.SetMsg(PanelHeight, QStringLiteral("height : ") + QString::number(doc.ImageHeight));
  view.SizeImageView(doc.ImageWidth, doc.ImageHeight);
  view.SetMsg(PanelColorCount, QCoreApplication::translate("FileOpen", "%1 色").arg(doc.ColorCount));
  const TFramePatchResult frames = CountFrames(doc.GifData);
  view.SetMsg(PanelFrames, FramesCountText(frames));
  view.ShowPalette(doc, doc.LoadedTransparent ? std::optional<int>(doc.TransparentIndex) : std::nullopt);
  view.SetTransChecked(doc.LoadedTransparent);
  if (doc.LoadedTransparent) {
    view.SetMsg(PanelTransparency, QCoreApplication::translate("FileOpen", "透過済み"));
    view.SetDefaultSwatch(doc.PaletteColors[doc.TransparentIndex]);
    view.SetMsg(PanelIndex, QString::number(doc.TransparentIndex));
  } else {
    view.SetMsg(PanelTransparency, QCoreApplication::translate("FileOpen", "透過なし"));
    view.SetDefaultSwatch(std::nullopt);
    view.SetMsg(PanelIndex, QString());
  }
  view.ShowPaletteIfSync();
  view.ShowDecodedPicture();
  // The preview starts from the file exactly as it is on disk.
  SaveStringToFile(paths.Work(QStringLiteral("_.gif")), asRead);
  view.Preview();
  if (frames.Damaged) view.ShowMessage(DamagedFramesMessage(requested, frames.Frames + 1));
}
