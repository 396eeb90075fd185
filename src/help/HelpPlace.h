#pragma once
// Where the help window opens: beside the window that asked for it.
#include <QRect>
#include <QSize>

// The frame of a help window of frame size frame next to owner (its frame),
// in screen coordinates: to its right, else to its left, top edges level,
// narrowed to the wider side's room when neither takes it whole (down to
// HelpMinimumWidth); against the screen's right edge when even that is too
// little. Always wholly inside available (the screen less its panels) when it
// fits there.
constexpr int HelpMinimumWidth = 400;
QRect HelpWindowPlace(const QRect& owner, const QSize& frame, const QRect& available);
