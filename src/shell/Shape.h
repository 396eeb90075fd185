#pragma once
// A rounded-square colour swatch; without a colour it shows a white
// diagonal cross-hatch, which stands for "no transparent colour".
#include <QColor>
#include <QWidget>
#include <optional>

class TShape : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString Hint READ toolTip WRITE setToolTip)
 public:
  explicit TShape(QWidget* parent = nullptr);
  void SetColor(std::optional<QColor> color);
  std::optional<QColor> Color() const { return FColor; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  std::optional<QColor> FColor = QColor(Qt::white);
};
