#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QKeyEvent>
#include <QTimer>
#include <gtest/gtest.h>

#include "shell/Subtra.h"

namespace {

// Runs check on the modal dialog once it is up.
void WhenShown(std::function<void(TSubtra*)> check) {
  QTimer::singleShot(0, [check] {
    auto* dialog = qobject_cast<TSubtra*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    check(dialog);
  });
}

QRect At(int left, int top, int width, int height) { return QRect(left, top, width, height); }

}  // namespace

TEST(Subtra, LayoutTextsAndKeyboardOrder) {
  TSubtra d;
  EXPECT_EQ(d.windowTitle(), QStringLiteral("BMP画像の減色"));
  // Grown to hold the picture's own palette and its check box.
  const int w = d.width();
  EXPECT_GE(w, 344);
  EXPECT_EQ(d.height(), 285);
  EXPECT_EQ(d.minimumSize(), d.maximumSize());
  for (QWidget* child : d.findChildren<QWidget*>())
    EXPECT_TRUE(d.rect().contains(child->geometry())) << child->objectName().toStdString();
  EXPECT_EQ(d.rdoPicture->text(), QStringLiteral("256色（画像に合わせたﾊﾟﾚｯﾄ）"));
  EXPECT_EQ(d.rdoPicture->pos(), QPoint(136, 72));
  EXPECT_GE(d.rdoPicture->width(), d.rdoPicture->sizeHint().width());
  EXPECT_EQ(d.chkDither->text(), QStringLiteral("ﾃﾞｨｻﾞﾘﾝｸﾞ"));
  EXPECT_TRUE(d.chkDither->isChecked());
  EXPECT_TRUE(d.chkDither->isEnabled());
  EXPECT_EQ(d.lbl1->text(), QStringLiteral("開いたBMP画像は色数が多すぎるようです。"));
  EXPECT_EQ(d.lbl1->pos(), QPoint(16, 16));
  EXPECT_EQ(d.lbl2->text(), QStringLiteral("GIF画像として扱うためには256色以下に減色して下さい。"));
  EXPECT_EQ(d.lbl2->pos(), QPoint(16, 32));
  EXPECT_EQ(d.Bevel1->geometry().topLeft(), QPoint(16, 56));
  EXPECT_EQ(d.Bevel1->width(), w - 31);
  EXPECT_EQ(d.Bevel2->geometry().topLeft(), QPoint(16, 232));
  EXPECT_EQ(d.Image1->geometry(), At(24, 66, 91, 101));
  EXPECT_EQ(d.rdo8->geometry(), At(136, 120, 169, 17));
  EXPECT_EQ(d.rdo4->geometry(), At(136, 144, 169, 17));
  EXPECT_EQ(d.rdo1->geometry(), At(136, 168, 169, 17));
  EXPECT_EQ(d.rdo8->text(), QStringLiteral("256色（8bit）"));
  EXPECT_EQ(d.rdo4->text(), QStringLiteral("16色（4bit）"));
  EXPECT_EQ(d.rdo1->text(), QStringLiteral("2色/白黒（1bit）"));
  EXPECT_EQ(d.Label3->text(), QStringLiteral("使われている色数 : "));
  EXPECT_EQ(d.Label3->pos(), QPoint(136, 200));
  EXPECT_EQ(d.lblUseColor->pos(), QPoint(240, 200));
  EXPECT_EQ(d.btnOK->geometry(), At(w - 248, 248, 75, 25));
  EXPECT_EQ(d.btnCancel->geometry(), At(w - 168, 248, 75, 25));
  EXPECT_EQ(d.btnHelp->geometry(), At(w - 88, 248, 75, 25));
  EXPECT_EQ(d.btnOK->text(), QStringLiteral("&OK"));
  EXPECT_EQ(d.btnCancel->text(), QStringLiteral("&Cancel"));
  EXPECT_EQ(d.btnHelp->text(), QStringLiteral("&Help"));
  EXPECT_TRUE(d.btnOK->isDefault());
  EXPECT_EQ(d.btnOK->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(d.btnHelp->cursor().shape(), Qt::WhatsThisCursor);
  EXPECT_TRUE(d.rdoPicture->isChecked());
  EXPECT_EQ(d.Image1->pixmap().size(), QSize(91, 101));

  const QList<QWidget*> order{d.rdoPicture, d.chkDither, d.rdo8, d.rdo4, d.rdo1, d.btnOK, d.btnCancel, d.btnHelp};
  QList<QWidget*> tabbing;
  for (QWidget* c = d.rdoPicture; tabbing.size() < order.size(); c = c->nextInFocusChain())
    if (c->focusPolicy() & Qt::TabFocus) tabbing.append(c);
  EXPECT_EQ(tabbing, order);
}

// OK answers the checked choice and keeps it, with the check box, for the
// next time; the check box counts only for the picture's palette.
TEST(Subtra, OkAnswersAndKeepsTheChoice) {
  struct TCase {
    TReduceChoice Opening;
    int Click;  // the choice clicked: bits, or ReducePicturePalette
    bool Dither;
  };
  const TCase cases[] = {{{}, ReducePicturePalette, false},
                         {{ReducePicturePalette, false}, 8, false},
                         {{8, false}, 4, true},
                         {{4, true}, 1, true},
                         {{1, true}, ReducePicturePalette, true},
                         {{7, true}, 8, true}};  // a value no choice has opens on the picture's palette
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Click);
    TReduceChoice choice = c.Opening;
    WhenShown([c](TSubtra* d) {
      EXPECT_EQ(d->lblUseColor->text(), QStringLiteral("257色"));
      const int opening = c.Opening.Bits;
      QRadioButton* opened = opening == 8 ? d->rdo8 : opening == 4 ? d->rdo4 : opening == 1 ? d->rdo1 : d->rdoPicture;
      EXPECT_TRUE(opened->isChecked());
      EXPECT_EQ(d->chkDither->isChecked(), c.Opening.Dither);
      EXPECT_EQ(d->chkDither->isEnabled(), opened == d->rdoPicture);
      QRadioButton* click = c.Click == 8 ? d->rdo8 : c.Click == 4 ? d->rdo4 : c.Click == 1 ? d->rdo1 : d->rdoPicture;
      click->setChecked(true);
      EXPECT_EQ(d->chkDither->isEnabled(), click == d->rdoPicture);
      d->chkDither->setChecked(c.Dither);
      d->btnOK->click();
    });
    EXPECT_EQ(AskReduceBitsDialog(nullptr, 257, {}, &choice), std::optional<int>(c.Click));
    EXPECT_EQ(choice.Bits, c.Click);
    EXPECT_EQ(choice.Dither, c.Dither);
  }
  // Without a kept choice the picture's palette, dithered, is offered.
  WhenShown([](TSubtra* d) {
    EXPECT_TRUE(d->rdoPicture->isChecked());
    EXPECT_TRUE(d->chkDither->isChecked());
    d->btnOK->click();
  });
  EXPECT_EQ(AskReduceBitsDialog(nullptr, 257, {}), std::optional<int>(ReducePicturePalette));
}

