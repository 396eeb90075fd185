#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "common/GifFactory.h"
#include "common/TestFiles.h"
#include "document/FileOps.h"
#include "preview/DataBind.h"
#include "shell/ErrorReport.h"
#include "shell/ImageView.h"
#include "shell/MainForm.h"
#include "shell/PlanWait.h"
#include "shell/ScriptedDialogs.h"
#include "shell/TestAppDir.h"

namespace {

class MainFormTest : public ::testing::Test {
 protected:
  TScriptedDialogs Ui;
  QTemporaryDir Dir;
  QString AppDir() const { return MakeAppDir(Dir); }

  QString PutGif(const QString& name, int w, int h, std::optional<uint8_t> flags = std::nullopt) {
    TGifPlan s;
    s.Width = w;
    s.Height = h;
    s.GceFlags = flags;
    const QString path = Dir.filePath(name);
    WriteAll(path, MakeGif(s));
    return path;
  }
};

QStringList Enabled(const TMainForm& f) {
  QStringList names;
  for (TAction* a : f.Commands)
    if (a->isEnabled()) names << a->objectName();
  return names;
}

}  // namespace

TEST_F(MainFormTest, FirstStartCreatesTheDataDirectoryWithThePage) {
  TMainForm form(AppDir());
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Tomaru ver1.00"));
  EXPECT_TRUE(form.Paths.WorkDir.startsWith(AppDir() + QStringLiteral("data/tomaru-"))) << form.Paths.WorkDir.toStdString();
  EXPECT_EQ(ReadAll(form.Paths.Work(QStringLiteral("preview.html"))), PreviewTemplate);
  EXPECT_EQ(PreviewTemplate.size(), 489);
  EXPECT_FALSE(Exists(AppDir() + QStringLiteral("data/property.ini")));
  EXPECT_EQ(CheckFileSize(AppDir() + QStringLiteral("data/recent.dat")), 0);
  EXPECT_TRUE(Ui.Errors.isEmpty());
}

TEST_F(MainFormTest, AnExistingDataDirectoryIsLeftAlone) {
  QDir().mkpath(AppDir() + QStringLiteral("data"));
  TMainForm form(AppDir());
  EXPECT_FALSE(Exists(AppDir() + QStringLiteral("data/preview.html")));
}

TEST_F(MainFormTest, DocumentCommandsWaitForAnImage) {
  TMainForm form(AppDir());
  const QStringList atStart{"actOpen", "actRealTime", "actShowPaletteSync", "actClose", "actFullScreen",
                            "actSusie", "actAbout", "actHelp", "actClassic", "actDeleteRecentFile", "actAllFrames", "actSideBySide"};
  EXPECT_EQ(Enabled(form), atStart);
  EXPECT_FALSE(form.chkTrans->isEnabled());

  form.FileOpen(PutGif(QStringLiteral("a.gif"), 10, 10));
  EXPECT_EQ(Enabled(form).size(), 22);
  EXPECT_TRUE(form.chkTrans->isEnabled());
  EXPECT_EQ(form.windowTitle(), Dir.filePath(QStringLiteral("a.gif")));
  EXPECT_EQ(form.Msg(0), QStringLiteral("a.gif"));
  EXPECT_EQ(form.Msg(7), QStringLiteral("×1"));
}

TEST_F(MainFormTest, ANonGifKeepsTheCommandsOffAndSaysSo) {
  TMainForm form(AppDir());
  const QString path = Dir.filePath(QStringLiteral("fake.gif"));
  WriteAll(path, "GIF but not really");
  form.FileOpen(path);
  EXPECT_EQ(Ui.Messages, QStringList{QStringLiteral("ファイル「") + path +
                                     QStringLiteral("」はGIF画像として読み込めませんでした。"
                                                    "(位置 13 (0xd) のブロックが壊れています)")});
  EXPECT_FALSE(form.actSave->isEnabled());
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Tomaru ver1.00"));
}

