#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QKeyEvent>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "shell/QtTranslation.h"
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

// The choice's button: bits, or the picture's palette for any other value.
QRadioButton* Radio(TSubtra* d, int bits) {
  return bits == 8 ? d->rdo8 : bits == 4 ? d->rdo4 : bits == 1 ? d->rdo1 : d->rdoPicture;
}

}  // namespace

TEST(Subtra, LayoutAndKeyboardOrder) {
  TSubtra d;
  // The design's places at the least, top to bottom: texts grown in a
  // language or font push what is under them down and the dialog wider.
  EXPECT_GE(d.width(), 344);
  EXPECT_GE(d.height(), 285);
  EXPECT_EQ(d.minimumSize(), d.maximumSize());
  const std::pair<QWidget*, QPoint> places[] = {{d.lbl1, {16, 16}},      {d.lbl2, {16, 32}},       {d.Bevel1, {16, 56}},
                                                {d.rdoPicture, {136, 72}}, {d.chkDither, {154, 94}}, {d.rdo8, {136, 120}},
                                                {d.rdo4, {136, 144}},    {d.rdo1, {136, 168}},     {d.Label3, {136, 200}},
                                                {d.Bevel2, {16, 232}},   {d.btnOK, {0, 248}}};
  int lastTop = 0;
  for (const auto& [widget, designed] : places) {
    SCOPED_TRACE(widget->objectName().toStdString());
    EXPECT_GE(widget->x(), designed.x());
    EXPECT_GE(widget->y(), std::max(designed.y(), lastTop));
    lastTop = widget->y();
  }
  EXPECT_EQ(d.Image1->geometry().topLeft(), d.Bevel1->geometry().topLeft() + QPoint(8, 10));
  EXPECT_EQ(d.Image1->pixmap().size(), QSize(91, 101));
  // The buttons in a row at the right edge and the bottom.
  EXPECT_EQ(d.btnHelp->geometry().right(), d.width() - 14);
  EXPECT_EQ(d.btnCancel->geometry().right(), d.btnHelp->x() - 6);
  EXPECT_EQ(d.btnOK->geometry().right(), d.btnCancel->x() - 6);
  EXPECT_EQ(d.btnOK->geometry().bottom(), d.height() - 13);
  EXPECT_TRUE(d.btnOK->isDefault());
  EXPECT_EQ(d.btnHelp->cursor().shape(), Qt::WhatsThisCursor);
  EXPECT_TRUE(d.rdoPicture->isChecked());
  EXPECT_TRUE(d.chkDither->isChecked() && d.chkDither->isEnabled());

  const QList<QWidget*> order{d.rdoPicture, d.chkDither, d.rdo8, d.rdo4, d.rdo1, d.btnOK, d.btnCancel, d.btnHelp};
  QList<QWidget*> tabbing;
  for (QWidget* c = d.rdoPicture; tabbing.size() < order.size(); c = c->nextInFocusChain())
    if (c->focusPolicy() & Qt::TabFocus) tabbing.append(c);
  EXPECT_EQ(tabbing, order);
}

