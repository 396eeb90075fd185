// The window's side of opening: the open road's view, recent files, drops.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QCheckBox>
#include <QTimer>

#include "document/Exception.h"
#include "document/FileOps.h"

#include <QCoreApplication>
#include "plugins/PictureFormats.h"
#include "shell/OffThread.h"
#include "shell/Subtra.h"
#include "shell/Dialogs.h"
#include "persist/DropFiles.h"
#include "shell/ErrorReport.h"
#include "shell/ImageView.h"
#include "shell/MainForm.h"
#include "shell/AlphaJob.h"
#include "shell/Palette.h"
#include "document/PaletteGrid.h"
#include "persist/RecentFiles.h"
#include "shell/Shape.h"
#include "shell/StartHint.h"

void TMainForm::FileOpen(const QString& fileName) {
  const char* before = Doc.GifData.constData();
  // The WebP or PNG copy of the file before is never shown for this one: it
  // goes, and the new file's is made once it is open.
  const bool alpha = Format() != TSaveFormat::Gif;
  if (alpha) {
    AlphaCopies->Cancel();
    QFile::remove(Paths.Work(PreviewCopyName()));
  }
  ::FileOpen(Doc, Paths, *this, fileName);
  if (alpha && Doc.ColorCount > 0) PlanPreview(Doc, Paths);
  if (Doc.GifData.constData() == before) return;  // not opened: the document and its plans stay
  // A plan of the file before is of no use now.
  Plans->Cancel();
  OpenedSize = CheckFileSize(IsConvertedOnOpen(fileName) ? Paths.Work(QStringLiteral("temp.gif")) : fileName);
}

void TMainForm::SetPalette() {
  DrawPaletteGrid(Palette->imgPal->Picture, Doc.ColorCount, Doc.PaletteColors);
  Palette->imgPal->update();
}

void TMainForm::AddRecentFile(const QString& path) {
  // Emptied first, so after a failing file the menu holds only its fixed items.
  mnusubRecentFile->ClearEntries();
  const QList<TRecentEntry> entries = ::AddRecentFile(GetRFName(Paths), path);
  mnusubRecentFile->SetEntries(entries);
  StartHint->SetRecent(entries);
}

void TMainForm::RFClick(const QString& path) { FileOpen(path); }

void TMainForm::actDeleteRecentFileExecute() {
  if (DeleteRecentFiles(GetRFName(Paths), [this](const QString& q) { return Dialogs().Confirm(this, q); })) {
    mnusubRecentFile->ClearEntries();
    StartHint->SetRecent({});
  }
}

void TMainForm::dragEnterEvent(QDragEnterEvent* e) {
  if (!Dropping && e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* e) {
  QStringList paths;
  for (const QUrl& url : e->mimeData()->urls())
    if (url.isLocalFile()) paths << url.toLocalFile();
  e->acceptProposedAction();
  // Opened once the drop has ended, so the file manager is not held while
  // the open road shows its dialogs.
  Dropping = true;
  QTimer::singleShot(0, this, [this, paths] {
    Guarded([this, &paths] { WMDropFiles(paths); });
    Dropping = false;
  });
}

void TMainForm::WMDropFiles(const QStringList& paths) {
  DropFiles(
      paths, [this](const QString& path) { FileOpen(path); }, [this](const QString& text) { ShowMessage(text); });
}

void TMainForm::SetCaption(const QString& caption) { setWindowTitle(caption); }

void TMainForm::ShowMessage(const QString& text) { Dialogs().ShowMessage(this, text); }

// Decoding, reducing and writing a large picture take seconds: they run off
// the window's thread, so that the window paints and shows the progress.
bool TMainForm::ConvertBMP(const QString& path) {
  TGuiThreadBmpView view(*this, this);
  uint8_t bits = uint8_t(Subtra->ReduceBits);
  bool done = false;
  const bool staying = RunBusy([&] { RunOffThread([&] { done = ConvertBMPFile(path, Paths, view, bits); }); });
  Subtra->ReduceBits = bits;
  return done && staying;  // nothing more opens in a window about to close
}

std::optional<int> TMainForm::AskReduceBits(int colorCount, const QString& format) {
  TReduceChoice choice{Subtra->ReduceBits, Subtra->Dither};
  const std::optional<int> bits = AskReduceBitsDialog(
      this, colorCount, format, [this](QWidget* owner, const QString& topic) { OpenHelp2(owner, topic); }, &choice);
  Subtra->ReduceBits = choice.Bits;
  Subtra->Dither = choice.Dither;
  return bits;
}

bool TMainForm::Dither() const { return Subtra->Dither; }

void TMainForm::SizeImageView(int width, int height) {
  if (ZoomFactor == 1) return;
  img->resize(ZoomFactor * width, ZoomFactor * height);
  img->parentWidget()->resize(img->width() + 4, img->height() + 4);
}

void TMainForm::ShowPalette(const TGifDocument&, std::optional<int> selectIndex) {
  SetPalette();
  Palette->imgPalMouseUp(Qt::LeftButton, 2, 2);
  if (selectIndex) Palette->SetPoint(uint8_t(*selectIndex));
}

void TMainForm::SetTransChecked(bool checked) { chkTrans->setChecked(checked); }

// The colour a save makes transparent starts as the file's own, or none: the
// choice of the file before means nothing here.
void TMainForm::SetDefaultSwatch(std::optional<TColor> color) {
  const std::optional<QColor> shown =
      color ? std::optional<QColor>(QColor(RedOf(*color), GreenOf(*color), BlueOf(*color))) : std::nullopt;
  shpDefault->SetColor(shown);
  shp->SetColor(shown);
}

void TMainForm::ShowPaletteIfSync() {
  if (actShowPaletteSync->isChecked()) actShowPaletteExecute();
}

bool TMainForm::DecodePicture(const QString& path, QString& whyNot) {
  try {
    TPicture picture;
    picture.LoadFromFile(path);
    DecodedPicture = picture.Image();
    return true;
  } catch (const Exception& e) {
    whyNot = e.message();
  } catch (const std::bad_alloc&) {
    whyNot = QCoreApplication::translate("MainFormOpen", "メモリが足りません");
  }
  return false;
}

void TMainForm::ShowDecodedPicture() {
  img->SetPicture(DecodedPicture);
  DecodedPicture = QImage();
  img->parentWidget()->resize(img->width() + 4, img->height() + 4);
}
