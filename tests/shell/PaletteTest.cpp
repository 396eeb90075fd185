#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "common/GifFactory.h"
#include "common/TestFiles.h"
#include "shell/HelpViewer.h"
#include "shell/MainForm.h"
#include "shell/PlanWait.h"
#include "shell/Palette.h"
#include "shell/ScriptedDialogs.h"
#include "shell/TestAppDir.h"

namespace {

class PaletteTest : public ::testing::Test {
 protected:
  TScriptedDialogs Ui;
  QTemporaryDir Dir;
  std::unique_ptr<TMainForm> Form;

  void SetUp() override { Form = std::make_unique<TMainForm>(MakeAppDir(Dir)); }

  void Open(int colors, std::optional<uint8_t> transparentIndex = std::nullopt) {
    TGifPlan s;
    s.Colors.clear();
    for (int i = 0; i < colors; ++i) s.Colors.push_back({uint8_t(i), uint8_t(2 * i), uint8_t(255 - i)});
    if (colors > 17) s.Colors[17] = {12, 34, 56};
    if (transparentIndex) {
      s.GceFlags = 0x01;
      s.GceIndex = *transparentIndex;
    }
    const QString path = Dir.filePath(QStringLiteral("p%1.gif").arg(colors));
    WriteAll(path, MakeGif(s));
    Form->FileOpen(path);
  }
  TPalette& P() { return *Form->Palette; }
  QString Index() { return P().lblIndex->text(); }
  QRgb PixelAt(int x, int y) { return P().imgPal->Picture.pixel(x, y); }
};

}  // namespace

TEST_F(PaletteTest, OpeningSelectsEntryZeroOrTheTransparentIndex) {
  Open(16);
  EXPECT_EQ(Index(), QStringLiteral("0"));
  EXPECT_EQ(P().lblRGB->text(), QStringLiteral("R : 0  G : 0  B : 255"));
  Open(256, 200);
  EXPECT_EQ(Index(), QStringLiteral("200"));
}

TEST_F(PaletteTest, SelectionByClickAndItsFrame) {
  Open(256);
  P().imgPalMouseUp(Qt::LeftButton, 21, 16);
  EXPECT_EQ(Index(), QStringLiteral("17"));
  EXPECT_EQ(P().lblRGB->text(), QStringLiteral("R : 12  G : 34  B : 56"));
  EXPECT_EQ(QColor(PixelAt(21, 16)), QColor(Qt::red));
  EXPECT_EQ(QColor(PixelAt(40, 30)), QColor(Qt::red));
  EXPECT_EQ(QColor(PixelAt(1, 1)), QColor(Qt::white));  // entry 0's frame is gone

  P().imgPalMouseUp(Qt::RightButton, 319, 239);
  EXPECT_EQ(Index(), QStringLiteral("17"));
  P().imgPalMouseUp(Qt::LeftButton, 320, 5);
  P().imgPalMouseUp(Qt::LeftButton, 5, 250);
  EXPECT_EQ(Index(), QStringLiteral("17"));
  P().imgPalMouseUp(Qt::LeftButton, 319, 239);
  EXPECT_EQ(Index(), QStringLiteral("255"));
  P().SetPoint(255);
  EXPECT_EQ(Index(), QStringLiteral("255"));

  Open(2);
  P().imgPalMouseUp(Qt::LeftButton, 45, 5);
  EXPECT_EQ(Index(), QStringLiteral("0"));
  Open(16);
  P().SetPoint(200);
  EXPECT_EQ(Index(), QStringLiteral("0"));
}

TEST_F(PaletteTest, ConfirmMakesTheEntryTransparentTicksTheBoxAndPreviews) {
  Form->show();  // the palette shows with its main window
  Open(256);
  Form->actShowPalette->trigger();
  EXPECT_TRUE(P().isVisible());
  P().imgPalMouseUp(Qt::LeftButton, 21, 16);
  QFile::remove(Form->Paths.Work(QStringLiteral("_.gif")));
  QTest::mouseClick(P().btnOK, Qt::LeftButton);
  EXPECT_FALSE(P().isVisible());
  EXPECT_EQ(Form->Msg(6), QStringLiteral("17"));
  EXPECT_EQ(Form->Doc.TransparentIndex, 17);
  EXPECT_TRUE(Form->Doc.TransparentOn);
  EXPECT_TRUE(Form->chkTrans->isChecked());
  WaitForPlan(*Form);
  const auto copy = DecodeGif(ReadAll(Form->Paths.Work(QStringLiteral("_.gif"))));
  ASSERT_TRUE(copy);
  EXPECT_EQ(copy->TransparentIndex, 17);
}

TEST_F(PaletteTest, ClosedAndReopenedShowsNoFrameButKeepsTheLabels) {
  Open(256);
  Form->actShowPalette->trigger();
  P().imgPalMouseUp(Qt::LeftButton, 21, 16);
  QTest::mouseClick(P().btnClose, Qt::LeftButton);
  Form->actShowPalette->trigger();
  EXPECT_EQ(Index(), QStringLiteral("17"));
  EXPECT_EQ(QColor(PixelAt(21, 16)), QColor(Qt::white));
  EXPECT_EQ(QColor(PixelAt(40, 30)), QColor(Qt::white));
}

TEST_F(PaletteTest, TheWindowIsAFixedToolWindowOfTheMainWindow) {
  EXPECT_EQ(P().windowTitle(), QStringLiteral("ﾊﾟﾚｯﾄ情報"));
  EXPECT_EQ(P().size(), QSize(323, 335));
  EXPECT_EQ(P().windowType(), Qt::Tool);
  EXPECT_FALSE(P().windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_FALSE(P().isVisible());
  Form->show();
  Form->actShowPaletteSync->trigger();
  Open(4);
  EXPECT_TRUE(P().isVisible());
}

namespace {

struct TRecordedHelp : THelpDisplay {
  QList<QPair<QWidget*, THelpRequest>> Requests;
  TRecordedHelp() { SetHelpDisplay(this); }
  ~TRecordedHelp() override { SetHelpDisplay(nullptr); }
  void Display(QWidget* owner, const THelpRequest& r) override { Requests.append({owner, r}); }
};

}  // namespace

TEST_F(PaletteTest, HelpOpensThePaletteTopicOnlyWhenTheHelpFileIsThere) {
  TRecordedHelp help;
  QTest::mouseClick(P().btnHelp, Qt::LeftButton);
  EXPECT_TRUE(help.Requests.isEmpty());  // no help.chm beside the program

  WriteAll(Dir.filePath(QStringLiteral("help.chm")), "placeholder");
  QTest::mouseClick(P().btnHelp, Qt::LeftButton);
  ASSERT_EQ(help.Requests.size(), 1);
  EXPECT_EQ(help.Requests[0].first, &P());
  EXPECT_EQ(help.Requests[0].second.File, Dir.filePath(QStringLiteral("help.chm")));
  EXPECT_EQ(help.Requests[0].second.Topic, QStringLiteral("html/palette(function)"));

  Form->actHelp->trigger();
  ASSERT_EQ(help.Requests.size(), 2);
  EXPECT_TRUE(help.Requests[1].second.Topic.isEmpty());
}
