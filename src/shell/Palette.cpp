#include "shell/Palette.h"

#include <QCoreApplication>

#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include "document/PaletteGrid.h"

void TPaletteImage::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, Picture);
}

void TPaletteImage::mouseReleaseEvent(QMouseEvent* e) {
  const QPoint pos = e->position().toPoint();
  emit MouseUp(e->button(), pos.x(), pos.y());
}

void TPaletteImage::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) emit DoubleClicked();
}

void TPaletteImage::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_Left: emit Moved(-1, 0); return;
    case Qt::Key_Right: emit Moved(1, 0); return;
    case Qt::Key_Up: emit Moved(0, -1); return;
    case Qt::Key_Down: emit Moved(0, 1); return;
    default: QWidget::keyPressEvent(e);  // Return reaches the dialog's default button
  }
}

TPalette::TPalette(const TGifDocument& doc, QWidget* mainForm)
    : QDialog(mainForm, Qt::Tool | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      Doc(doc) {
  setObjectName(QStringLiteral("Palette"));
  setWindowTitle(QCoreApplication::translate("Palette", "ﾊﾟﾚｯﾄ情報"));
  setFixedSize(323, 335);
  setModal(false);

  pnlPal = new QFrame(this);
  pnlPal->setObjectName(QStringLiteral("pnlPal"));
  pnlPal->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  pnlPal->setGeometry(0, 0, 323, 273);
  imgPal = new TPaletteImage(pnlPal);
  imgPal->setObjectName(QStringLiteral("imgPal"));
  imgPal->setGeometry(1, 1, PaletteGridWidth, PaletteGridHeight);
  imgPal->setFocusPolicy(Qt::StrongFocus);
  imgPal->Picture = QImage(PaletteGridWidth, PaletteGridHeight, QImage::Format_RGB32);
  imgPal->Picture.fill(Qt::white);

  Panel1 = new QFrame(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel1->setGeometry(0, 273, 323, 32);
  const auto label = [this](const char* name, const QString& text, int x) {
    auto* l = new QLabel(text, Panel1);
    l->setObjectName(QString::fromLatin1(name));
    l->move(x, 9);
    l->setMinimumWidth(x == 50 ? 150 : 0);
    return l;
  };
  Label1 = label("Label1", QCoreApplication::translate("Palette", "色情報"), 10);
  lblRGB = label("lblRGB", QString(), 50);
  lblIndexTitle = label("lblIndexTitle", QStringLiteral("Index"), 210);
  lblIndex = label("lblIndex", QString(), 242);
  lblIndex->setMinimumWidth(40);

  const auto button = [this](const char* name, const QString& text, QRect where) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(where);
    b->setCursor(Qt::PointingHandCursor);
    b->setAutoDefault(false);
    return b;
  };
  btnHelp = button("btnHelp", QCoreApplication::translate("Palette", "ﾍﾙﾌﾟ(&H)"), QRect(1, 308, 75, 25));
  btnHelp->setCursor(Qt::WhatsThisCursor);
  btnOK = button("btnOK", QCoreApplication::translate("Palette", "透過色に指定(&T)"), QRect(118, 308, 121, 25));
  btnOK->setDefault(true);
  btnClose = button("btnClose", QCoreApplication::translate("Palette", "閉じる(&C)"), QRect(246, 308, 75, 25));

  connect(imgPal, &TPaletteImage::MouseUp, this, &TPalette::imgPalMouseUp);
  connect(imgPal, &TPaletteImage::DoubleClicked, this, &TPalette::btnOKClick);
  connect(imgPal, &TPaletteImage::Moved, this, &TPalette::MoveSelection);
  connect(btnOK, &QPushButton::clicked, this, &TPalette::btnOKClick);
  connect(btnClose, &QPushButton::clicked, this, &TPalette::btnCloseClick);
  connect(btnHelp, &QPushButton::clicked, this, [this] {
    if (OnHelp) OnHelp();
  });
}

void TPalette::imgPalMouseUp(Qt::MouseButton button, int x, int y) {
  if (button != Qt::LeftButton) return;
  const int index = PaletteHitTest(x, y, Doc.ColorCount);
  if (index < 0) return;
  DeleteFrame();
  SelectionFrame = SelectionFrameOf(index);
  const TColor c = Doc.PaletteColors[index];
  SelectedRed = RedOf(c);
  SelectedGreen = GreenOf(c);
  SelectedBlue = BlueOf(c);
  lblRGB->setText(QStringLiteral("R : %1  G : %2  B : %3").arg(SelectedRed).arg(SelectedGreen).arg(SelectedBlue));
  lblIndex->setText(QString::number(index));
  DrawFrame(QColor(255, 0, 0));
}

void TPalette::MoveSelection(int dx, int dy) {
  bool ok = false;
  const int current = lblIndex->text().toInt(&ok);
  const int index = MovePaletteSelection(ok ? current : -1, dx, dy, Doc.ColorCount);
  if (index >= 0) SetPoint(uint8_t(index));
}

void TPalette::SetPoint(uint8_t index) { imgPalMouseUp(Qt::LeftButton, 20 * (index % 16), 15 * (index / 16)); }

void TPalette::DeleteFrame() { DrawFrame(Qt::white); }

void TPalette::DrawFrame(const QColor& color) {
  if (SelectionFrame.isNull()) return;
  QPainter p(&imgPal->Picture);
  p.setPen(QPen(color, 1));
  p.setBrush(Qt::NoBrush);
  // A 1-pixel ring on the frame's outermost pixels.
  p.drawRect(SelectionFrame.adjusted(0, 0, -1, -1));
  p.end();
  imgPal->update();
}

void TPalette::btnOKClick() {
  bool ok = false;
  const int number = lblIndex->text().toInt(&ok);
  const uint8_t index = ok ? uint8_t(number) : 0;
  if (OnChoose) OnChoose(index, SelectedRed, SelectedGreen, SelectedBlue);
  close();
}

void TPalette::btnCloseClick() {
  WaitingForOwner = false;
  close();
}

void TPalette::ShowPalette() {
  // An owned window shows with its owner: asked for before the main window is
  // on screen (an image opened at start-up), it waits for it, so the window
  // system knows whose tool window it is.
  if (QWidget* owner = parentWidget(); owner && !owner->isVisible()) {
    if (!WaitingForOwner) owner->installEventFilter(this);
    WaitingForOwner = true;
    return;
  }
  if (!ShownBefore && parentWidget()) {
    const QRect owner = parentWidget()->frameGeometry();
    move(owner.center() - QPoint(width() / 2, height() / 2));
  }
  ShownBefore = true;
  show();
  raise();
  if (FocusWhenShown) {
    FocusWhenShown = false;
    activateWindow();
    imgPal->setFocus(Qt::ShortcutFocusReason);
  }
}

void TPalette::ShowPaletteFocused() {
  FocusWhenShown = true;
  ShowPalette();
}

QPushButton* TPalette::MnemonicButton(const QKeyEvent* e) const {
  if ((e->modifiers() & ~Qt::KeypadModifier) != Qt::AltModifier) return nullptr;
  const QKeySequence pressed(e->modifiers() | e->key());
  for (QPushButton* b : {btnOK, btnHelp, btnClose})
    if (b->isVisible() && b->isEnabled() && QKeySequence::mnemonic(b->text()) == pressed) return b;
  return nullptr;
}

// The main window's mnemonics (its check box, its menu titles) and F1 would
// answer keys meant for the palette while it is active: the palette claims
// its own keys before any shortcut is looked up.
bool TPalette::event(QEvent* e) {
  if (e->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(e);
    if (MnemonicButton(key) || key->key() == Qt::Key_F1) {
      e->accept();
      return true;
    }
  }
  return QDialog::event(e);
}

void TPalette::keyPressEvent(QKeyEvent* e) {
  if (QPushButton* b = MnemonicButton(e)) {
    b->click();  // the grid keeps the focus, so the arrows go on working
    return;
  }
  // Home and End: the first and the last entry.
  if ((e->key() == Qt::Key_Home || e->key() == Qt::Key_End) && Doc.ColorCount > 0) {
    SetPoint(uint8_t(e->key() == Qt::Key_Home ? 0 : Doc.ColorCount - 1));
    return;
  }
  if (e->key() == Qt::Key_F1 && e->modifiers() == Qt::NoModifier) {
    if (OnHelp) OnHelp();
    return;
  }
  QDialog::keyPressEvent(e);
}

bool TPalette::eventFilter(QObject* watched, QEvent* event) {
  if (WaitingForOwner && watched == parentWidget() && event->type() == QEvent::Show) {
    WaitingForOwner = false;
    watched->removeEventFilter(this);
    // After the owner's own show has finished.
    QTimer::singleShot(0, this, [this] {
      if (parentWidget() && parentWidget()->isVisible()) ShowPalette();
    });
  }
  return QDialog::eventFilter(watched, event);
}

void TPalette::closeEvent(QCloseEvent* e) {
  FormClose();
  QDialog::closeEvent(e);
}

void TPalette::reject() {
  FormClose();
  QDialog::reject();
}

void TPalette::FormClose() { DeleteFrame(); }
