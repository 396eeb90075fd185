#pragma once
// The picture in the left pane. At zoom 1 it takes the picture's own size; at
// other factors the picture is stretched to the view without smoothing, so
// every image pixel becomes a uniform block. Focused (Tab or a click), a pick
// cursor marks one picture pixel: the arrow keys move it (Shift: ten pixels),
// Return or Space picks that pixel as a click on it does. The cursor is a
// ring around the pixel's block with arms pointing at it.
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <optional>

#include "choice/Choice.h"

class TImageView : public QWidget {
  Q_OBJECT
 public:
  explicit TImageView(QWidget* parent = nullptr);

  void SetPicture(const QImage& picture);
  const QImage& Picture() const { return FPicture; }
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool on);
  bool Stretch() const { return FStretch; }
  void SetStretch(bool on);
  // The colour the view shows at a point of its own, as drawn on screen.
  QColor ShownColorAt(const QPoint& pos);
  // The picture's pixel under a point of the view, mapped back through the
  // zoom: its colour, and its palette entry when the picture is indexed.
  TShownPixel PixelAt(const QPoint& pos);
  // The picture pixel under the pick cursor, and the point of the view a
  // click on it would be at (the middle of its block).
  QPoint PickCursor() const { return FCursor; }
  QPoint ViewPointOf(const QPoint& pixel) const;
  // How far each arm of the pick cursor reaches, in view pixels.
  static constexpr int PickCursorArm = 6;

 signals:
  void Clicked(const QPoint& pos);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;

 private:
  void MoveCursor(int dx, int dy);
  void PaintPickCursor(QPainter& p) const;
  // The picture pixel under a point of the view, if any.
  std::optional<QPoint> PictureCoordinates(const QPoint& pos) const;
  QRect BlockOf(const QPoint& pixel) const;
  QPoint FCursor;
  bool FGrabbing = false;  // the cursor is not part of the colour shown
  QImage FPicture;
  bool FAutoSize = true;
  bool FStretch = false;
};

// The white pane's ground under the picture, a margin wide on every side. It
// rings the picture in the highlight colour while the picture has the focus,
// as plain a mark as a spin box's, outside the pixels that are picked.
class TPictureCanvas : public QWidget {
  Q_OBJECT
 public:
  static constexpr int Margin = 2;
  explicit TPictureCanvas(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent*) override;
};
