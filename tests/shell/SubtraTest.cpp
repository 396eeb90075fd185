#include <QApplication>
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
  EXPECT_EQ(d.size(), QSize(344, 237));
  EXPECT_EQ(d.minimumSize(), d.maximumSize());
  EXPECT_EQ(d.lbl1->text(), QStringLiteral("開いたBMP画像は色数が多すぎるようです。"));
  EXPECT_EQ(d.lbl1->pos(), QPoint(16, 16));
  EXPECT_EQ(d.lbl2->text(), QStringLiteral("GIF画像として扱うためには256色以下に減色して下さい。"));
  EXPECT_EQ(d.lbl2->pos(), QPoint(16, 32));
  EXPECT_EQ(d.Bevel1->geometry().topLeft(), QPoint(16, 56));
  EXPECT_EQ(d.Bevel1->width(), 313);
  EXPECT_EQ(d.Bevel2->geometry().topLeft(), QPoint(16, 184));
  EXPECT_EQ(d.Image1->geometry(), At(24, 66, 91, 101));
  EXPECT_EQ(d.rdo8->geometry(), At(136, 72, 169, 17));
  EXPECT_EQ(d.rdo4->geometry(), At(136, 96, 169, 17));
  EXPECT_EQ(d.rdo1->geometry(), At(136, 120, 169, 17));
  EXPECT_EQ(d.rdo8->text(), QStringLiteral("256色（8bit）"));
  EXPECT_EQ(d.rdo4->text(), QStringLiteral("16色（4bit）"));
  EXPECT_EQ(d.rdo1->text(), QStringLiteral("2色/白黒（1bit）"));
  EXPECT_EQ(d.Label3->text(), QStringLiteral("使われている色数 : "));
  EXPECT_EQ(d.Label3->pos(), QPoint(136, 152));
  EXPECT_EQ(d.lblUseColor->pos(), QPoint(240, 152));
  EXPECT_EQ(d.btnOK->geometry(), At(96, 200, 75, 25));
  EXPECT_EQ(d.btnCancel->geometry(), At(176, 200, 75, 25));
  EXPECT_EQ(d.btnHelp->geometry(), At(256, 200, 75, 25));
  EXPECT_EQ(d.btnOK->text(), QStringLiteral("&OK"));
  EXPECT_EQ(d.btnCancel->text(), QStringLiteral("&Cancel"));
  EXPECT_EQ(d.btnHelp->text(), QStringLiteral("&Help"));
  EXPECT_TRUE(d.btnOK->isDefault());
  EXPECT_EQ(d.btnOK->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(d.btnHelp->cursor().shape(), Qt::WhatsThisCursor);
  EXPECT_TRUE(d.rdo8->isChecked());
  EXPECT_EQ(d.Image1->pixmap().size(), QSize(91, 101));

  const QList<QWidget*> order{d.rdo8, d.rdo4, d.rdo1, d.btnOK, d.btnCancel, d.btnHelp};
  QList<QWidget*> tabbing;
  for (QWidget* w = d.rdo8; tabbing.size() < order.size(); w = w->nextInFocusChain())
    if (w->focusPolicy() & Qt::TabFocus) tabbing.append(w);
  EXPECT_EQ(tabbing, order);
}

TEST(Subtra, OkAnswersTheCheckedDepth) {
  const std::pair<int, int> cases[] = {{8, 8}, {4, 4}, {1, 1}};
  for (auto [choice, expected] : cases) {
    WhenShown([choice = choice](TSubtra* d) {
      EXPECT_EQ(d->lblUseColor->text(), QStringLiteral("257色"));
      EXPECT_TRUE(d->rdo8->isChecked());  // whatever was chosen before
      (choice == 4 ? d->rdo4 : choice == 1 ? d->rdo1 : d->rdo8)->setChecked(true);
      d->btnOK->click();
    });
    EXPECT_EQ(AskReduceBitsDialog(nullptr, 257, {}), std::optional<int>(expected));
  }
}

TEST(Subtra, CancelAndCloseBoxAnswerNothingButEscapeDoesNotClose) {
  WhenShown([](TSubtra* d) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(d, &press);
    EXPECT_TRUE(d->isVisible());
    d->btnCancel->click();
  });
  EXPECT_EQ(AskReduceBitsDialog(nullptr, 300, {}), std::nullopt);
  WhenShown([](TSubtra* d) { d->close(); });
  EXPECT_EQ(AskReduceBitsDialog(nullptr, 300, {}), std::nullopt);
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
