#include "shell/Subtra.h"

#include <QCoreApplication>

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
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

}  // namespace

TSubtra::TSubtra(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("Subtra"));
  setWindowTitle(QCoreApplication::translate("Subtra", "BMP画像の減色"));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  lbl1 = Text(this, "lbl1", 16, 16, QCoreApplication::translate("Subtra", "開いたBMP画像は色数が多すぎるようです。"));
  lbl2 = Text(this, "lbl2", 16, 32,
              QCoreApplication::translate("Subtra", "GIF画像として扱うためには256色以下に減色して下さい。"));
  Image1 = Place<QLabel>(this, "Image1", 24, 66, 91, 101);
  Image1->setPixmap(Illustration());

  // The picture's own palette comes first, its dithering just below it;
  // the fixed palettes keep their order under them.
  rdoPicture = Place<QRadioButton>(this, "rdoPicture", 136, 72);
  rdoPicture->setText(QCoreApplication::translate("Subtra", "256色（画像に合わせたﾊﾟﾚｯﾄ）"));
  rdoPicture->resize(rdoPicture->sizeHint().width(), 17);
  chkDither = Place<QCheckBox>(this, "chkDither", 154, 94);
  chkDither->setText(QCoreApplication::translate("Subtra", "ﾃﾞｨｻﾞﾘﾝｸﾞ"));
  chkDither->resize(chkDither->sizeHint().width(), 17);
  chkDither->setChecked(true);
  rdo8 = Place<QRadioButton>(this, "rdo8", 136, 120, 169, 17);
  rdo8->setText(QCoreApplication::translate("Subtra", "256色（8bit）"));
  rdo4 = Place<QRadioButton>(this, "rdo4", 136, 144, 169, 17);
  rdo4->setText(QCoreApplication::translate("Subtra", "16色（4bit）"));
  rdo1 = Place<QRadioButton>(this, "rdo1", 136, 168, 169, 17);
  rdo1->setText(QCoreApplication::translate("Subtra", "2色/白黒（1bit）"));
  auto* group = new QButtonGroup(this);
  for (QRadioButton* r : {rdoPicture, rdo8, rdo4, rdo1}) group->addButton(r);
  rdoPicture->setChecked(true);
  connect(rdoPicture, &QRadioButton::toggled, chkDither, &QCheckBox::setEnabled);

  Label3 = Text(this, "Label3", 136, 200, QCoreApplication::translate("Subtra", "使われている色数 : "));
  lblUseColor = Text(this, "lblUseColor", 240, 200, QString());

  // As wide as the longest choice needs, never narrower than before.
  const int width = std::max(344, rdoPicture->x() + rdoPicture->width() + 16);
  Bevel1 = Bevel(this, "Bevel1", 16, 56, width - 31);
  Bevel2 = Bevel(this, "Bevel2", 16, 232, width - 31);
  btnOK = Place<QPushButton>(this, "btnOK", width - 248, 248, 75, 25);
  btnOK->setText(QStringLiteral("&OK"));
  btnOK->setDefault(true);
  btnOK->setCursor(Qt::PointingHandCursor);
  btnCancel = Place<QPushButton>(this, "btnCancel", width - 168, 248, 75, 25);
  btnCancel->setText(QStringLiteral("&Cancel"));
  btnCancel->setCursor(Qt::PointingHandCursor);
  btnHelp = Place<QPushButton>(this, "btnHelp", width - 88, 248, 75, 25);
  btnHelp->setText(QStringLiteral("&Help"));
  btnHelp->setCursor(Qt::WhatsThisCursor);
  setFixedSize(width, 285);

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

void TSubtra::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    event->ignore();
    return;
  }
  QDialog::keyPressEvent(event);
}

std::optional<int> AskReduceBitsDialog(QWidget* owner, int colorCount,
                                       std::function<void(QWidget*, const QString&)> onHelp,
                                       TReduceChoice* choice) {
  TSubtra dialog(owner);
  dialog.OnHelp = std::move(onHelp);
  dialog.lblUseColor->setText(QCoreApplication::translate("Subtra", "%1色").arg(colorCount));
  dialog.lblUseColor->adjustSize();
  const TReduceChoice opening = choice ? *choice : TReduceChoice{};
  dialog.SetChoice(opening.Bits, opening.Dither);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  if (choice) *choice = {dialog.ReduceBits, dialog.Dither};
  return dialog.ReduceBits;
}