TEST(Subtra, CancelAndCloseBoxAnswerNothingButEscapeDoesNotClose) {
  WhenShown([](TSubtra* d) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(d, &press);
    EXPECT_TRUE(d->isVisible());
    d->btnCancel->click();
  });
  TReduceChoice kept{4, false};
  EXPECT_EQ(AskReduceBitsDialog(nullptr, 300, {}, &kept), std::nullopt);
  WhenShown([](TSubtra* d) {
    d->rdo1->setChecked(true);
    d->close();
  });
  EXPECT_EQ(AskReduceBitsDialog(nullptr, 300, {}, &kept), std::nullopt);
  EXPECT_EQ(kept.Bits, 4);  // a cancel keeps the earlier choice
  EXPECT_FALSE(kept.Dither);
}

TEST(Subtra, HelpOpensTheTopicAndStaysOpen) {
  QStringList topics;
  WhenShown([](TSubtra* d) {
    d->btnHelp->click();
    EXPECT_TRUE(d->isVisible());
    d->btnCancel->click();
  });
  AskReduceBitsDialog(nullptr, 300, [&](QWidget* owner, const QString& topic) {
    EXPECT_NE(owner, nullptr);
    topics.append(topic);
  });
  EXPECT_EQ(topics, QStringList{QStringLiteral("loadbmp(function)")});
}