TEST_F(MainFormTest, ClosingDeletesTheWorkingFolder) {
  auto* form = new TMainForm(AppDir());
  form->FileOpen(PutGif(QStringLiteral("a.gif"), 3, 3));
  const QString work = form->Paths.WorkDir;
  WriteAll(form->Paths.Work(QStringLiteral("temp.gif")), "x");
  ASSERT_TRUE(Exists(work + QStringLiteral("_.gif")));
  form->close();
  EXPECT_FALSE(QDir(work).exists());
  EXPECT_TRUE(Exists(AppDir() + QStringLiteral("data/recent.dat")));  // the settings stay
  delete form;
}

// Two windows never share these files (the desktop tests run two real
// programs); a page that vanished is written again.
TEST_F(MainFormTest, AVanishedPreviewPageIsWrittenAgain) {
  TMainForm a(AppDir());
  a.FileOpen(PutGif(QStringLiteral("one.gif"), 3, 3));
  Ui.ColorAnswers = {QColor(Qt::red)};
  a.actPreviewColor->trigger();
  QFile::remove(a.Paths.Work(QStringLiteral("preview.html")));
  QFile::remove(a.Paths.Work(QStringLiteral("bg.css")));
  a.Preview();
  EXPECT_EQ(ReadAll(a.Paths.Work(QStringLiteral("preview.html"))), PreviewTemplate);
  EXPECT_TRUE(ReadAll(a.Paths.Work(QStringLiteral("bg.css"))).contains("#FF0000"));
}

TEST_F(MainFormTest, TheLeftPaneIsHalfTheClientWidth) {
  TMainForm form(AppDir());
  form.show();
  for (int w : {form.minimumWidth() + 1, form.minimumWidth() + 76, form.minimumWidth() + 277}) {
    form.resize(w, 500);
    QCoreApplication::processEvents();
    EXPECT_EQ(form.width(), w);
    EXPECT_EQ(form.scbLeft->width(), w / 2) << w;
  }
}

TEST_F(MainFormTest, FullScreenTogglesBetweenMaximisedAndNormal) {
  TMainForm form(AppDir());
  form.show();
  form.actFullScreen->trigger();
  EXPECT_TRUE(form.isMaximized());
  form.actFullScreen->trigger();
  EXPECT_FALSE(form.isMaximized());
}

TEST_F(MainFormTest, OptionsFlipTheirMarkOnly) {
  TMainForm form(AppDir());
  EXPECT_TRUE(form.actRealTime->isChecked());
  form.actRealTime->trigger();
  EXPECT_FALSE(form.actRealTime->isChecked());
  form.actShowPaletteSync->trigger();
  EXPECT_TRUE(form.actShowPaletteSync->isChecked());
  form.actClassic->trigger();
  EXPECT_TRUE(form.actClassic->isChecked());
  EXPECT_NE(form.tbdTop->palette().color(QPalette::Window), QColor(Qt::white));
  form.actClassic->trigger();
  EXPECT_EQ(form.tbdTop->palette().color(QPalette::Window), QColor(Qt::white));
}

TEST_F(MainFormTest, ZoomReplicatesPixelsAndCarriesOverToTheNextImage) {
  TMainForm form(AppDir());
  form.show();
  QTest::keyClick(&form, Qt::Key_8);  // nothing before an image is open
  EXPECT_EQ(form.ZoomFactor, 1);

  form.FileOpen(PutGif(QStringLiteral("wide.gif"), 100, 50));
  form.actRatio8->trigger();
  EXPECT_EQ(form.img->size(), QSize(800, 400));
  EXPECT_EQ(form.Msg(7), QStringLiteral("×8"));
  for (TAction* a : {form.actRatio1, form.actRatio2, form.actRatio3, form.actRatio4, form.actRatio6})
    EXPECT_FALSE(a->isChecked());
  EXPECT_TRUE(form.actRatio8->isChecked());

  form.actRatio3->trigger();
  form.FileOpen(PutGif(QStringLiteral("small.gif"), 40, 30));
  EXPECT_EQ(form.img->size(), QSize(120, 90));

  form.activateWindow();
  QTest::qWaitForWindowActive(&form);
  for (Qt::Key k : {Qt::Key_5, Qt::Key_7, Qt::Key_9}) QTest::keyClick(&form, k);
  EXPECT_EQ(form.ZoomFactor, 3);
  QTest::keyClick(&form, Qt::Key_1);
  EXPECT_EQ(form.ZoomFactor, 1);
  EXPECT_EQ(form.Msg(7), QStringLiteral("×1"));
  EXPECT_TRUE(form.actRatio1->isChecked());
}

