#include "shell/ImageView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>

TImageView::TImageView(QWidget* parent) : QWidget(parent) {
  setCursor(Qt::CrossCursor);
  setFocusPolicy(Qt::StrongFocus);
  resize(0, 0);
}

void TImageView::SetPicture(const QImage& picture) {
  FPicture = picture;
  FCursor = QPoint(0, 0);
  if (FAutoSize) resize(FPicture.size());
  update();
}

void TImageView::SetAutoSize(bool on) {
  FAutoSize = on;
  if (on) resize(FPicture.size());
}

void TImageView::SetStretch(bool on) {
  FStretch = on;
  update();
}

QColor TImageView::ShownColorAt(const QPoint& pos) {
  if (!rect().contains(pos)) return palette().color(QPalette::Window);
  FGrabbing = true;
  const QImage shown = grab(QRect(pos, QSize(1, 1))).toImage();
  FGrabbing = false;
  return shown.isNull() ? QColor() : shown.pixelColor(0, 0);
}

TShownPixel TImageView::PixelAt(const QPoint& pos) {
  const std::optional<QPoint> at = PictureCoordinates(pos);
  if (!at) return {FromQRgb(ShownColorAt(pos).rgb()), std::nullopt};
  TShownPixel pixel{FromQRgb(FPicture.pixel(*at)), std::nullopt};
  if (FPicture.colorCount() > 0) pixel.Index = FPicture.pixelIndex(*at);
  return pixel;
}

std::optional<QPoint> TImageView::PictureCoordinates(const QPoint& pos) const {
  if (FPicture.isNull() || width() <= 0 || height() <= 0 || !rect().contains(pos)) return std::nullopt;
  // Drawn at its own size, or stretched over the view with pixel replication.
  const int x = FStretch ? int(int64_t(pos.x()) * FPicture.width() / width()) : pos.x();
  const int y = FStretch ? int(int64_t(pos.y()) * FPicture.height() / height()) : pos.y();
  if (x >= FPicture.width() || y >= FPicture.height()) return std::nullopt;
  return QPoint(x, y);
}

void TImageView::paintEvent(QPaintEvent*) {
  if (FPicture.isNull()) return;
  QPainter p(this);
  // Pixel replication: no smooth transform, so blocks stay uniform.
  p.setRenderHint(QPainter::SmoothPixmapTransform, false);
  if (FStretch)
    p.drawImage(rect(), FPicture);
  else
    p.drawImage(QPoint(0, 0), FPicture);
  if (hasFocus() && !FGrabbing) PaintPickCursor(p);
}

// A ring just outside the pixel's block and four arms pointing at it, black
// edged with white so they show on any colour. The block itself stays
// uncovered. The arms make a one-pixel block easy to find, and at an edge of
// the picture, where the ring's outer side falls outside the view, the arms
// left inside still meet on the pixel.
void TImageView::PaintPickCursor(QPainter& p) const {
  const QRect block = BlockOf(FCursor);
  const auto frame = [&](const QRect& r, const QColor& c) {
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), c);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), c);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height()), c);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), c);
  };
  frame(block.adjusted(-2, -2, 2, 2), Qt::white);
  frame(block.adjusted(-1, -1, 1, 1), Qt::black);
  // Each arm: a black line on the block's middle row or column, white either side.
  constexpr int kGap = 3, kArm = PickCursorArm;
  const QPoint c = block.center();
  const QRect arms[4] = {
      QRect(QPoint(block.left() - kGap - kArm, c.y()), QSize(kArm, 1)),  // left
      QRect(QPoint(block.right() + kGap + 1, c.y()), QSize(kArm, 1)),    // right
      QRect(QPoint(c.x(), block.top() - kGap - kArm), QSize(1, kArm)),   // up
      QRect(QPoint(c.x(), block.bottom() + kGap + 1), QSize(1, kArm)),   // down
  };
  for (const QRect& arm : arms) p.fillRect(arm.adjusted(-1, -1, 1, 1), Qt::white);
  for (const QRect& arm : arms) p.fillRect(arm, Qt::black);
}

