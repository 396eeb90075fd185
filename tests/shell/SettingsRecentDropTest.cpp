#include <QComboBox>
#include <QCheckBox>
#include <QMenu>
#include <QSpinBox>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

#include "common/GifFactory.h"
#include "common/TestFiles.h"
#include "document/FileOps.h"
#include "shell/MainForm.h"
#include "shell/QtTranslation.h"
#include "shell/ScriptedDialogs.h"
#include "shell/TestAppDir.h"

namespace {

class WindowFiles : public ::testing::Test {
 protected:
  TScriptedDialogs Ui;
  QTemporaryDir Dir;
  QString AppDir() const { return MakeAppDir(Dir); }
  QString Data(const char* name) const { return AppDir() + QStringLiteral("data/") + QLatin1String(name); }
  QString PutGif(const QString& name) {
    const QString path = Dir.filePath(name);
    WriteAll(path, MakeGif(TGifPlan{}));
    return path;
  }
  // The entries after the delete command and the separator.
  static QStringList RecentCaptions(const TMainForm& f) {
    QStringList out;
    const QList<QAction*> items = f.mnusubRecentFile->actions();
    for (qsizetype i = 2; i < items.size(); ++i) out << items[i]->text();
    return out;
  }
};

}  // namespace

TEST_F(WindowFiles, SettingsSurviveARestart) {
  {
    TMainForm form(AppDir());
    form.show();
    form.actRealTime->setChecked(false);
    form.actShowPaletteSync->setChecked(true);
    form.actClassic->trigger();
    EXPECT_TRUE(form.actAllFrames->isChecked());  // on at first start
    form.actAllFrames->trigger();
    form.SetClientWidth(900);
    form.SetClientHeight(480);
    form.SetLeft(50);
    form.SetTop(60);
    Ui.ColorAnswers = {QColor(1, 2, 3)};
    form.actPreviewColorExecute();
    form.opd->FileName = QStringLiteral("/pics/in.gif");
    form.spd->FileName = QStringLiteral("/pics/out.gif");
    EXPECT_EQ(form.Subtra->ReduceBits, ReducePicturePalette);  // the picture's palette at first start
    EXPECT_TRUE(form.Subtra->Dither);
    form.Subtra->ReduceBits = 4;
    form.Subtra->Dither = false;
    form.spnTolerance->setValue(40);
    form.chkConnected->setChecked(true);
    form.chkMatte->setChecked(true);
    form.cboFormat->setCurrentIndex(int(TSaveFormat::WebP));
    form.actSideBySide->trigger();
    form.close();
  }
  const QByteArray kept = ReadAll(Data("property.ini"));
  EXPECT_TRUE(kept.contains("[Subtra]\r\nReduceBits=4\r\nDither=0\r\n"));
  EXPECT_TRUE(kept.startsWith("[actRealTime]\r\nChecked=0\r\n\r\n"));
  EXPECT_TRUE(kept.contains("[spnTolerance]\r\nValue=40\r\n\r\n[chkConnected]\r\nChecked=1\r\n\r\n[chkMatte]\r\nChecked=1\r\n"))
      << kept.toStdString();
  TMainForm form(AppDir());
  EXPECT_FALSE(form.actRealTime->isChecked());
  EXPECT_TRUE(form.actShowPaletteSync->isChecked());
  EXPECT_TRUE(form.actClassic->isChecked());
  EXPECT_FALSE(form.actAllFrames->isChecked());
  EXPECT_EQ(form.ClientWidth(), 900);
  EXPECT_EQ(form.ClientHeight(), 480);
  EXPECT_EQ(form.Left(), 50);
  EXPECT_EQ(form.Top(), 60);
  EXPECT_EQ(form.WindowStateOrdinal(), 0);
  EXPECT_EQ(form.actPreviewColor->Hint(), QStringLiteral("$00030201"));
  EXPECT_EQ(form.LastPreviewColor, QColor(1, 2, 3));  // where the colour dialog starts
  EXPECT_EQ(ReadAll(form.Paths.Work(QStringLiteral("bg.css"))), QByteArray("body { background-color: #010203; }"));
  EXPECT_EQ(form.opd->FileName, QStringLiteral("/pics/in.gif"));
  EXPECT_EQ(form.spd->FileName, QStringLiteral("/pics/out.gif"));
  EXPECT_EQ(form.Subtra->ReduceBits, 4);
  EXPECT_FALSE(form.Subtra->Dither);
  EXPECT_EQ(form.Doc.Reach, (TReach{40, true, RGBColor(1, 2, 3), true}));  // matted to the page colour kept
  EXPECT_EQ(form.Format(), TSaveFormat::WebP);
  EXPECT_TRUE(form.actSideBySide->isChecked());
  EXPECT_TRUE(Ui.Errors.isEmpty());
}

