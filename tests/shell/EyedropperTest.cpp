#include <QCheckBox>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "common/GifFactory.h"
#include "common/TestFiles.h"
#include "shell/ImageView.h"
#include "shell/MainForm.h"
#include "shell/Palette.h"
#include "shell/ScriptedDialogs.h"
#include "shell/TestAppDir.h"

namespace {

// A window whose left pane shows what the shipped plug-in decoded.
class EyedropperTest : public ::testing::Test {
 protected:
  TScriptedDialogs Ui;
  QTemporaryDir Dir;
  std::unique_ptr<TMainForm> Form;

  QString Open(const QByteArray& file) {
    Form = std::make_unique<TMainForm>(MakeAppDir(Dir));
    const QString path = Dir.filePath(QStringLiteral("picture.gif"));
    WriteAll(path, file);
    Form->FileOpen(path);
    return path;
  }
  void Click(QPoint imagePixel, int zoom) {
    QTest::mouseClick(Form->img, Qt::LeftButton, {}, imagePixel * zoom + QPoint(zoom / 2, zoom / 2));
  }
};

}  // namespace

TEST_F(EyedropperTest, AClickPicksTheEntryOfThePixelNotTheFirstEqualColour) {
  // White at 15 and 255; the background uses 255, a dot uses 15.
  TGifPlan s;
  s.Width = 6;
  s.Height = 4;
  s.Colors.assign(256, {10, 20, 30});
  s.Colors[15] = s.Colors[255] = {255, 255, 255};
  s.Pixels.assign(24, 255);
  s.Pixels[7] = 15;
  Open(MakeGif(s));
  ASSERT_EQ(Form->img->Picture().colorCount(), 256);
  for (TAction* zoom : {Form->actRatio1, Form->actRatio4}) {
    zoom->trigger();
    const int factor = zoom == Form->actRatio4 ? 4 : 1;
    Click({4, 2}, factor);
    EXPECT_EQ(Form->Doc.TransparentIndex, 255) << "zoom " << factor;
    EXPECT_EQ(Form->Msg(6), QStringLiteral("255"));
    Click({1, 1}, factor);
    EXPECT_EQ(Form->Doc.TransparentIndex, 15) << "zoom " << factor;
  }
}

TEST_F(EyedropperTest, AFirstFrameWithItsOwnTableIsChosenAndSavedAgainstIt) {
  TGifPlan s;
  s.Colors = {{0, 0, 200}, {255, 255, 255}, {200, 0, 0}, {0, 0, 0}};
  s.LocalTableOnly = true;
  s.Pixels = {1, 1, 1, 1, 1, 2, 2, 1, 1, 1, 1, 1};
  QByteArray file = MakeGif(s);
  // A global table of other colours before it, as editors often leave.
  const QByteArray global = QByteArray::fromHex("00ff0000ff0000ff0000ff00");
  file[10] = char((uint8_t(file[10]) & 0xF8) | 0x81);
  file.insert(13, global);
  const QString path = Open(file);
  ASSERT_EQ(Form->windowTitle(), path);
  EXPECT_EQ(Form->Msg(5), QStringLiteral("4 色"));
  EXPECT_EQ(Form->Palette->imgPal->Picture.pixelColor(30, 7), QColor(255, 255, 255));

  QTest::mouseClick(Form->chkTrans, Qt::LeftButton);
  Click({3, 0}, 1);
  EXPECT_EQ(Form->Doc.TransparentIndex, 1);
  Ui.SaveAnswers = {path};
  Form->actSave->trigger();
  const auto saved = DecodeGif(ReadAll(path));
  ASSERT_TRUE(saved);
  ASSERT_EQ(saved->TransparentIndex, 1);
  EXPECT_EQ(saved->Colors[1].G, 255);
}
