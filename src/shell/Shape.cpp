#include "shell/Shape.h"

#include <QPainter>

TShape::TShape(QWidget* parent) : QWidget(parent) {
  setFixedSize(20, 20);
  setCursor(Qt::PointingHandCursor);
}

void TShape::SetColor(std::optional<QColor> color) {
  FColor = color;
  update();
}

void TShape::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::black, 1));
  const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  if (FColor) {
    p.setBrush(*FColor);
    p.drawRoundedRect(r, 5, 5);
  } else {
    p.setBrush(Qt::white);
    p.drawRoundedRect(r, 5, 5);
    p.setBrush(QBrush(Qt::black, Qt::DiagCrossPattern));
    p.drawRoundedRect(r, 5, 5);
  }
}
