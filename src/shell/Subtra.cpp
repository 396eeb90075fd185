#include "shell/Subtra.h"

#include <QCoreApplication>

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QKeyEvent>
#include <algorithm>

#include "reduce/FixedPalettes.h"

namespace {

template <typename W>
W* Place(QWidget* parent, const char* name, int left, int top, int width = 0, int height = 0) {
  W* w = new W(parent);
  w->setObjectName(QLatin1String(name));
  w->move(left, top);
  if (width > 0 && height > 0) w->resize(width, height);
  return w;
}

QLabel* Text(QWidget* parent, const char* name, int left, int top, const QString& text) {
  QLabel* label = Place<QLabel>(parent, name, left, top);
  label->setText(text);
  label->adjustSize();
  return label;
}

QFrame* Bevel(QWidget* parent, const char* name, int left, int top, int width) {
  QFrame* line = Place<QFrame>(parent, name, left, top, width, 2);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  return line;
}

// Many colours becoming few: a smooth band above the same band in the
// sixteen VGA colours, drawn in those colours only.
QPixmap Illustration() {
  QImage picture(91, 101, QImage::Format_Indexed8);
  picture.setColorTable(VgaPalette());
  picture.fill(15);
  static const uchar kRamp[] = {0, 4, 1, 5, 2, 6, 3, 8, 7, 12, 9, 13, 10, 14, 11, 15};
  for (int y = 0; y < 101; ++y) {
    uchar* line = picture.scanLine(y);
    for (int x = 0; x < 91; ++x) {
      const bool border = x < 4 || x > 86 || y < 4 || y > 96 || (y > 46 && y < 54);
      line[x] = border ? 7 : kRamp[(x - 4) * 16 / 83];
    }
  }
  return QPixmap::fromImage(picture);
}

// The count's text; the widest one a picture can have sizes the dialog.
QString ColorCountText(int count) { return QCoreApplication::translate("Subtra", "%1色").arg(count); }

// A choice of the dialog at its place, at least as large as its text needs.
template <typename W>
W* Option(QWidget* parent, const char* name, int left, int top, const QString& text, int width = 0) {
  W* w = Place<W>(parent, name, left, top);
  w->setText(text);
  w->resize(std::max(width, w->sizeHint().width()), std::max(17, w->sizeHint().height()));
  return w;
}

}  // namespace

