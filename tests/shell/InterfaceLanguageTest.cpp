// The windows in either language: Japanese locales see exactly the program's
// texts, every other one the English translation, Qt's dialogs included.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QSet>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "help/HelpFile.h"
#include "shell/MainForm.h"
#include "shell/Palette.h"
#include "shell/QtTranslation.h"
#include "shell/ScriptedDialogs.h"
#include "shell/TestAppDir.h"

// English first, so that Japanese must also take the English away.
TEST(InterfaceLanguage, WindowsMessagesAndQtDialogsFollowTheLanguage) {
  const struct {
    TLanguage Language;
    QStringList Texts;  // menus, 開く's text and hint, the check box, the palette's title and button, Qt's, the help
    const char* Missing;
  } cases[] = {
      {TLanguage::English,
       {"&File", "&View", "&Zoom", "&Help", "&Open GIF/BMP/PNG/JPEG picture...",
        "Opens a GIF, BMP, PNG or JPEG picture; one of more than 256 colours is reduced first.", "&Transparent",
        "Palette", "Make &transparent", "Cancel", "help_en.chm"},
       "File \"%1\" does not exist."},
      {TLanguage::Japanese,
       {"ﾌｧｲﾙ(&F)", "表示(&V)", "倍率(&R)", "ﾍﾙﾌﾟ(&H)", "GIF/BMP/PNG/JPEG画像を開く(&O)",
        "GIF・BMP・PNG・JPEG画像を開きます。GIF以外は、色が256色を超える場合、減色してから開きます。", "背景透過(&T)", "ﾊﾟﾚｯﾄ情報",
        "透過色に指定(&T)", "キャンセル", "help.chm"},
       "ファイル「%1」が存在しませんでした。"},
  };
  const QString binDir = QStringLiteral(TOMARU_BIN_DIR "/");
  for (const auto& c : cases) {  // ends in Japanese, as the other tests expect
    SCOPED_TRACE(c.Language == TLanguage::Japanese ? "Japanese" : "English");
    InstallTranslations(*qApp, c.Language, binDir);
    TScriptedDialogs ui;
    QTemporaryDir dir;
    TMainForm form(MakeAppDir(dir));
    QStringList texts;
    for (QAction* a : form.tbtMainMenu->actions()) texts << a->text();
    texts << form.actOpen->text() << form.actOpen->toolTip() << form.chkTrans->text() << form.Palette->windowTitle()
          << form.Palette->btnOK->text() << QCoreApplication::translate("QPlatformTheme", "Cancel")
          << QFileInfo(HelpFilePath(binDir)).fileName();
    EXPECT_EQ(texts, c.Texts);
    // The strip's controls: each with a mnemonic no other control of the
    // window has, and whole at the window's smallest width.
    QList<QWidget*> strip{form.chkTrans, form.lblTolerance, form.chkConnected, form.chkMatte, form.lblFormat};
    QStringList strings;
    for (QAction* a : form.tbtMainMenu->actions()) strings << a->text();
    for (QWidget* w : strip) {
      auto* box = qobject_cast<QAbstractButton*>(w);
      strings << (box ? box->text() : qobject_cast<QLabel*>(w)->text());
      EXPECT_LE(w->geometry().right(), form.minimumWidth()) << w->objectName().toStdString();
      EXPECT_GE(w->width(), w->sizeHint().width()) << w->objectName().toStdString();
    }
    QSet<QChar> mnemonics;
    for (const QString& text : strings) {
      const qsizetype at = text.indexOf(QLatin1Char('&'));
      ASSERT_GE(at, 0) << text.toStdString();
      mnemonics.insert(text.at(at + 1).toUpper());
    }
    EXPECT_EQ(mnemonics.size(), strings.size()) << strings.join(' ').toStdString();
    EXPECT_TRUE(QFileInfo::exists(HelpFilePath(binDir)));
    const QString missing = dir.filePath(QStringLiteral("gone.gif"));
    form.FileOpen(missing);
    const QStringList said = ui.Errors + ui.Messages;
    EXPECT_EQ(said.size(), 1);
    EXPECT_TRUE(said.value(0).startsWith(QString::fromUtf8(c.Missing).arg(missing).chopped(1))) << said.join('|').toStdString();
  }
}
