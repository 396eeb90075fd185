#include "shell/AboutBox.h"

#include <QCoreApplication>

#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QUrl>
#include <memory>

#include "BuildInfo.h"
#include "shell/HintPause.h"
#include "shell/Icons.h"
#include "help/MemoryStatus.h"

namespace AboutInfo {
const char* const MakerName = "Tomaru Team";
const char* const MakerPage = "https://tomaru.invalid/";
const char* const MakerMail = "info@tomaru.invalid";
const char* const IconAuthorPage = "https://tomaru.invalid/icons/";
const char* const MaterialsPage = "https://tomaru.invalid/materials/";
}  // namespace AboutInfo

namespace {

const QColor kMaroon(128, 0, 0);
const QColor kNavy(0, 0, 128);
const QColor kGrey(102, 102, 102);

// The box's border: a 1-pixel black outline on white over the whole box.
class TBorderShape : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setPen(Qt::black);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
  }
};

void Colour(QLabel* label, const QColor& colour) {
  QPalette p = label->palette();
  p.setColor(QPalette::WindowText, colour);
  label->setPalette(p);
}

void Bold(QLabel* label) {
  QFont f = label->font();
  f.setBold(true);
  label->setFont(f);
  label->adjustSize();  // bold text is wider
}

}  // namespace

TAboutBox::TAboutBox(QWidget* owner) : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QCoreApplication::translate("AboutBox", "このｿﾌﾄｳｪｱについて"));
  setFixedSize(398, 256);
  // The layout is fixed in pixels, so its text is too, whatever the desktop's size.
  QFont small = font();
  small.setPixelSize(11);
  setFont(small);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
  setAutoFillBackground(true);

  Shape1 = new TBorderShape(this);
  Shape1->setObjectName(QStringLiteral("Shape1"));
  Shape1->setGeometry(0, 0, 398, 256);

  Image1 = new QLabel(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setPixmap(ProgramIcon().pixmap(32, 32));
  Image1->setGeometry(32, 16, 32, 32);

  lbltitle = AddLabel("lbltitle", QStringLiteral("Tomaru ver " TOMARU_VERSION), 79, 25);
  Bold(lbltitle);
  Bevel3 = AddBevel("Bevel3", 56);

  Label11 = AddLabel("Label11", QStringLiteral("Special Thanks :"), 24, 65);
  Colour(Label11, kMaroon);
  Bold(Label11);
  lblTo = AddLabel("lblTo", QString(), 160, 64);
  lblTo->setWordWrap(true);
  Colour(lblTo, kNavy);
  Bold(lblTo);

  Label12 = AddLabel("Label12", QStringLiteral("* Software ICON :"), 32, 93);
  Colour(Label12, kGrey);
  lblURL5 = AddLink("lblURL5", QString::fromLatin1(AboutInfo::IconAuthorPage), 187, 93);
  Label7 = AddLabel("Label7", QStringLiteral("* Software Materials :"), 32, 108);
  Colour(Label7, kGrey);
  lblURL9 = AddLink("lblURL9", QString::fromLatin1(AboutInfo::MaterialsPage), 187, 108);

  Bevel1 = AddBevel("Bevel1", 176);
  Label6 = AddLabel("Label6", QStringLiteral("Memory Available :"), 24, 185);
  Colour(Label6, kMaroon);
  Bold(Label6);
  lblMemory = AddLabel("lblMemory", QString(), 200, 185);
  lblMemory->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  Colour(lblMemory, Qt::black);
  Bold(lblMemory);
  Bevel2 = AddBevel("Bevel2", 207);

  lblURL6 = AddLink("lblURL6", QString::fromLatin1(AboutInfo::MakerName), 319, 216);
  lblURL7 = AddLink("lblURL7", QStringLiteral("mailto:") + QString::fromLatin1(AboutInfo::MakerMail), 238, 233);

  // Sizes fixed by the layout; the other labels fit their text.
  lblTo->setGeometry(160, 64, 216, 17);
  lblMemory->setGeometry(200, 185, 176, 14);

  for (QLabel* closer : {lbltitle, Label6, Label11, lblTo, lblURL6, lblURL7}) closer->installEventFilter(this);
  Shape1->installEventFilter(this);

  tmrMemory = new QTimer(this);
  tmrMemory->setObjectName(QStringLiteral("tmrMemory"));
  tmrMemory->setInterval(500);
  connect(tmrMemory, &QTimer::timeout, this, &TAboutBox::tmrMemoryTimer);
  tmrMemory->start();
}

QLabel* TAboutBox::AddLabel(const char* name, const QString& text, int x, int y) {
  auto* label = new QLabel(text, this);
  label->setObjectName(QString::fromLatin1(name));
  label->move(x, y);
  label->adjustSize();
  return label;
}

QLabel* TAboutBox::AddLink(const char* name, const QString& text, int x, int y) {
  QLabel* label = AddLabel(name, text, x, y);
  Colour(label, kNavy);
  QFont f = label->font();
  f.setUnderline(true);
  label->setFont(f);
  label->setCursor(Qt::PointingHandCursor);
  label->adjustSize();
  return label;
}

QFrame* TAboutBox::AddBevel(const char* name, int y) {
  auto* bevel = new QFrame(this);
  bevel->setObjectName(QString::fromLatin1(name));
  bevel->setFrameStyle(QFrame::HLine | QFrame::Sunken);
  bevel->setGeometry(16, y, 369, 2);
  return bevel;
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress) {
    auto* e = static_cast<QMouseEvent*>(event);
    if (e->button() == Qt::LeftButton) FPressed = watched;
  } else if (event->type() == QEvent::MouseButtonRelease) {
    auto* e = static_cast<QMouseEvent*>(event);
    auto* w = static_cast<QWidget*>(watched);
    // A click is a left press and release on the same control, inside it.
    const bool click = e->button() == Qt::LeftButton && FPressed == watched && w->rect().contains(e->position().toPoint());
    if (e->button() == Qt::LeftButton) FPressed = nullptr;
    if (click) {
      if (watched == lbltitle) lbltitleClick();
      if (watched == lblURL6) lblURL6Click();
      if (watched == lblURL7) lblURL7Click(watched);
    }
    Shape1MouseUp();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TAboutBox::tmrMemoryTimer() { lblMemory->setText(MemoryFreeText(AvailablePhysicalMemory())); }

void TAboutBox::Shape1MouseUp() { accept(); }

void TAboutBox::lbltitleClick() { accept(); }

void TAboutBox::lblURL6Click() { QDesktopServices::openUrl(QUrl(QString::fromLatin1(AboutInfo::MakerPage))); }

void TAboutBox::lblURL7Click(QObject* sender) {
  if (auto* label = qobject_cast<QLabel*>(sender)) QDesktopServices::openUrl(QUrl(label->text()));
}

void TAboutBox::done(int result) {
  FormClose();
  QDialog::done(result);
}

void TAboutBox::FormClose() { SetHintHidePause(2000); }

void ShowAboutBox(QWidget* owner) {
  // Released when it has closed, also when showing it failed.
  auto box = std::make_unique<TAboutBox>(owner);
  if (owner) {
    const QRect area = owner->window()->frameGeometry();
    box->move(area.center() - QPoint(box->width() / 2, box->height() / 2));
  }
  box->exec();
}