TSubtra::TSubtra(QWidget* owner, const QString& format) : QDialog(owner) {
  setObjectName(QStringLiteral("Subtra"));
  setWindowTitle(QCoreApplication::translate("Subtra", "%1画像の減色").arg(format));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  // Every part keeps its designed place unless the one above it, grown to
  // hold its text in this language and font, needs more room: then it and
  // everything under it move down together.
  int shift = 0;
  QWidget* above = nullptr;
  const auto below = [&](QWidget* w, int designedTop) {
    const int top = std::max(designedTop + shift, above ? above->geometry().bottom() + 1 : 0);
    shift = top - designedTop;
    w->move(w->x(), top);
    above = w;
    return w;
  };
  lbl1 = Text(this, "lbl1", 16, 16, QCoreApplication::translate("Subtra", "開いた%1画像は色数が多すぎるようです。").arg(format));
  above = lbl1;
  lbl2 = Text(this, "lbl2", 16, 0, QCoreApplication::translate("Subtra", "GIF画像として扱うためには256色以下に減色して下さい。"));
  below(lbl2, 32);
  const int choicesTop = shift;  // the picture and the choices start together
  Image1 = Place<QLabel>(this, "Image1", 24, 66 + choicesTop, 91, 101);
  Image1->setPixmap(Illustration());

  // The picture's own palette comes first, its dithering just below it;
  // the fixed palettes keep their order under them.
  rdoPicture = Option<QRadioButton>(this, "rdoPicture", 136, 0,
                                    QCoreApplication::translate("Subtra", "256色（画像に合わせたﾊﾟﾚｯﾄ）"));
  below(rdoPicture, 72);
  chkDither = Option<QCheckBox>(this, "chkDither", 154, 0, QCoreApplication::translate("Subtra", "ﾃﾞｨｻﾞﾘﾝｸﾞ"));
  below(chkDither, 94);
  chkDither->setChecked(true);
  rdo8 = Option<QRadioButton>(this, "rdo8", 136, 0, QCoreApplication::translate("Subtra", "256色（8bit）"), 169);
  below(rdo8, 120);
  rdo4 = Option<QRadioButton>(this, "rdo4", 136, 0, QCoreApplication::translate("Subtra", "16色（4bit）"), 169);
  below(rdo4, 144);
  rdo1 = Option<QRadioButton>(this, "rdo1", 136, 0, QCoreApplication::translate("Subtra", "2色/白黒（1bit）"), 169);
  below(rdo1, 168);
  auto* group = new QButtonGroup(this);
  for (QRadioButton* r : {rdoPicture, rdo8, rdo4, rdo1}) group->addButton(r);
  rdoPicture->setChecked(true);
  connect(rdoPicture, &QRadioButton::toggled, chkDither, &QCheckBox::setEnabled);

  Label3 = Text(this, "Label3", 136, 0, QCoreApplication::translate("Subtra", "使われている色数 : "));
  below(Label3, 200);
  lblUseColor = Text(this, "lblUseColor", std::max(240, Label3->x() + Label3->width()), Label3->y(), QString());
  const int countWidth = lblUseColor->fontMetrics().horizontalAdvance(ColorCountText(99999999));
  const int bevel2Top = std::max(232 + shift, std::max(Label3->geometry().bottom(), Image1->geometry().bottom()) + 8);
  const int buttonsTop = bevel2Top + 16;

  const auto button = [&](const char* name, const QString& text) {
    auto* b = Option<QPushButton>(this, name, 0, buttonsTop, text, 75);
    b->resize(b->width(), std::max(25, b->sizeHint().height()));
    return b;
  };
  btnOK = button("btnOK", QStringLiteral("&OK"));
  btnOK->setDefault(true);
  btnOK->setCursor(Qt::PointingHandCursor);
  btnCancel = button("btnCancel", QCoreApplication::translate("Subtra", "キャンセル(&C)"));
  btnCancel->setCursor(Qt::PointingHandCursor);
  btnHelp = button("btnHelp", QCoreApplication::translate("Subtra", "ﾍﾙﾌﾟ(&H)"));
  btnHelp->setCursor(Qt::WhatsThisCursor);

  // As wide as the longest text of this language needs, never narrower
  // than the design; the buttons keep to the right edge.
  int width = std::max(344, 16 + btnOK->width() + 5 + btnCancel->width() + 5 + btnHelp->width() + 13);
  for (QWidget* w : {static_cast<QWidget*>(lbl1), static_cast<QWidget*>(lbl2), static_cast<QWidget*>(rdoPicture),
                     static_cast<QWidget*>(chkDither), static_cast<QWidget*>(rdo8), static_cast<QWidget*>(rdo4),
                     static_cast<QWidget*>(rdo1)})
    width = std::max(width, w->x() + w->width() + 16);
  width = std::max(width, lblUseColor->x() + countWidth + 16);
  btnHelp->move(width - 13 - btnHelp->width(), buttonsTop);
  btnCancel->move(btnHelp->x() - 5 - btnCancel->width(), buttonsTop);
  btnOK->move(btnCancel->x() - 5 - btnOK->width(), buttonsTop);
  Bevel1 = Bevel(this, "Bevel1", 16, 56 + choicesTop, width - 31);
  Bevel2 = Bevel(this, "Bevel2", 16, bevel2Top, width - 31);
  setFixedSize(width, btnOK->geometry().bottom() + 13);

  QWidget::setTabOrder(rdoPicture, chkDither);
  QWidget::setTabOrder(chkDither, rdo8);
  QWidget::setTabOrder(rdo8, rdo4);
  QWidget::setTabOrder(rdo4, rdo1);
  QWidget::setTabOrder(rdo1, btnOK);
  QWidget::setTabOrder(btnOK, btnCancel);
  QWidget::setTabOrder(btnCancel, btnHelp);

  connect(btnOK, &QPushButton::clicked, this, [this] {
    btnOKClick();
    accept();
  });
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(btnHelp, &QPushButton::clicked, this, &TSubtra::btnHelpClick);
}

void TSubtra::keyPressEvent(QKeyEvent* event) {
  // F1 opens the same page as the help button, as in the palette window.
  if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
    btnHelpClick();
    return;
  }
  QDialog::keyPressEvent(event);  // Escape cancels, Return confirms
}

void TSubtra::SetColorCount(int count) {
  lblUseColor->setText(ColorCountText(count));
  lblUseColor->adjustSize();
}

void TSubtra::SetChoice(int bits, bool dither) {
  (bits == 8 ? rdo8 : bits == 4 ? rdo4 : bits == 1 ? rdo1 : rdoPicture)->setChecked(true);
  chkDither->setChecked(dither);
}

void TSubtra::btnOKClick() {
  ReduceBits = rdoPicture->isChecked() ? ReducePicturePalette : rdo4->isChecked() ? 4 : rdo1->isChecked() ? 1 : 8;
  Dither = chkDither->isChecked();
}

void TSubtra::btnHelpClick() {
  if (OnHelp) OnHelp(this, QStringLiteral("loadbmp(function)"));
}

std::optional<int> AskReduceBitsDialog(QWidget* owner, int colorCount, const QString& format,
                                       std::function<void(QWidget*, const QString&)> onHelp,
                                       TReduceChoice* choice) {
  TSubtra dialog(owner, format);
  dialog.OnHelp = std::move(onHelp);
  dialog.SetColorCount(colorCount);
  const TReduceChoice opening = choice ? *choice : TReduceChoice{};
  dialog.SetChoice(opening.Bits, opening.Dither);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  if (choice) *choice = {dialog.ReduceBits, dialog.Dither};
  return dialog.ReduceBits;
}
