// Every step by keyboard: the palette by Ctrl+P, arrows and Return, its
// mnemonics against the main window's, the picture's pick cursor at any
// zoom, F1, and the help window's Esc.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "common/GifFactory.h"
#include "common/TestFiles.h"
#include "document/PaletteGrid.h"
#include "shell/HelpViewer.h"
#include "shell/ImageView.h"
#include "shell/MainForm.h"
#include "shell/Palette.h"
#include "shell/ScriptedDialogs.h"
#include "shell/TestAppDir.h"

namespace {

// A picture whose every pixel has its own entry: (x, y) is entry 16 * y + x.
QByteArray EveryPixelItsOwnEntry() {
  TGifPlan s;
  s.Width = 16;
  s.Height = 16;
  s.Colors.clear();
  for (int i = 0; i < 256; ++i) s.Colors.push_back({uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)});
  for (int i = 0; i < 256; ++i) s.Pixels.push_back(uint8_t(i));
  return MakeGif(s);
}

class KeyboardTest : public ::testing::Test {
 protected:
  TScriptedDialogs Ui;
  QTemporaryDir Dir;
  std::unique_ptr<TMainForm> Form;

  void SetUp() override {
    Form = std::make_unique<TMainForm>(MakeAppDir(Dir));
    const QString path = Dir.filePath(QStringLiteral("picture.gif"));
    WriteAll(path, EveryPixelItsOwnEntry());
    Form->FileOpen(path);
    Form->show();
    Form->activateWindow();
    ASSERT_TRUE(Active(Form.get()));
  }
  void TearDown() override { Form->close(); }
  TPalette& P() { return *Form->Palette; }
  // The application's active window (a tool window counts as active with its
  // owner, so QWidget::isActiveWindow does not tell).
  static bool Active(QWidget* w) {
    return QTest::qWaitFor([w] { return QApplication::activeWindow() == w; }, 2000);
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
    if (!target) target = Form.get();
    QTest::keyClick(target, key, modifiers);
  }
};

}  // namespace

TEST_F(KeyboardTest, CtrlPArrowsAndReturnChooseAnEntry) {
  Key(Qt::Key_P, Qt::ControlModifier);
  ASSERT_TRUE(P().isVisible());
  ASSERT_TRUE(Active(&P()));
  EXPECT_EQ(QApplication::focusWidget(), P().imgPal) << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString() + " " + QApplication::focusWidget()->metaObject()->className() : "none");
  EXPECT_EQ(P().lblIndex->text(), QStringLiteral("0"));
  Key(Qt::Key_Right);
  Key(Qt::Key_Right);
  Key(Qt::Key_Down);
  Key(Qt::Key_Left);
  EXPECT_EQ(P().lblIndex->text(), QStringLiteral("17"));  // as a click on entry 17 shows it
  EXPECT_EQ(P().lblRGB->text(), QStringLiteral("R : 17  G : 238  B : 119"));
  EXPECT_EQ(P().imgPal->Picture.pixel(SelectionFrameOf(17).topLeft()), qRgb(255, 0, 0));
  Key(Qt::Key_Return);
  EXPECT_FALSE(P().isVisible());
  EXPECT_TRUE(Form->Doc.TransparentOn);
  EXPECT_EQ(Form->Doc.TransparentIndex, 17);
}

TEST_F(KeyboardTest, ThePalettesMnemonicsAndF1AnswerInThePalette) {
  int helps = 0;
  P().OnHelp = [&] { ++helps; };
  Key(Qt::Key_P, Qt::ControlModifier);
  ASSERT_TRUE(Active(&P()));
  const bool checked = Form->chkTrans->isChecked();
  Key(Qt::Key_H, Qt::AltModifier);
  Key(Qt::Key_F1);
  EXPECT_EQ(helps, 2);
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);  // the main window's ﾍﾙﾌﾟ(&H) menu stayed shut
  Key(Qt::Key_Down);
  Key(Qt::Key_T, Qt::AltModifier);  // 透過色に指定(&T), not the main window's 背景透過(&T)
  EXPECT_FALSE(P().isVisible());
  EXPECT_EQ(Form->Doc.TransparentIndex, 16);
  EXPECT_EQ(Form->chkTrans->isChecked(), checked);  // the main window's check box did not answer
  Form->activateWindow();  // as the window manager does when the palette goes
  ASSERT_TRUE(Active(Form.get()));
  Key(Qt::Key_P, Qt::ControlModifier);
  ASSERT_TRUE(Active(&P()));
  Key(Qt::Key_C, Qt::AltModifier);  // 閉じる(&C)
  EXPECT_FALSE(P().isVisible());
}

TEST_F(KeyboardTest, ThePickCursorPicksAsAClickDoesAtEveryZoom) {
  const struct {
    TAction* Zoom;
    int Factor;
  } zooms[] = {{Form->actRatio1, 1}, {Form->actRatio2, 2}, {Form->actRatio3, 3},
               {Form->actRatio4, 4}, {Form->actRatio6, 6}, {Form->actRatio8, 8}};
  for (const auto& z : zooms) {
    SCOPED_TRACE(z.Factor);
    z.Zoom->trigger();
    Form->img->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(Form->img->hasFocus());
    // From wherever it is to the top-left corner, then to (11, 3).
    for (int i = 0; i < 2; ++i) {
      Key(Qt::Key_Left, Qt::ShiftModifier);
      Key(Qt::Key_Up, Qt::ShiftModifier);
    }
    EXPECT_EQ(Form->img->PickCursor(), QPoint(0, 0));
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_Right);
    for (int i = 0; i < 3; ++i) Key(Qt::Key_Down);
    Key(Qt::Key_Up);
    Key(Qt::Key_Down);
    EXPECT_EQ(Form->img->PickCursor(), QPoint(11, 3));
    Key(z.Factor % 2 ? Qt::Key_Return : Qt::Key_Space);
    EXPECT_EQ(Form->Doc.TransparentIndex, 16 * 3 + 11);
    // A click elsewhere picks there and brings the cursor along.
    QTest::mouseClick(Form->img, Qt::LeftButton, {}, QPoint(5, 7) * z.Factor + QPoint(z.Factor / 2, z.Factor / 2));
    EXPECT_EQ(Form->Doc.TransparentIndex, 16 * 7 + 5);
    EXPECT_EQ(Form->img->PickCursor(), QPoint(5, 7));
    // Never past the picture's edge.
    for (int i = 0; i < 3; ++i) Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_Return);
    EXPECT_EQ(Form->Doc.TransparentIndex, 16 * 7 + 15);
  }
}

TEST_F(KeyboardTest, F1OpensTheHelpAndEscClosesIt) {
  Key(Qt::Key_F1);
  THelpViewer* help = CurrentHelpViewer();
  ASSERT_NE(help, nullptr);
  ASSERT_TRUE(help->isVisible());
  ASSERT_TRUE(Active(help));
  Key(Qt::Key_Escape);
  QTest::qWait(0);
  EXPECT_TRUE(!CurrentHelpViewer() || !CurrentHelpViewer()->isVisible());
}
