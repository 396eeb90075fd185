// The windows in either language: Japanese locales see exactly the program's
// texts, every other one the English translation, Qt's dialogs included.
#include <QApplication>
#include <QCheckBox>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "common/TestFiles.h"
#include "help/HelpFile.h"
#include "shell/MainForm.h"
#include "shell/Palette.h"
#include "shell/QtTranslation.h"
#include "shell/ScriptedDialogs.h"
#include "shell/TestAppDir.h"

namespace {

QStringList MenuTitles(const TMainForm& form) {
  QStringList titles;
  for (QAction* a : form.tbtMainMenu->actions()) titles << a->text();
  return titles;
}

struct TLanguageCase {
  TLanguage Language;
  QStringList Menus;
  const char* Open;
  const char* OpenHint;
  const char* Trans;
  const char* PaletteTitle;
  const char* PaletteOK;
  const char* Missing;
  const char* QtCancel;  // Qt's own button text
  const char* HelpFile;
};

}  // namespace

TEST(InterfaceLanguage, WindowsMessagesAndQtDialogsFollowTheLanguage) {
  const TLanguageCase cases[] = {
      {TLanguage::Japanese,
       {QStringLiteral("ﾌｧｲﾙ(&F)"), QStringLiteral("表示(&V)"), QStringLiteral("倍率(&R)"), QStringLiteral("ﾍﾙﾌﾟ(&H)")},
       "BMP/GIF画像を開く(&O)", "GIF画像を開きます。BMP画像の場合はﾌﾙｶﾗｰの場合、減色処理が必要です。", "背景透過(&T)",
       "ﾊﾟﾚｯﾄ情報", "透過色に指定(&T)", "ファイル「%1」が存在しませんでした。", "キャンセル", "help.chm"},
      {TLanguage::English,
       {QStringLiteral("&File"), QStringLiteral("&View"), QStringLiteral("&Zoom"), QStringLiteral("&Help")},
       "&Open BMP/GIF picture...", "Opens a GIF picture. A full-colour BMP picture has to be reduced in colours first.",
       "&Transparent", "Palette", "Make &transparent", "File \"%1\" does not exist.", "Cancel", "help_en.chm"},
  };
  const QString binDir = QStringLiteral(TOMARU_BIN_DIR "/");
  for (const TLanguageCase& c : cases) {
    SCOPED_TRACE(c.Language == TLanguage::Japanese ? "Japanese" : "English");
    InstallTranslations(*qApp, c.Language, binDir);
    TScriptedDialogs ui;
    QTemporaryDir dir;
    TMainForm form(MakeAppDir(dir));
    EXPECT_EQ(MenuTitles(form), c.Menus);
    EXPECT_EQ(form.actOpen->text(), QString::fromUtf8(c.Open));
    EXPECT_EQ(form.actOpen->toolTip(), QString::fromUtf8(c.OpenHint));
    EXPECT_EQ(form.chkTrans->text(), QString::fromUtf8(c.Trans));
    EXPECT_EQ(form.Palette->windowTitle(), QString::fromUtf8(c.PaletteTitle));
    EXPECT_EQ(form.Palette->btnOK->text(), QString::fromUtf8(c.PaletteOK));
    const QString missing = dir.filePath(QStringLiteral("gone.gif"));
    form.FileOpen(missing);
    ASSERT_EQ(ui.Errors.size() + ui.Messages.size(), 1);
    EXPECT_TRUE((ui.Errors + ui.Messages).first().startsWith(QString::fromUtf8(c.Missing).arg(missing).chopped(1)));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8(c.QtCancel));
    EXPECT_EQ(QFileInfo(HelpFilePath(binDir)).fileName(), QString::fromUtf8(c.HelpFile));
    EXPECT_TRUE(QFileInfo::exists(HelpFilePath(binDir)));
  }
  InstallTranslations(*qApp, TLanguage::Japanese, binDir);  // as the other tests expect
}
