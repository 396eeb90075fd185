#pragma once
// The colour-reduction dialog: asks how a picture of too many colours is
// reduced: a palette made for the picture (dithered or not), or one of the
// three fixed palettes. It names the picture's format and grows to hold its
// texts in either language; Escape cancels it like its cancel button.
#include <QDialog>
#include <cstdint>
#include <functional>
#include <optional>

#include "reduce/BmpToGif.h"

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;

class TSubtra : public QDialog {
  Q_OBJECT
 public:
  // format: "BMP", "PNG" or "JPEG", as the title and the text name it.
  explicit TSubtra(QWidget* owner = nullptr, const QString& format = QStringLiteral("BMP"));

  QLabel *lbl1, *lbl2, *Label3, *lblUseColor, *Image1;
  QFrame *Bevel1, *Bevel2;
  QRadioButton *rdoPicture, *rdo8, *rdo4, *rdo1;
  QCheckBox* chkDither;  // only for the picture's own palette
  QPushButton *btnOK, *btnCancel, *btnHelp;

  // The choice confirmed with OK: ReducePicturePalette, 8, 4 or 1.
  uint8_t ReduceBits = ReducePicturePalette;
  bool Dither = true;

  // Checks the radio button of bits (the picture's palette for any other value).
  void SetChoice(int bits, bool dither);
  // Opens the help topic; the window that owns the help sets it.
  std::function<void(QWidget* owner, const QString& topic)> OnHelp;

  // The count of colours used, beside its label.
  void SetColorCount(int count);

  void btnOKClick();
  void btnHelpClick();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

// The dialog's choice, kept between runs in property.ini.
struct TReduceChoice {
  int Bits = ReducePicturePalette;
  bool Dither = true;
};

// Shows the dialog modally over owner for a picture of colorCount colours in
// format, opening on choice; OK stores the new choice there and answers its
// bits, cancel answers nothing and leaves it.
std::optional<int> AskReduceBitsDialog(QWidget* owner, int colorCount, const QString& format,
                                       std::function<void(QWidget*, const QString&)> onHelp,
                                       TReduceChoice* choice = nullptr);