// The dialog names the picture's format and speaks the language of the run,
// buttons included; every text is whole: as large as it needs, inside the
// dialog and clear of the others, the largest count of colours too.
TEST(Subtra, TextsNameTheFormatAndFitInEitherLanguage) {
  const struct {
    TLanguage Language;
    const char* Format;
    QStringList Texts;  // title, lbl1, the buttons
  } cases[] = {
      {TLanguage::English, "PNG",
       {"Reducing the colours of a PNG picture", "The opened PNG picture has too many colours.", "&OK", "&Cancel", "&Help"}},
      {TLanguage::Japanese, "PNG", {"PNG画像の減色", "開いたPNG画像は色数が多すぎるようです。", "&OK", "キャンセル(&C)", "ﾍﾙﾌﾟ(&H)"}},
      {TLanguage::Japanese, "BMP", {"BMP画像の減色", "開いたBMP画像は色数が多すぎるようです。"}},
  };
  for (const auto& c : cases) {  // ends in Japanese, as the other tests expect
    SCOPED_TRACE(std::string(c.Format) + (c.Language == TLanguage::English ? " in English" : " in Japanese"));
    InstallTranslations(*qApp, c.Language, QStringLiteral(TOMARU_BIN_DIR "/"));
    TSubtra d(nullptr, QString::fromLatin1(c.Format));
    d.SetColorCount(16777216);
    const QStringList texts{d.windowTitle(), d.lbl1->text(), d.btnOK->text(), d.btnCancel->text(), d.btnHelp->text()};
    EXPECT_EQ(texts.mid(0, c.Texts.size()), c.Texts);
    const QList<QWidget*> shown{d.lbl1, d.lbl2, d.rdoPicture, d.chkDither, d.rdo8,      d.rdo4,
                                d.rdo1, d.Label3, d.lblUseColor, d.btnOK,  d.btnCancel, d.btnHelp};
    for (QWidget* t : shown) {
      SCOPED_TRACE(t->objectName().toStdString());
      EXPECT_GE(t->width(), t->sizeHint().width());
      EXPECT_GE(t->height(), t->sizeHint().height());
      EXPECT_TRUE(d.rect().contains(t->geometry()));
      for (QWidget* other : shown)
        EXPECT_TRUE(other == t || !other->geometry().intersects(t->geometry())) << other->objectName().toStdString();
    }
  }
}

// OK answers the checked choice and keeps it, with the check box, for the
// next time; the check box counts only for the picture's palette.
TEST(Subtra, OkAnswersAndKeepsTheChoice) {
  struct TCase {
    TReduceChoice Opening;
    int Click;  // the choice clicked: bits, or ReducePicturePalette
    bool Dither;
  };
  const TCase cases[] = {{{}, ReducePicturePalette, false},  // nothing kept: the picture's palette, dithered
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
      EXPECT_TRUE(Radio(d, c.Opening.Bits)->isChecked());
      EXPECT_EQ(d->chkDither->isChecked(), c.Opening.Dither);
      EXPECT_EQ(d->chkDither->isEnabled(), Radio(d, c.Opening.Bits) == d->rdoPicture);
      Radio(d, c.Click)->setChecked(true);
      EXPECT_EQ(d->chkDither->isEnabled(), Radio(d, c.Click) == d->rdoPicture);
      d->chkDither->setChecked(c.Dither);
      d->btnOK->click();
    });
    EXPECT_EQ(AskReduceBitsDialog(nullptr, 257, QStringLiteral("BMP"), {}, &choice), std::optional<int>(c.Click));
    EXPECT_EQ(choice.Bits, c.Click);
    EXPECT_EQ(choice.Dither, c.Dither);
  }
}

// Help (its button or F1) opens the topic and leaves the dialog open; the
// cancel button, Escape and the close box each answer nothing and keep the
// earlier choice, whatever was clicked before.
TEST(Subtra, HelpStaysOpenAndCancelEscapeAndCloseBoxAnswerNothing) {
  const std::function<void(TSubtra*)> ways[] = {
      [](TSubtra* d) { d->btnCancel->click(); },
      [](TSubtra* d) { QTest::keyClick(d->rdo1, Qt::Key_Escape); },
      [](TSubtra* d) { d->close(); },
  };
  QStringList topics;
  for (const auto& cancel : ways) {
    WhenShown([cancel](TSubtra* d) {
      d->btnHelp->click();
      QTest::keyClick(d->rdo8, Qt::Key_F1);
      EXPECT_TRUE(d->isVisible());
      d->rdo1->setChecked(true);
      d->chkDither->setChecked(true);
      d->rdo1->setFocus();
      cancel(d);
      EXPECT_FALSE(d->isVisible());
    });
    TReduceChoice kept{4, false};
    const auto help = [&](QWidget* owner, const QString& topic) {
      EXPECT_NE(owner, nullptr);
      topics.append(topic);
    };
    EXPECT_EQ(AskReduceBitsDialog(nullptr, 300, QStringLiteral("PNG"), help, &kept), std::nullopt);
    EXPECT_EQ(kept.Bits, 4);
    EXPECT_FALSE(kept.Dither);
  }
  EXPECT_EQ(topics, QStringList(6, QStringLiteral("loadbmp(function)")));
}
