#include "shell/StatusPanel.h"

#include <QEvent>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace {
const int kPadding = 2;  // between the frame and the text, each side
}

TStatusPanel::TStatusPanel(int designWidth, const QString& longest, QWidget* parent)
    : QLabel(parent), DesignWidth(designWidth), Longest(longest) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
  FitWidth();
}

void TStatusPanel::FitWidth() {
  const int needed = fontMetrics().horizontalAdvance(Longest) + 2 * frameWidth() + 2 * kPadding + 2;
  setFixedWidth(qMax(DesignWidth, needed));
}

int TStatusPanel::TextHeight() const { return fontMetrics().height() + 2 * frameWidth() + 2; }

QSize TStatusPanel::sizeHint() const { return {width(), TextHeight()}; }

QRect TStatusPanel::TextRoom() const { return contentsRect().adjusted(kPadding, 0, -kPadding, 0); }

QString TStatusPanel::ShownText() const {
  return fontMetrics().elidedText(text(), Qt::ElideMiddle, TextRoom().width());
}

bool TStatusPanel::event(QEvent* e) {
  if (e->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(e);
    // A text cut short shows whole; else the panel's own hint, if any.
    const QString tip = IsElided() ? text() : toolTip();
    if (!tip.isEmpty())
      QToolTip::showText(help->globalPos(), tip, this);
    else
      QToolTip::hideText();
    return true;
  }
  return QLabel::event(e);
}

void TStatusPanel::changeEvent(QEvent* e) {
  QLabel::changeEvent(e);
  if (e->type() == QEvent::FontChange || e->type() == QEvent::StyleChange) {
    FitWidth();
    updateGeometry();
  }
}

void TStatusPanel::paintEvent(QPaintEvent* e) {
  QFrame::paintEvent(e);  // the sunken frame
  QPainter p(this);
  p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
  p.drawText(TextRoom(), int(alignment()), ShownText());
}