TEST(ErrorReport, AppendsAFullStopAfterCharactersSortingAfterIt) {
  EXPECT_EQ(ErrorReportText(QStringLiteral("I/O エラー (28)")), QStringLiteral("I/O エラー (28)"));
  EXPECT_EQ(ErrorReportText(QStringLiteral("abc")), QStringLiteral("abc."));
  EXPECT_EQ(ErrorReportText(QStringLiteral("done.")), QStringLiteral("done."));
  EXPECT_EQ(ErrorReportText(QStringLiteral("作れません。")), QStringLiteral("作れません。."));
  EXPECT_EQ(ErrorReportText(QString()), QString());
}

TEST_F(MainFormTest, AnErrorInAHandlerIsReportedAndTheWindowGoesOn) {
  TMainForm form(AppDir());
  form.FileOpen(PutGif(QStringLiteral("a.gif"), 3, 3));
  // The working folder turns into a file: writing the preview copy must fail.
  const QString work = form.Paths.WorkDir.chopped(1);
  QDir(work).removeRecursively();
  WriteAll(work, "in the way");
  form.actPreview->trigger();
  WaitForPlan(form);
  ASSERT_EQ(Ui.Errors.size(), 1);
  EXPECT_TRUE(Ui.Errors[0].startsWith(QStringLiteral("フォルダ「") + work + QStringLiteral("」を作成できませんでした。")))
      << Ui.Errors[0].toStdString();
  EXPECT_TRUE(form.actPreview->isEnabled());
}

TEST_F(MainFormTest, OpenedGifsAreDecodedByTheShippedPlugin) {
  TMainForm form(AppDir());
  TGifPlan s;
  s.Width = 3;
  s.Height = 2;
  s.Colors = {{255, 255, 255}, {0, 128, 255}};
  s.Pixels = {0, 1, 0, 1, 1, 0};
  const QString path = Dir.filePath(QStringLiteral("shown.gif"));
  WriteAll(path, MakeGif(s));
  form.FileOpen(path);
  const QImage shown = form.img->Picture();
  ASSERT_EQ(shown.size(), QSize(3, 2));
  EXPECT_EQ(form.img->size(), QSize(3, 2));
  EXPECT_EQ(shown.pixelColor(1, 0), QColor(0, 128, 255));
  EXPECT_EQ(shown.pixelColor(2, 1), QColor(255, 255, 255));

  form.actSusie->trigger();
  ASSERT_EQ(Ui.Messages.size(), 1);
  EXPECT_TRUE(Ui.Messages[0].startsWith(QStringLiteral("Tomaru GIF decoder"))) << Ui.Messages[0].toStdString();
}

TEST_F(MainFormTest, TheOpenDialogStartsAtTheOpenPictureElseTheLastChoice) {
  TMainForm form(AppDir());
  const QString last = Dir.filePath(QStringLiteral("earlier/old.gif"));
  form.opd->FileName = last;
  form.actOpen->trigger();
  EXPECT_EQ(Ui.OpenRequests.value(0).FileName, last);
  // A picture opened another way (command line, drop, recent files) wins.
  const QString opened = PutGif(QStringLiteral("now.gif"), 4, 4);
  form.FileOpen(opened);
  form.actOpen->trigger();
  EXPECT_EQ(Ui.OpenRequests.value(1).FileName, opened);
}
