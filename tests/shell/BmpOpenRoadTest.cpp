// Opening a BMP through the document's open road, with a window side built
// the way the main window joins the two views.
#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "common/TestFiles.h"
#include "document/FileOpen.h"
#include "reduce/BmpFiles.h"
#include "reduce/BmpToGif.h"
#include "shell/Subtra.h"
#include "reduce/ConversionRoad.h"
#include "reduce/TestImages.h"

namespace {

class TWindowSide : public TOpenView, public TBmpView {
 public:
  explicit TWindowSide(const TAppPaths& paths) : Paths(paths) {}

  // Shared by both views: one status bar, one message box.
  void SetMsg(int index, const QString& text) override { Msgs.append({index, text}); }
  void ShowMessage(const QString& text) override { Messages.append(text); }

  bool ConvertBMP(const QString& path) override { return ConvertBMPFile(path, Paths, *this, ReduceBits); }
  std::optional<int> AskReduceBits(int colorCount, const QString& format) override {
    return AskReduceBitsDialog(nullptr, colorCount, format, {});
  }

  void SetMenu(int) override {}
  void SetCaption(const QString& caption) override { Caption = caption; }
  void AddRecentFile(const QString& path) override { Recent.append(path); }
  void SizeImageView(int, int) override {}
  void ShowPalette(const TGifDocument&, std::optional<int>) override {}
  void SetTransChecked(bool) override {}
  void SetDefaultSwatch(std::optional<TColor>) override {}
  void ShowPaletteIfSync() override {}
  bool DecodePicture(const QString& path, QString&) override {
    Picture = path;
    return true;
  }
  void ShowDecodedPicture() override {}
  void Preview() override {}

  const TAppPaths& Paths;
  uint8_t ReduceBits = 8;
  QList<QPair<int, QString>> Msgs;
  QStringList Messages, Recent;
  QString Caption, Picture;
};

// The road's scratch program folder and the document it opens into.
class BmpOpen : public TConversionRoadTest {
 protected:
  // Opens path, answering the reduction dialog with OK or Cancel; whether
  // the dialog came.
  bool Open(const QString& path, bool ok) {
    bool shown = false;
    QTimer::singleShot(0, [&] {
      auto* d = qobject_cast<TSubtra*>(QApplication::activeModalWidget());
      shown = d != nullptr;
      if (d) {
        EXPECT_TRUE(d->rdoPicture->isChecked());
        (ok ? d->btnOK : d->btnCancel)->click();
      }
    });
    FileOpen(Doc, Paths, Window, path);
    QApplication::processEvents();
    return shown;
  }

  TGifDocument Doc;
  TWindowSide Window{Paths};
};

}  // namespace

TEST_F(BmpOpen, PhotoBmpAsksShowsProgressAndOpensTempGif) {
  const QString bmp = Put("Photo.Bmp", BmpBytes(PhotoLikeImage(400, 300), 24));
  EXPECT_TRUE(Open(bmp, true));
  EXPECT_TRUE(Window.Messages.isEmpty());
  EXPECT_EQ(Window.Caption, bmp);
  EXPECT_EQ(Window.Picture, TempGif());
  EXPECT_EQ(Doc.OpenedFileName, bmp);
  EXPECT_EQ(Doc.ImageWidth, 400);
  EXPECT_EQ(Doc.ImageHeight, 300);
  // Panel 0: progress while writing, cleared, then the file actually read.
  QStringList panel0;
  for (const auto& [index, text] : Window.Msgs)
    if (index == 0) panel0.append(text);
  ASSERT_GT(panel0.size(), 3);
  EXPECT_EQ(panel0.front(), QStringLiteral("BMP->GIF 0% Complete"));
  EXPECT_EQ(panel0.back(), QStringLiteral("Photo.Bmp"));
  EXPECT_TRUE(panel0.contains(QString()));
}

// A PNG's see-through pixels open as the transparent colour, no dialog asked.
TEST_F(BmpOpen, PngWithSeeThroughPixelsOpensTransparent) {
  QImage image(20, 10, QImage::Format_ARGB32);
  image.fill(qRgba(200, 30, 30, 255));
  for (int x = 0; x < 20; ++x) image.setPixel(x, x % 10, qRgba(0, 0, 0, x * 6));
  const QString png = Put("Logo.PNG", image);
  EXPECT_FALSE(Open(png, true));
  EXPECT_TRUE(Window.Messages.isEmpty());
  EXPECT_EQ(Doc.OpenedFileName, png);
  ASSERT_TRUE(Doc.LoadedTransparent);
  // Red and the transparent entry, which has a colour of its own.
  EXPECT_EQ(Doc.ColorCount, 2);
  ASSERT_LT(Doc.TransparentIndex, 2);
  EXPECT_NE(Doc.PaletteColors[Doc.TransparentIndex], Doc.PaletteColors[1 - Doc.TransparentIndex]);
}

TEST_F(BmpOpen, CancelKeepsTheOpenDocument) {
  const QString bmp = Put("photo.bmp", BmpBytes(PhotoLikeImage(40, 30), 24));
  MarkTempGif();
  Doc.ImageWidth = 17;
  EXPECT_TRUE(Open(bmp, false));
  EXPECT_EQ(Doc.ImageWidth, 17);
  EXPECT_TRUE(Window.Msgs.isEmpty());
  EXPECT_TRUE(Window.Caption.isEmpty());
  EXPECT_EQ(Window.Recent, QStringList{bmp});  // entered before the conversion
  EXPECT_TRUE(TempGifKept());
}
