#pragma once
// The About box: program icon, title and version, credits, free physical
// memory refreshed twice a second, and two links to the maker.
#include <QDialog>

class QFrame;
class QLabel;
class QTimer;

// The maker shown in the box and the addresses it links to.
namespace AboutInfo {
extern const char* const MakerName;
extern const char* const MakerPage;
extern const char* const MakerMail;      // without "mailto:"
extern const char* const IconAuthorPage;
extern const char* const MaterialsPage;
}  // namespace AboutInfo

class TAboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutBox(QWidget* owner = nullptr);

  QWidget* Shape1;
  QLabel* Image1;
  QLabel* lbltitle;
  QFrame* Bevel3;
  QLabel* Label11;
  QLabel* lblTo;
  QLabel* Label12;
  QLabel* lblURL5;
  QLabel* Label7;
  QLabel* lblURL9;
  QFrame* Bevel1;
  QLabel* Label6;
  QLabel* lblMemory;
  QFrame* Bevel2;
  QLabel* lblURL6;
  QLabel* lblURL7;
  QTimer* tmrMemory;

  void tmrMemoryTimer();
  void Shape1MouseUp();
  void lbltitleClick();
  void lblURL6Click();
  void lblURL7Click(QObject* sender);

  void done(int result) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormClose();
  QLabel* AddLabel(const char* name, const QString& text, int x, int y);
  QLabel* AddLink(const char* name, const QString& text, int x, int y);
  QFrame* AddBevel(const char* name, int y);

  QObject* FPressed = nullptr;  // the control a left-button press began on
};

// actAbout: a new box, centred over owner, shown modally and released after.
void ShowAboutBox(QWidget* owner);
