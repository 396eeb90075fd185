#pragma once
// The palette window: the open GIF's colour table as a grid of swatches; one
// entry is selected with the mouse and can be made the transparent colour.
// A tool window of the main window: above it, below dialogs and other
// programs' windows, fixed in size without minimise or maximise buttons.
#include <QDialog>
#include <QImage>
#include <functional>

#include "document/GifDocument.h"

class QFrame;
class QLabel;
class QPushButton;

// The swatch grid; the picture is drawn by the main window and framed here.
class TPaletteImage : public QWidget {
  Q_OBJECT
 public:
  using QWidget::QWidget;
  QImage Picture;

 signals:
  void MouseUp(Qt::MouseButton button, int x, int y);
  void DoubleClicked();
  // An arrow key: dx, dy in cells.
  void Moved(int dx, int dy);

 protected:
  void paintEvent(QPaintEvent*) override;
  void keyPressEvent(QKeyEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
};

class TPalette : public QDialog {
  Q_OBJECT
 public:
  TPalette(const TGifDocument& doc, QWidget* mainForm);

  // Left, top, right, bottom; right and bottom exclusive.
  QRect SelectionFrame;
  uint8_t SelectedRed = 0, SelectedGreen = 0, SelectedBlue = 0;

  QFrame *pnlPal, *Panel1;
  TPaletteImage* imgPal;
  QLabel *Label1, *lblRGB, *lblIndexTitle, *lblIndex;
  QPushButton *btnOK, *btnClose, *btnHelp;

  // The choice goes to the main window: index and its colour.
  std::function<void(uint8_t index, uint8_t r, uint8_t g, uint8_t b)> OnChoose;
  std::function<void()> OnHelp;

  void imgPalMouseUp(Qt::MouseButton button, int x, int y);
  void SetPoint(uint8_t index);
  void DeleteFrame();
  void btnOKClick();
  void btnCloseClick();
  // Shows the window, centred over the main window the first time; before the
  // main window is shown it waits for it.
  void ShowPalette();
  // The command's way (Ctrl+P): shown, active and the grid focused, so the
  // arrow keys and Return work at once.
  void ShowPaletteFocused();
  bool WaitingForOwner = false;
  // Moves the selection by an arrow key, showing the entry as a click does.
  void MoveSelection(int dx, int dy);

 protected:
  void closeEvent(QCloseEvent* e) override;
  void reject() override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool event(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  // The palette's own button whose mnemonic (Alt+letter) the key is, if any.
  QPushButton* MnemonicButton(const QKeyEvent* e) const;
  bool FocusWhenShown = false;
  void DrawFrame(const QColor& color);
  void FormClose();
  const TGifDocument& Doc;
  bool ShownBefore = false;
};
