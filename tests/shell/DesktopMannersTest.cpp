// The window's manners without a window manager: closing the main window
// closes every window of the program (a modal one too) and saves once; the
// palette waits for its owner; a long panel text is shortened, never cut; the
// open dialog's preview picture; Qt's Japanese. Stacking, hovering, the real
// dialogs and quitting the program: tests/e2e/DesktopEndToEndTest.cpp.
#include <QApplication>
#include <QImage>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QTranslator>
#include <gtest/gtest.h>

#include "common/GifFactory.h"
#include "common/TestFiles.h"
#include "shell/HelpViewer.h"
#include "shell/MainForm.h"
#include "shell/OpenPreview.h"
#include "shell/Palette.h"
#include "shell/QtTranslation.h"
#include "shell/ScriptedDialogs.h"
#include "shell/StatusPanel.h"
#include "shell/TestAppDir.h"

namespace {

class DesktopMannersTest : public ::testing::Test {
 protected:
  TScriptedDialogs Ui;
  QTemporaryDir Dir;
  std::unique_ptr<TMainForm> Form;

  void SetUp() override { Form = std::make_unique<TMainForm>(MakeAppDir(Dir)); }
  void TearDown() override {
    // Nothing of one test stays on screen for the next.
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->isVisible()) w->close();
  }

  QString PutGif(const QString& name, int w, int h, int colors = 16) {
    TGifPlan s;
    s.Width = w;
    s.Height = h;
    s.Colors.clear();
    for (int i = 0; i < colors; ++i) s.Colors.push_back({uint8_t(i * 16), uint8_t(255 - i * 16), 90});
    for (int i = 0; i < w * h; ++i) s.Pixels.push_back(uint8_t(i % colors));
    const QString path = Dir.filePath(name);
    WriteAll(path, MakeGif(s));
    return path;
  }
  QString PropertyFile() const { return Dir.filePath(QStringLiteral("data/property.ini")); }
};

}  // namespace

// ---- quitting ----

TEST_F(DesktopMannersTest, ClosingTheMainWindowClosesThePaletteTheHelpAndAModalDialog) {
  // No image: a page loading in the preview pane would outlive the test's
  // event loops (and the web engine's teardown upsets AddressSanitizer).
  Form->show();
  Form->actShowPaletteExecute();
  ASSERT_TRUE(Form->Palette->isVisible());
  Form->actHelp->trigger();  // no help.chm: the window says so, and is open
  ASSERT_TRUE(CurrentHelpViewer() && CurrentHelpViewer()->isVisible());

  // A modal dialog of the palette is open when the main window is closed.
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("t"), QStringLiteral("palette's question"), QMessageBox::Ok,
                  Form->Palette);
  bool closedFromInside = false;
  QTimer::singleShot(50, Form.get(), [&] { closedFromInside = Form->close(); });
  QTimer safety;
  safety.setSingleShot(true);
  QObject::connect(&safety, &QTimer::timeout, &box, [&] { box.done(QMessageBox::Ok); });
  safety.start(5000);
  box.exec();  // returns only when the box was closed
  EXPECT_TRUE(safety.isActive()) << "the modal dialog stayed open";
  EXPECT_TRUE(closedFromInside);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  EXPECT_FALSE(Form->isVisible());
  EXPECT_FALSE(Form->Palette->isVisible());
  EXPECT_FALSE(box.isVisible());
  EXPECT_TRUE(!CurrentHelpViewer() || !CurrentHelpViewer()->isVisible());
  // No window of the program is left to keep it running.
  for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
}

TEST_F(DesktopMannersTest, SettingsAreSavedOnceHoweverOftenTheCloseIsAskedFor) {
  Form->show();
  Form->close();
  ASSERT_TRUE(Exists(PropertyFile()));
  QFile::remove(PropertyFile());
  Form->close();
  EXPECT_FALSE(Exists(PropertyFile()));
  // Shown again, the next close saves again.
  Form->show();
  Form->close();
  EXPECT_TRUE(Exists(PropertyFile()));
}

// ---- the palette, a tool window of the main window ----

TEST_F(DesktopMannersTest, APaletteAskedForBeforeTheMainWindowShowsWaitsForIt) {
  // As at start-up with a file named on the command line and the option on
  // (the whole road with the program itself: tests/e2e/DesktopEndToEndTest.cpp).
  Form->actShowPaletteExecute();
  EXPECT_FALSE(Form->Palette->isVisible());
  Form->show();
  for (int i = 0; i < 100 && !Form->Palette->isVisible(); ++i) QTest::qWait(20);
  ASSERT_TRUE(Form->Palette->isVisible());
  EXPECT_EQ(Form->Palette->windowHandle()->transientParent(), Form->windowHandle());

  // Closed while it waited, it stays closed.
  Form->close();
  Form->actShowPaletteExecute();
  Form->Palette->btnCloseClick();
  Form->show();
  QTest::qWait(50);
  EXPECT_FALSE(Form->Palette->isVisible());
}

