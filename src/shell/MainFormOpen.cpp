// The window's side of opening: the open road's view, recent files, drops.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QCheckBox>
#include <QTimer>

#include "document/Exception.h"

#include <QCoreApplication>
#include "plugins/PictureFormats.h"
#include "shell/OffThread.h"
#include "shell/Subtra.h"
#include "shell/Dialogs.h"
#include "persist/DropFiles.h"
#include "shell/ErrorReport.h"
#include "shell/ImageView.h"
#include "shell/MainForm.h"
#include "shell/Palette.h"
#include "document/PaletteGrid.h"
#include "persist/RecentFiles.h"
#include "shell/Shape.h"

void TMainForm::FileOpen(const QString& fileName) { ::FileOpen(Doc, Paths, *this, fileName); }

void TMainForm::SetPalette() {
  DrawPaletteGrid(Palette->imgPal->Picture, Doc.ColorCount, Doc.PaletteColors);
  Palette->imgPal->update();
}

void TMainForm::AddRecentFile(const QString& path) {
  // Emptied first, so after a failing file the menu holds only its fixed items.
  mnusubRecentFile->ClearEntries();
  mnusubRecentFile->SetEntries(::AddRecentFile(GetRFName(Paths), path));
}

void TMainForm::RFClick(const QString& path) { FileOpen(path); }

void TMainForm::actDeleteRecentFileExecute() {
  if (DeleteRecentFiles(GetRFName(Paths), [this](const QString& q) { return Dialogs().Confirm(this, q); }))
    mnusubRecentFile->ClearEntries();
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
  struct TFlag {
    bool& Flag;
    ~TFlag() { Flag = false; }
  } converting{Converting = true};
  RunOffThread([&] { done = ConvertBMPFile(path, Paths, view, bits); });
  Subtra->ReduceBits = bits;
  if (CloseAsked) {
    CloseAsked = false;
    QTimer::singleShot(0, this, &QWidget::close);
    return false;  // nothing more opens in a window about to close
  }
  return done;
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

void TMainForm::SetDefaultSwatch(std::optional<TColor> color) {
  if (color)
    shpDefault->SetColor(QColor(RedOf(*color), GreenOf(*color), BlueOf(*color)));
  else
    shpDefault->SetColor(std::nullopt);
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
