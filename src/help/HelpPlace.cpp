#include "help/HelpPlace.h"

#include <QtGlobal>

namespace {
const int kGap = 8;  // between the two windows' frames
}

QRect HelpWindowPlace(const QRect& owner, const QSize& frame, const QRect& available) {
  const int screenRight = available.left() + available.width();  // exclusive
  const int screenBottom = available.top() + available.height();
  const int ownerRight = owner.left() + owner.width();
  const int roomRight = screenRight - ownerRight - kGap;
  const int roomLeft = owner.left() - kGap - available.left();
  int width = frame.width();
  int x;
  if (roomRight >= width) {
    x = ownerRight + kGap;
  } else if (roomLeft >= width) {
    x = owner.left() - kGap - width;
  } else if (qMax(roomRight, roomLeft) >= HelpMinimumWidth) {
    width = qMax(roomRight, roomLeft);
    x = roomRight >= roomLeft ? ownerRight + kGap : owner.left() - kGap - width;
  } else {
    x = screenRight - width;
  }
  x = qMax(x, available.left());
  const int y = qMax(qMin(owner.top(), screenBottom - frame.height()), available.top());
  return QRect(x, y, width, frame.height());
}
