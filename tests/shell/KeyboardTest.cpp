// Every step by keyboard: the palette by Ctrl+P, arrows and Return, its
// mnemonics and F1 against the main window's, the picture's pick cursor at any
// zoom. The desktop tests press F1 and Esc for the help window.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "common/TestFiles.h"
#include "shell/EveryEntryPicture.h"
#include "shell/ImageView.h"
#include "shell/MainForm.h"
#include "shell/Palette.h"
#include "shell/ScriptedDialogs.h"
#include "shell/TestAppDir.h"

namespace {

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
    QTest::keyClick(target ? target : Form.get(), key, modifiers);
  }
};

}  // namespace

// The arrows move the palette's choice through the click's road, so the
// click's tests cover what it shows; the palette's mnemonics and F1 answer
// before the main window's, which has its own Alt+T and Alt+H.
TEST_F(KeyboardTest, ThePaletteAnswersCtrlPArrowsReturnItsMnemonicsAndF1) {
  int helps = 0;
  P().OnHelp = [&] { ++helps; };
  Key(Qt::Key_P, Qt::ControlModifier);
  ASSERT_TRUE(Active(&P()));
  EXPECT_EQ(QApplication::focusWidget(), P().imgPal);
  EXPECT_EQ(P().lblIndex->text(), QStringLiteral("0"));
  for (Qt::Key k : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Down, Qt::Key_Left}) Key(k);
  EXPECT_EQ(P().lblIndex->text(), QStringLiteral("17"));
  Key(Qt::Key_H, Qt::AltModifier);
  Key(Qt::Key_F1);
  EXPECT_EQ(helps, 2);
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);  // the main window's ﾍﾙﾌﾟ(&H) menu stayed shut
  Key(Qt::Key_Return);
  EXPECT_FALSE(P().isVisible());
  EXPECT_TRUE(Form->Doc.TransparentOn);
  EXPECT_EQ(Form->Doc.TransparentIndex, 17);
  // One down, then 透過色に指定(&T) chooses (not the main window's 背景透過(&T));
  // one more down, then 閉じる(&C) closes without choosing.
  for (Qt::Key mnemonic : {Qt::Key_T, Qt::Key_C}) {
    Form->activateWindow();  // as the window manager does when the palette goes
    ASSERT_TRUE(Active(Form.get()));
    Key(Qt::Key_P, Qt::ControlModifier);
    ASSERT_TRUE(Active(&P()));
    const bool checked = Form->chkTrans->isChecked();
    Key(Qt::Key_Down);
    Key(mnemonic, Qt::AltModifier);
    EXPECT_FALSE(P().isVisible());
    EXPECT_EQ(Form->chkTrans->isChecked(), checked);  // the main window's check box did not answer
    EXPECT_EQ(Form->Doc.TransparentIndex, 33);
  }
}

TEST_F(KeyboardTest, ThePickCursorPicksAsAClickDoesAtEveryZoom) {
  for (int factor : {1, 2, 3, 4, 6, 8}) {
    SCOPED_TRACE(factor);
    Key(Qt::Key(Qt::Key_0 + factor));  // the zoom's shortcut
    ASSERT_EQ(Form->ZoomFactor, factor);
    Form->img->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(Form->img->hasFocus());
    // From wherever it is to the top-left corner, then ten and one right, three down.
    for (int i = 0; i < 2; ++i) {
      Key(Qt::Key_Left, Qt::ShiftModifier);
      Key(Qt::Key_Up, Qt::ShiftModifier);
    }
    EXPECT_EQ(Form->img->PickCursor(), QPoint(0, 0));
    Key(Qt::Key_Right, Qt::ShiftModifier);
    for (Qt::Key k : {Qt::Key_Right, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Down}) Key(k);
    EXPECT_EQ(Form->img->PickCursor(), QPoint(11, 3));
    Key(factor % 2 ? Qt::Key_Return : Qt::Key_Space);
    EXPECT_EQ(Form->Doc.TransparentIndex, 16 * 3 + 11);
    // A click elsewhere picks there and brings the cursor along.
    QTest::mouseClick(Form->img, Qt::LeftButton, {}, QPoint(5, 7) * factor + QPoint(factor / 2, factor / 2));
    EXPECT_EQ(Form->Doc.TransparentIndex, 16 * 7 + 5);
    EXPECT_EQ(Form->img->PickCursor(), QPoint(5, 7));
    // Never past the picture's edge.
    for (int i = 0; i < 3; ++i) Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_Return);
    EXPECT_EQ(Form->Doc.TransparentIndex, 16 * 7 + 15);
  }
}
