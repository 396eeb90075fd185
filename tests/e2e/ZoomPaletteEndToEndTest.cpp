// A 256-colour picture at x4 with the palette window over it: pixels become
// uniform blocks and the eyedropper on a block picks that pixel's entry.
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "common/GifFactory.h"
#include "common/TestFiles.h"
#include "shell/ImageView.h"
#include "shell/MainForm.h"
#include "shell/Palette.h"
#include "ScriptedDialogs.h"
#include "Shots.h"
#include "ShownWindow.h"
#include "TestAppDir.h"

TEST(ZoomPaletteEndToEnd, BlocksOfFourAndThePickedEntry) {
  TScriptedDialogs ui;
  QTemporaryDir dir;
  TGifPlan s;
  s.Width = 32;
  s.Height = 8;
  s.Colors.clear();
  for (int i = 0; i < 256; ++i) s.Colors.push_back({uint8_t(i), uint8_t((i * 37) & 0xFF), uint8_t(255 - i)});
  for (int i = 0; i < 256; ++i) s.Pixels.push_back(uint8_t(i));
  TMainForm form(MakeAppDir(dir));
  ShowAndOpen(form, dir, QStringLiteral("all256.gif"), s);
  form.actRatio4->trigger();
  form.actShowPalette->trigger();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.Palette));
  QTest::qWait(300);

  const QImage shown = form.img->grab().toImage();
  ASSERT_EQ(shown.size(), QSize(128, 32));
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 128; ++x) {
      const int index = (y / 4) * 32 + x / 4;
      const TRgb c = s.Colors[index];
      ASSERT_EQ(shown.pixelColor(x, y), QColor(c.R, c.G, c.B)) << x << "," << y;
    }

  // Pixel (13, 5) holds entry 5*32+13 = 173; click inside its block.
  QTest::mouseClick(form.img, Qt::LeftButton, {}, QPoint(13 * 4 + 2, 5 * 4 + 1));
  EXPECT_EQ(form.Msg(6), QStringLiteral("173"));
  EXPECT_EQ(form.Doc.TransparentIndex, 173);

  KeepShot(QGuiApplication::primaryScreen()->grabWindow(0).toImage(), QStringLiteral("zoom4-palette.png"));
}