// ---- the status bar ----

TEST_F(DesktopMannersTest, AFileNameWiderThanItsPanelEndsInAnEllipsisAndShowsWholeAsTooltip) {
  Form->show();
  const QString name = QStringLiteral("a-very-long-file-name-that-is-wider-than-the-first-panel-of-the-status-bar.gif");
  Form->FileOpen(PutGif(name, 4, 4));
  TStatusPanel* panel = Form->Panels[0];
  EXPECT_EQ(Form->Msg(0), name);  // the text itself is whole
  EXPECT_TRUE(panel->IsElided());
  EXPECT_TRUE(panel->ShownText().contains(QStringLiteral("…")));
  EXPECT_LE(panel->fontMetrics().horizontalAdvance(panel->ShownText()), panel->contentsRect().width());
  EXPECT_TRUE(panel->ShownText().startsWith(QStringLiteral("a-very")));
  EXPECT_TRUE(panel->ShownText().endsWith(QStringLiteral(".gif")));
  // Its tooltip is the whole name.
  QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), panel->mapToGlobal(QPoint(5, 5)));
  QCoreApplication::sendEvent(panel, &help);
  EXPECT_EQ(QToolTip::text(), name);
  QToolTip::hideText();

  Form->FileOpen(PutGif(QStringLiteral("short.gif"), 4, 4));
  EXPECT_FALSE(panel->IsElided());
  EXPECT_EQ(panel->ShownText(), QStringLiteral("short.gif"));
}

// ---- Qt's Japanese, 5. the preview ----

TEST_F(DesktopMannersTest, ThePreviewPictureIsSmallAndOnlyForWhatOpens) {
  const QString gif = PutGif(QStringLiteral("tall.gif"), 50, 500);
  QSize size;
  const QImage tall = PreviewPicture(gif, QSize(160, 160), &size);
  EXPECT_EQ(size, QSize(50, 500));
  EXPECT_EQ(tall.size(), QSize(16, 160));
  EXPECT_EQ(PreviewPicture(PutGif(QStringLiteral("tiny.gif"), 3, 2), QSize(160, 160)).size(), QSize(3, 2));  // never enlarged

  QImage png(10, 10, QImage::Format_RGB32);
  png.fill(Qt::red);
  ASSERT_TRUE(png.save(Dir.filePath(QStringLiteral("x.png")), "PNG"));
  EXPECT_EQ(PreviewPicture(Dir.filePath(QStringLiteral("x.png")), QSize(160, 160)).size(), QSize(10, 10));
  // A kind Tomaru does not open shows nothing, even when Qt could decode it.
  WriteAll(Dir.filePath(QStringLiteral("x.tif")), ReadAll(Dir.filePath(QStringLiteral("x.png"))));
  EXPECT_TRUE(PreviewPicture(Dir.filePath(QStringLiteral("x.tif")), QSize(160, 160)).isNull());
  WriteAll(Dir.filePath(QStringLiteral("cut.jpg")), "\xFF\xD8\xFF");
  EXPECT_TRUE(PreviewPicture(Dir.filePath(QStringLiteral("cut.jpg")), QSize(160, 160)).isNull());
  EXPECT_TRUE(PreviewPicture(Dir.filePath(QStringLiteral("missing.gif")), QSize(160, 160)).isNull());
  EXPECT_TRUE(PreviewPicture(Dir.path(), QSize(160, 160)).isNull());
  // Too large a file is not decoded at all.
  const QString big = Dir.filePath(QStringLiteral("big.gif"));
  QByteArray bytes = ReadAll(gif);
  bytes.append(QByteArray(kPreviewMaxFileSize, '\0'));
  WriteAll(big, bytes);
  EXPECT_TRUE(PreviewPicture(big, QSize(160, 160)).isNull());
}

TEST(QtTranslation, InstallingTwiceAddsNothing) {
  ASSERT_TRUE(InstallQtTranslation(*qApp));
  ASSERT_TRUE(InstallQtTranslation(*qApp));
  EXPECT_EQ(qApp->findChildren<QTranslator*>(QStringLiteral("tomaruQtTranslator")).size(), 1);
  EXPECT_EQ(QCoreApplication::translate("QFileDialog", "&Open"), QStringLiteral("開く(&O)"));
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("キャンセル"));
}
