#pragma once
// The picture in the left pane. At zoom 1 it takes the picture's own size; at
// other factors the picture is stretched to the view without smoothing, so
// every image pixel becomes a uniform block.
#include <QImage>
#include <QWidget>

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

 signals:
  void Clicked(const QPoint& pos);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  QImage FPicture;
  bool FAutoSize = true;
  bool FStretch = false;
};
