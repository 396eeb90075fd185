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
  if (hasFocus() && !FGrabbing) {
    // A ring just outside the pixel's block, black and white so it shows on any colour.
    const QRect ring = BlockOf(FCursor).adjusted(-1, -1, 0, 0);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(ring);
    p.setPen(QPen(Qt::white, 1));
    p.drawRect(ring.adjusted(-1, -1, 1, 1));
  }
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
      area->ensureVisible(centre.x(), centre.y(), block.width() / 2 + 8, block.height() / 2 + 8);
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
}

void TImageView::focusOutEvent(QFocusEvent* e) {
  QWidget::focusOutEvent(e);
  update();
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
