#include "shell/ImageView.h"

#include <QMouseEvent>
#include <QPainter>

TImageView::TImageView(QWidget* parent) : QWidget(parent) {
  setCursor(Qt::CrossCursor);
  resize(0, 0);
}

void TImageView::SetPicture(const QImage& picture) {
  FPicture = picture;
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
  const QImage shown = grab(QRect(pos, QSize(1, 1))).toImage();
  return shown.isNull() ? QColor() : shown.pixelColor(0, 0);
}

TShownPixel TImageView::PixelAt(const QPoint& pos) {
  if (FPicture.isNull() || width() <= 0 || height() <= 0 || !rect().contains(pos))
    return {FromQRgb(ShownColorAt(pos).rgb()), std::nullopt};
  // Drawn at its own size, or stretched over the view with pixel replication.
  const int x = FStretch ? int(int64_t(pos.x()) * FPicture.width() / width()) : pos.x();
  const int y = FStretch ? int(int64_t(pos.y()) * FPicture.height() / height()) : pos.y();
  if (x >= FPicture.width() || y >= FPicture.height()) return {FromQRgb(ShownColorAt(pos).rgb()), std::nullopt};
  TShownPixel pixel{FromQRgb(FPicture.pixel(x, y)), std::nullopt};
  if (FPicture.colorCount() > 0) pixel.Index = FPicture.pixelIndex(x, y);
  return pixel;
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
}

void TImageView::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
    emit Clicked(e->position().toPoint());
}
