#pragma once
// The colour-reduction dialog: asks for the depth a BMP of too many colours
// is reduced to.
#include <QDialog>
#include <cstdint>
#include <functional>
#include <optional>

class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;

class TSubtra : public QDialog {
  Q_OBJECT
 public:
  explicit TSubtra(QWidget* owner = nullptr);

  QLabel *lbl1, *lbl2, *Label3, *lblUseColor, *Image1;
  QFrame *Bevel1, *Bevel2;
  QRadioButton *rdo8, *rdo4, *rdo1;
  QPushButton *btnOK, *btnCancel, *btnHelp;

  // The depth confirmed with OK: 8, 4 or 1.
  uint8_t ReduceBits = 8;
  // Opens the help topic; the window that owns the help sets it.
  std::function<void(QWidget* owner, const QString& topic)> OnHelp;

  void btnOKClick();
  void btnHelpClick();

 protected:
  // Escape does not cancel; only the Cancel button and the close box do.
  void keyPressEvent(QKeyEvent* event) override;
};

// Shows the dialog modally over owner for a picture of colorCount colours
// with 256 colours preselected: the chosen depth, or nothing on cancel.
std::optional<int> AskReduceBitsDialog(QWidget* owner, int colorCount,
                                       std::function<void(QWidget*, const QString&)> onHelp);
