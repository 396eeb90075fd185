// Every step by keyboard: the palette by Ctrl+P, arrows and Return, its
// mnemonics and F1 against the main window's, the picture's pick cursor at any
// zoom. The desktop tests press F1 and Esc for the help window.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <map>

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

// The pick cursor shows at every zoom and on every pixel, corners included:
// the pixel's block stays uncovered, and at least two arms lie whole inside
// the view, on the block's middle row or column, pointing at it (all four
// away from the edges).
TEST(PickCursor, ShowsAtEveryZoomAndEdgeAndLeavesThePixelUncovered) {
  QImage picture(40, 30, QImage::Format_RGB32);
  picture.fill(Qt::gray);
  TImageView view;
  view.SetPicture(picture);
  view.show();
  view.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
  view.setFocus(Qt::TabFocusReason);
  for (const int factor : {1, 2, 3, 8}) {
    view.SetStretch(factor > 1);
    view.resize(picture.size() * factor);
    for (const QPoint target : {QPoint(0, 0), QPoint(39, 29), QPoint(39, 0), QPoint(0, 29), QPoint(17, 12)}) {
      SCOPED_TRACE(::testing::Message() << "zoom " << factor << " at " << target.x() << "," << target.y());
      // By keys: a click on the top-left pixel at zoom 1 would be taken for the middle.
      for (int i = 0; i < 4; ++i) {
        QTest::keyClick(&view, Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(&view, Qt::Key_Up, Qt::ShiftModifier);
      }
      for (int i = 0; i < target.x(); ++i) QTest::keyClick(&view, Qt::Key_Right);
      for (int i = 0; i < target.y(); ++i) QTest::keyClick(&view, Qt::Key_Down);
      ASSERT_EQ(view.PickCursor(), target);
      const QImage shot = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
      const QRect block(target * factor, QSize(factor, factor));
      EXPECT_EQ(shot.copy(block), picture.copy(0, 0, factor, factor));
      // Each direction: the arm's black run, 4 to 3 + arm pixels off the block.
      const QPoint middle(block.left() + (factor - 1) / 2, block.top() + (factor - 1) / 2);
      int wholeArms = 0;
      for (const QPoint step : {QPoint(-1, 0), QPoint(1, 0), QPoint(0, -1), QPoint(0, 1)}) {
        const QPoint start(step.x() < 0 ? block.left() : step.x() > 0 ? block.right() : middle.x(),
                           step.y() < 0 ? block.top() : step.y() > 0 ? block.bottom() : middle.y());
        int black = 0;
        for (int d = 4; d < 4 + TImageView::PickCursorArm; ++d)
          black += shot.rect().contains(start + step * d) && shot.pixel(start + step * d) == qRgb(0, 0, 0);
        wholeArms += black == TImageView::PickCursorArm;
      }
      EXPECT_GE(wholeArms, target == QPoint(17, 12) ? 4 : 2);
    }
  }
}

// Tab goes round the strip's controls and the picture only, and the preview
// pane, which only shows, is never a stop, nor anything the web engine puts
// inside it. Each control's mnemonic leaves it showing the same focus as Tab
// does (a check box pressed twice keeps its mark); unfocused it shows none.
TEST_F(KeyboardTest, TabStopsAreTheStripsControlsAndThePictureEachShowingItsFocus) {
  Form->actPreview->trigger();
  QTest::qWait(500);
  const struct {
    QWidget* Control;
    Qt::Key Mnemonic;
  } strip[] = {{Form->chkTrans, Qt::Key_T}, {Form->spnTolerance, Qt::Key_O}, {Form->chkConnected, Qt::Key_B},
               {Form->chkMatte, Qt::Key_E}, {Form->cboFormat, Qt::Key_M}};
  std::map<QWidget*, QImage> byMnemonic;
  for (const auto& c : strip) {
    SCOPED_TRACE(c.Control->objectName().toStdString());
    Form->img->setFocus(Qt::MouseFocusReason);
    auto* box = qobject_cast<QCheckBox*>(c.Control);
    const bool was = box && box->isChecked();
    const QImage unfocused = c.Control->grab().toImage();
    Key(c.Mnemonic, Qt::AltModifier);
    QTest::qWait(300);  // the click shown by a mnemonic is over
    if (box) Key(c.Mnemonic, Qt::AltModifier);  // ticked and unticked: only the focus differs
    QTest::qWait(300);
    ASSERT_TRUE(c.Control->hasFocus());
    if (box) EXPECT_EQ(box->isChecked(), was);
    byMnemonic[c.Control] = c.Control->grab().toImage();
    EXPECT_NE(byMnemonic[c.Control], unfocused);
  }
  EXPECT_EQ(Form->spnTolerance->value(), 0);
  Form->img->setFocus(Qt::MouseFocusReason);
  QStringList stops;
  for (int i = 0; i < 12; ++i) {
    Key(Qt::Key_Tab);
    QWidget* focus = QApplication::focusWidget();
    stops << (focus ? focus->objectName() : QStringLiteral("none"));
    // The spin box's text cursor blinks: its picture is compared only after a mnemonic.
    if (qobject_cast<QCheckBox*>(focus)) EXPECT_EQ(focus->grab().toImage(), byMnemonic[focus]);
  }
  const QStringList round{"chkTrans", "spnTolerance", "chkConnected", "chkMatte", "cboFormat", "img"};
  EXPECT_EQ(stops, round + round) << stops.join(QLatin1Char(' ')).toStdString();
}
