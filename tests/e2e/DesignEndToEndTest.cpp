// The main window in both designs, with the command icons on the toolbar.
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

#include "common/GifFactory.h"
#include "common/TestFiles.h"
#include "shell/MainForm.h"
#include "ScriptedDialogs.h"
#include "Shots.h"
#include "ShownWindow.h"
#include "TestAppDir.h"

TEST(DesignEndToEnd, BothDesignsShowEveryToolbarIcon) {
  TScriptedDialogs ui;
  QTemporaryDir dir;
  TGifPlan s;
  s.Width = 64;
  s.Height = 48;
  s.Colors = {{255, 255, 255}, {0, 160, 0}};
  for (int i = 0; i < 64 * 48; ++i) s.Pixels.push_back(uint8_t((i / 64 + i % 64) % 9 == 0));
  TMainForm form(MakeAppDir(dir));
  ShowAndOpen(form, dir, QStringLiteral("x.gif"), s);

  for (TAction* a : {form.actOpen, form.actSave, form.actShowPalette, form.actPreviewColor, form.actPreview})
    EXPECT_FALSE(a->icon().isNull()) << a->objectName().toStdString();
  for (bool classic : {false, true}) {
    if (classic) form.actClassic->trigger();
    QTest::qWait(200);
    const QImage shot = form.grab().toImage();
    // The dock is white in the modern design and the desktop's button face in the classic one.
    const QColor dock = form.tbdTop->grab().toImage().pixelColor(form.tbdTop->width() - 3, form.tbdTop->height() / 2);
    if (classic)
      EXPECT_NE(dock, QColor(Qt::white));
    KeepShot(shot, classic ? QStringLiteral("main-classic.png") : QStringLiteral("main-modern.png"));
  }
}
