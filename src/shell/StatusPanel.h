#pragma once
// A panel of the status bar: a sunken label of fixed width. The width is the
// designed one, or more when the widest text the panel shows needs it in the
// current font; its height follows the font, so no text is clipped at top or
// bottom. A text still wider (a long file name) is shown with "…" in its
// middle and whole in the panel's tooltip; otherwise the tooltip is the
// panel's own hint, where it has one.
#include <QLabel>

class TStatusPanel : public QLabel {
  Q_OBJECT
 public:
  // longest: the widest text the panel is meant to show whole.
  TStatusPanel(int designWidth, const QString& longest, QWidget* parent = nullptr);

  // The text as drawn: whole, or shortened with "…" to fit.
  QString ShownText() const;
  bool IsElided() const { return ShownText() != text(); }
  // The height that holds the font's tallest glyphs.
  int TextHeight() const;
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  bool event(QEvent* e) override;
  void changeEvent(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  void FitWidth();
  QRect TextRoom() const;
  int DesignWidth;
  QString Longest;
};