QRect TImageView::BlockOf(const QPoint& pixel) const {
  if (!FStretch || FPicture.isNull()) return QRect(pixel, QSize(1, 1));
  const auto edge = [](int i, int view, int picture) { return int(int64_t(i) * view / picture); };
  const int left = edge(pixel.x(), width(), FPicture.width()), right = edge(pixel.x() + 1, width(), FPicture.width());
  const int top = edge(pixel.y(), height(), FPicture.height()), bottom = edge(pixel.y() + 1, height(), FPicture.height());
  return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

QPoint TImageView::ViewPointOf(const QPoint& pixel) const {
  if (!FStretch || FPicture.isNull()) return pixel;
  // The middle of the block maps back to the pixel (PixelAt rounds down).
  return QPoint(int((int64_t(2 * pixel.x() + 1) * width()) / (2 * FPicture.width())),
                int((int64_t(2 * pixel.y() + 1) * height()) / (2 * FPicture.height())));
}

void TImageView::MoveCursor(int dx, int dy) {
  if (FPicture.isNull()) return;
  FCursor = QPoint(qBound(0, FCursor.x() + dx, FPicture.width() - 1), qBound(0, FCursor.y() + dy, FPicture.height() - 1));
  update();
  // The scroll area follows the cursor.
  for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
    if (auto* area = qobject_cast<QScrollArea*>(w)) {
      const QRect block = BlockOf(FCursor);
      const QPoint centre = mapTo(area->widget(), block.center());
      // The arms too, so the whole cursor stays in sight.
      const int reach = 4 + PickCursorArm;
      area->ensureVisible(centre.x(), centre.y(), block.width() / 2 + reach, block.height() / 2 + reach);
      break;
    }
  }
}

void TImageView::keyPressEvent(QKeyEvent* e) {
  const int step = (e->modifiers() & Qt::ShiftModifier) ? 10 : 1;
  switch (e->key()) {
    case Qt::Key_Left: MoveCursor(-step, 0); return;
    case Qt::Key_Right: MoveCursor(step, 0); return;
    case Qt::Key_Up: MoveCursor(0, -step); return;
    case Qt::Key_Down: MoveCursor(0, step); return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
      if (!FPicture.isNull() && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        emit Clicked(ViewPointOf(FCursor));
        return;
      }
      break;
    default: break;
  }
  QWidget::keyPressEvent(e);
}

void TImageView::focusInEvent(QFocusEvent* e) {
  QWidget::focusInEvent(e);
  update();
  if (parentWidget()) parentWidget()->update();  // the ring around it
}

void TImageView::focusOutEvent(QFocusEvent* e) {
  QWidget::focusOutEvent(e);
  update();
  if (parentWidget()) parentWidget()->update();
}

void TImageView::mouseReleaseEvent(QMouseEvent* e) {
  const QPoint pos = e->position().toPoint();
  if (e->button() != Qt::LeftButton || !rect().contains(pos)) return;
  // The pick cursor goes where the mouse picked.
  if (const std::optional<QPoint> at = PictureCoordinates(pos)) {
    FCursor = *at;
    update();
  }
  emit Clicked(pos);
}

TPictureCanvas::TPictureCanvas(QWidget* parent) : QWidget(parent) {
  setAutoFillBackground(true);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
}

void TPictureCanvas::paintEvent(QPaintEvent*) {
  const auto* picture = findChild<TImageView*>();
  if (!picture || !picture->hasFocus()) return;
  QPainter p(this);
  const QRect ring = picture->geometry().adjusted(-Margin, -Margin, Margin, Margin);
  p.setPen(QPen(palette().color(QPalette::Active, QPalette::Highlight), Margin, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  p.drawRect(QRectF(ring).adjusted(Margin / 2.0, Margin / 2.0, -Margin / 2.0, -Margin / 2.0));
}
