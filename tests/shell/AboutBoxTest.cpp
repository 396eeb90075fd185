// The About box: its layout, the labels that close it and those that do not,
// the links, the memory figure and the tooltip time after closing.
#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "shell/AboutBox.h"
#include "shell/HintPause.h"

namespace {

class TLinkRecorder : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> Opened;
 public slots:
  void Open(const QUrl& url) { Opened.append(url); }
};

class AboutBox : public ::testing::Test {
 protected:
  void SetUp() override {
    QDesktopServices::setUrlHandler("https", &Links, "Open");
    QDesktopServices::setUrlHandler("mailto", &Links, "Open");
    Box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Box));
  }
  void TearDown() override {
    QDesktopServices::unsetUrlHandler("https");
    QDesktopServices::unsetUrlHandler("mailto");
  }
  // A left click in the middle of the control.
  void Click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }

  TLinkRecorder Links;
  TAboutBox Box;
};

}  // namespace

TEST_F(AboutBox, LayoutAndTexts) {
  EXPECT_TRUE(Box.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(Box.size(), QSize(398, 256));
  EXPECT_EQ(Box.windowTitle(), "このｿﾌﾄｳｪｱについて");
  EXPECT_EQ(Box.Shape1->geometry(), QRect(0, 0, 398, 256));
  EXPECT_EQ(Box.Image1->geometry(), QRect(32, 16, 32, 32));
  EXPECT_FALSE(Box.Image1->pixmap().isNull());
  const struct {
    QWidget* W;
    QPoint At;
  } places[] = {{Box.lbltitle, {79, 25}}, {Box.Label11, {24, 65}}, {Box.lblTo, {160, 64}},
                {Box.Label12, {32, 93}},  {Box.lblURL5, {187, 93}}, {Box.Label7, {32, 108}},
                {Box.lblURL9, {187, 108}}, {Box.Label6, {24, 185}}, {Box.lblMemory, {200, 185}},
                {Box.lblURL6, {319, 216}}, {Box.lblURL7, {238, 233}}};
  for (const auto& p : places) EXPECT_EQ(p.W->pos(), p.At) << p.W->objectName().toStdString();
  for (QFrame* bevel : {Box.Bevel3, Box.Bevel1, Box.Bevel2}) EXPECT_EQ(bevel->size(), QSize(369, 2));
  EXPECT_EQ(Box.Bevel3->pos(), QPoint(16, 56));
  EXPECT_EQ(Box.Bevel1->pos(), QPoint(16, 176));
  EXPECT_EQ(Box.Bevel2->pos(), QPoint(16, 207));
  EXPECT_EQ(Box.lblTo->size(), QSize(216, 17));
  EXPECT_EQ(Box.lblMemory->size(), QSize(176, 14));

  EXPECT_EQ(Box.lbltitle->text(), "Tomaru ver 1.00");
  EXPECT_TRUE(Box.lbltitle->font().bold());
  EXPECT_EQ(Box.Label11->text(), "Special Thanks :");
  EXPECT_EQ(Box.Label12->text(), "* Software ICON :");
  EXPECT_EQ(Box.Label7->text(), "* Software Materials :");
  EXPECT_EQ(Box.Label6->text(), "Memory Available :");
  EXPECT_TRUE(Box.lblTo->text().isEmpty());
  EXPECT_TRUE(Box.lblURL7->text().startsWith("mailto:"));
  EXPECT_EQ(Box.Label11->palette().color(QPalette::WindowText), QColor(128, 0, 0));
  EXPECT_EQ(Box.lblTo->palette().color(QPalette::WindowText), QColor(0, 0, 128));
  EXPECT_EQ(Box.Label12->palette().color(QPalette::WindowText), QColor(102, 102, 102));
  for (QLabel* link : {Box.lblURL5, Box.lblURL9, Box.lblURL6, Box.lblURL7}) {
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_LE(link->geometry().right(), 397) << link->objectName().toStdString();
  }
  // Nothing reaches over the border line.
  for (QWidget* w : Box.findChildren<QWidget*>())
    if (w != Box.Shape1) EXPECT_TRUE(QRect(1, 1, 396, 254).contains(w->geometry())) << w->objectName().toStdString();
}

TEST_F(AboutBox, ClosingLabelsClose) {
  for (const char* name : {"Shape1", "lbltitle", "Label6", "Label11", "lblTo"}) {
    TAboutBox box;
    box.show();
    auto* w = box.findChild<QWidget*>(name);
    ASSERT_TRUE(w) << name;
    // Shape1 is the border: click it where no other control lies.
    const QPoint at = w == box.Shape1 ? QPoint(5, 150) : w->rect().center();
    QTest::mouseClick(w, Qt::LeftButton, {}, at);
    EXPECT_FALSE(box.isVisible()) << name;
    EXPECT_EQ(box.result(), QDialog::Accepted) << name;
  }
  // Any button's release closes, not only the left one's.
  TAboutBox box;
  box.show();
  QTest::mouseClick(box.Label6, Qt::RightButton);
  EXPECT_FALSE(box.isVisible());
  EXPECT_TRUE(Links.Opened.isEmpty());
}

TEST_F(AboutBox, OtherControlsDoNotClose) {
  for (QWidget* w : std::initializer_list<QWidget*>{Box.Image1, Box.Bevel1, Box.Bevel2, Box.Bevel3, Box.Label12,
                                                    Box.Label7, Box.lblURL5, Box.lblURL9, Box.lblMemory}) {
    Click(w);
    EXPECT_TRUE(Box.isVisible()) << w->objectName().toStdString();
  }
  EXPECT_TRUE(Links.Opened.isEmpty());  // the credit addresses are not links that open
}

TEST_F(AboutBox, MakerLinksOpenAndClose) {
  Click(Box.lblURL6);
  EXPECT_FALSE(Box.isVisible());
  TAboutBox mail;
  mail.show();
  Click(mail.lblURL7);
  EXPECT_FALSE(mail.isVisible());
  ASSERT_EQ(Links.Opened.size(), 2);
  EXPECT_EQ(Links.Opened[0], QUrl(QString::fromLatin1(AboutInfo::MakerPage)));
  EXPECT_EQ(Links.Opened[1], QUrl("mailto:" + QString::fromLatin1(AboutInfo::MakerMail)));

  // Opening the mail address needs a label as sender.
  TAboutBox other;
  other.lblURL7Click(&other);
  EXPECT_EQ(Links.Opened.size(), 2);
  // A right click on a link only closes.
  other.show();
  QTest::mouseClick(other.lblURL6, Qt::RightButton);
  EXPECT_FALSE(other.isVisible());
  EXPECT_EQ(Links.Opened.size(), 2);
}

TEST_F(AboutBox, MemoryFigureEveryHalfSecond) {
  EXPECT_TRUE(Box.tmrMemory->isActive());
  EXPECT_EQ(Box.tmrMemory->interval(), 500);
  EXPECT_TRUE(Box.lblMemory->text().isEmpty());
  EXPECT_TRUE(Box.lblMemory->alignment() & Qt::AlignRight);
  QTRY_VERIFY_WITH_TIMEOUT(!Box.lblMemory->text().isEmpty(), 3000);
  const QRegularExpression figure("^[1-9][0-9]{0,2}(,[0-9]{3})* Byte Free$");
  EXPECT_TRUE(figure.match(Box.lblMemory->text()).hasMatch()) << Box.lblMemory->text().toStdString();
}

TEST(AboutBoxClose, TooltipTimeIsTwoSecondsAfterwards) {
  TAboutBox box;
  box.show();
  box.reject();  // Escape closes the same way
  EXPECT_EQ(HintHidePause(), 2000);
  QLabel later(QStringLiteral("x"));
  later.setToolTip(QStringLiteral("hint"));
  QHelpEvent tip(QEvent::ToolTip, QPoint(1, 1), QPoint(1, 1));
  QApplication::sendEvent(&later, &tip);
  EXPECT_EQ(later.toolTipDuration(), 2000);
}

TEST(AboutBoxShow, ModalShowingEndsWithAClickOnTheTitle) {
  QWidget owner;
  owner.setGeometry(100, 100, 700, 500);
  owner.show();
  bool sawBox = false;
  QTimer::singleShot(50, [&] {
    TAboutBox* box = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* b = qobject_cast<TAboutBox*>(w); b && b->isVisible()) box = b;
    if (!box) return;
    sawBox = true;
    EXPECT_LE((box->geometry().center() - owner.frameGeometry().center()).manhattanLength(), 2);
    EXPECT_TRUE(box->isModal());
    QTest::mouseClick(box->lbltitle, Qt::LeftButton);
  });
  ShowAboutBox(&owner);  // returns once the box has closed
  EXPECT_TRUE(sawBox);
  EXPECT_TRUE(owner.findChildren<TAboutBox*>().isEmpty());  // released
}

#include "AboutBoxTest.moc"