// Tolerance, region and matte come back with the page colour the matte is
// on; a value out of range, or no number, gives the setting's default.
TEST_F(WindowFiles, BackgroundSettingsComeBackOnlyInRange) {
  const std::optional<TColor> white = RGBColor(255, 255, 255);
  const struct {
    QByteArray Tolerance, Connected, Matte, Format;
    TReach Read;
    TSaveFormat ReadFormat;
  } cases[] = {{"100", "0", "1", "2", {100, false, white, true}, TSaveFormat::Png},
               {"$A", "0x1", "0", "1", {10, true, {}}, TSaveFormat::WebP},
               {"101", "2", "-1", "3", {}, TSaveFormat::Gif},
               {"-1", "yes", "", "-1", {}, TSaveFormat::Gif},
               {"5%", " ", "1e0", "webp", {}, TSaveFormat::Gif}};
  QDir().mkpath(Data(""));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Tolerance.toStdString());
    WriteAll(Data("property.ini"), "[spnTolerance]\r\nValue=" + c.Tolerance + "\r\n[chkConnected]\r\nChecked=" +
                                       c.Connected + "\r\n[chkMatte]\r\nChecked=" + c.Matte + "\r\n[cboFormat]\r\nCurrentIndex=" +
                                       c.Format + "\r\n");
    TMainForm form(AppDir());
    EXPECT_EQ(form.Doc.Reach, c.Read);
    EXPECT_EQ(form.spnTolerance->value(), c.Read.Tolerance);
    EXPECT_EQ(form.chkConnected->isChecked(), c.Read.Connected);
    EXPECT_EQ(form.chkMatte->isChecked(), c.Read.Matte.has_value());
    EXPECT_EQ(form.Format(), c.ReadFormat);
  }
  EXPECT_TRUE(Ui.Errors.isEmpty());
}

// The page colour comes back from the hint kept with the settings; a hint
// that names no colour (none was chosen, kept in the other language) starts
// on white with this run's own hint.
TEST_F(WindowFiles, ThePageColourAndItsHintFromTheKeptHint) {
  const QString japanese = QStringLiteral("黒背景とかの場合はﾌﾟﾚﾋﾞｭｰ時の背景を黒にしてください。");
  const struct {
    QString Kept;
    TLanguage Language;
    QString Hint;
    const char* Css;
  } cases[] = {
      {japanese, TLanguage::English,
       QStringLiteral("For a page with a black background, for example, make the preview background black."), "#FFFFFF"},
      {QStringLiteral("clLime"), TLanguage::Japanese, QStringLiteral("clLime"), "#00FF00"},  // ends in Japanese
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Kept.toStdString());
    InstallTranslations(*qApp, c.Language, QStringLiteral(TOMARU_BIN_DIR "/"));
    QDir().mkpath(Data(""));
    WriteAll(Data("property.ini"), "[actPreviewColor]\r\nHint=" + c.Kept.toUtf8() + "\r\n");
    TMainForm form(AppDir());
    EXPECT_EQ(form.actPreviewColor->Hint(), c.Hint);
    EXPECT_EQ(ReadAll(form.Paths.Work(QStringLiteral("bg.css"))),
              QByteArray("body { background-color: ") + c.Css + "; }");
  }
  EXPECT_TRUE(Ui.Errors.isEmpty());
}

TEST_F(WindowFiles, RecentMenuFollowsOpensAndDeletion) {
  const QString a = PutGif(QStringLiteral("a.gif")), b = PutGif(QStringLiteral("b.gif"));
  TMainForm form(AppDir());
  EXPECT_EQ(CheckFileSize(Data("recent.dat")), 0);
  EXPECT_TRUE(RecentCaptions(form).isEmpty());
  form.FileOpen(a);
  form.FileOpen(b);
  form.FileOpen(a);
  EXPECT_EQ(RecentCaptions(form), QStringList({QStringLiteral("&1 : ") + a, QStringLiteral("&2 : ") + b}));
  EXPECT_EQ(ReadAll(Data("recent.dat")), (a + QStringLiteral("\r\n") + b + QStringLiteral("\r\n")).toUtf8());

  form.mnusubRecentFile->actions()[3]->trigger();  // the second entry
  QCoreApplication::processEvents();
  EXPECT_EQ(form.windowTitle(), b);
  EXPECT_EQ(RecentCaptions(form).first(), QStringLiteral("&1 : ") + b);

  Ui.ConfirmAnswers = {false};
  form.actDeleteRecentFile->trigger();
  EXPECT_EQ(Ui.Confirmations, QStringList{QStringLiteral("「最近使ったﾌｧｲﾙ」の履歴を削除しますが、よろしいですか？")});
  EXPECT_EQ(RecentCaptions(form).size(), 2);
  Ui.ConfirmAnswers = {true};
  form.actDeleteRecentFile->trigger();
  EXPECT_TRUE(RecentCaptions(form).isEmpty());
  EXPECT_EQ(form.mnusubRecentFile->actions().size(), 2);
  EXPECT_EQ(CheckFileSize(Data("recent.dat")), 0);
  EXPECT_TRUE(Ui.Errors.isEmpty());
}

TEST_F(WindowFiles, DroppedFilesOpenInTurnUntilARefusedOne) {
  const QString a = PutGif(QStringLiteral("a.gif")), c = PutGif(QStringLiteral("c.gif"));
  const QString b = Dir.filePath(QStringLiteral("b.tif"));
  WriteAll(b, "tif");
  TMainForm form(AppDir());
  form.show();
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(b), QUrl::fromLocalFile(c)});
  // As a drag ends: the window is entered, then dropped on.
  QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&form, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&form, &drop);
  QCoreApplication::processEvents();  // the files are opened once the drop has ended
  EXPECT_EQ(form.windowTitle(), a);
  EXPECT_EQ(Ui.Messages, QStringList{QStringLiteral("拡張子「.tif」のファイルは処理できません。")});
  EXPECT_EQ(RecentCaptions(form), QStringList{QStringLiteral("&1 : ") + a});
}
