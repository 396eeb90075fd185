// Open, pick the background, see it vanish over the chosen page colour, save:
// the whole road through the real window on a real X server.
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>
#include <gtest/gtest.h>

#include "common/GifFactory.h"
#include "common/TestFiles.h"
#include "shell/ImageView.h"
#include "shell/MainForm.h"
#include "ScriptedDialogs.h"
#include "Shots.h"
#include "ShownWindow.h"
#include "TestAppDir.h"

namespace {

// The colour the right pane shows at a page point, once it shows `expected`
// there (or the last colour seen when it never does).
QColor WaitForPagePixel(QWebEngineView* wb, QPoint at, QColor expected) {
  QElapsedTimer timer;
  timer.start();
  QColor seen;
  while (timer.elapsed() < 20000) {
    QTest::qWait(200);
    const QImage shot = wb->grab().toImage();
    if (shot.width() <= at.x() || shot.height() <= at.y()) continue;
    seen = shot.pixelColor(at);
    if (seen == expected) break;
  }
  return seen;
}

}  // namespace

TEST(TransparentEndToEnd, WhiteBackgroundBecomesThePageColourAndIsSaved) {
  TScriptedDialogs ui;
  QTemporaryDir dir;
  TGifPlan s;
  s.Width = 40;
  s.Height = 30;
  s.Colors = {{255, 255, 255}, {0, 0, 255}};
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) s.Pixels.push_back(x >= 10 && x < 30 && y >= 10 && y < 20 ? 1 : 0);
  TMainForm form(MakeAppDir(dir));
  ShowAndOpen(form, dir, QStringLiteral("shape.gif"), s);
  ASSERT_EQ(form.img->Picture().size(), QSize(40, 30));

  ui.ColorAnswers = {QColor(255, 0, 0)};
  form.actPreviewColor->trigger();
  QTest::mouseClick(form.chkTrans, Qt::LeftButton);
  ASSERT_TRUE(form.chkTrans->isChecked());
  QTest::mouseClick(form.img, Qt::LeftButton, {}, QPoint(3, 3));  // the white background
  EXPECT_EQ(form.Msg(6), QStringLiteral("0"));

  // The page puts the picture 2 pixels in (two 1-pixel margins).
  EXPECT_EQ(WaitForPagePixel(form.wb, QPoint(2 + 3, 2 + 3), QColor(255, 0, 0)), QColor(255, 0, 0));
  EXPECT_EQ(WaitForPagePixel(form.wb, QPoint(2 + 15, 2 + 15), QColor(0, 0, 255)), QColor(0, 0, 255));
  KeepShot(form.grab().toImage(), QStringLiteral("transparent-preview.png"));

  const QString out = dir.filePath(QStringLiteral("saved.gif"));
  ui.SaveAnswers = {out};
  form.actSave->trigger();
  const auto saved = DecodeGif(ReadAll(out));
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->TransparentIndex, 0);
  EXPECT_TRUE(ui.Errors.isEmpty());
}
