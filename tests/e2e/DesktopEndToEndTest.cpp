// Tomaru on a desktop with a window manager (openbox, started here inside the
// xvfb-run display): quitting with the palette shown both ways, from the menu
// and by the manager's close request; the stacking of the palette against
// message boxes, file dialogs and other programs; hovering a toolbar button.
// With TOMARU_SHOTS set it keeps the screenshots of the open dialog with its
// preview, a failed save's message and the status bar at the smallest width.
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QTreeView>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolTip>
#include <gtest/gtest.h>
#include <webp/demux.h>
#include <algorithm>
#include <cmath>
#include <iostream>

#include "Shots.h"
#include "WindowManager.h"
#include "common/GifAnimation.h"
#include "common/GifFactory.h"
#include "common/TestFiles.h"
#include "document/FramesPanel.h"
#include "preview/DataBind.h"
#include "shell/Application.h"
#include "shell/Dialogs.h"
#include "shell/EveryEntryPicture.h"
#include "shell/HelpViewer.h"
#include "shell/ImageView.h"
#include "shell/MainForm.h"
#include "shell/PlanWait.h"
#include "shell/OpenPreview.h"
#include "shell/Palette.h"
#include "shell/QtTranslation.h"
#include "shell/Shape.h"
#include "shell/StatusPanel.h"

namespace {

// One window manager for the whole run, stopped at its end.
class TDesktop : public ::testing::Environment {
 public:
  void SetUp() override {
    Ok = Wm.Start();
    // As the program itself: its font and Qt's Japanese.
    ApplyProgramFont(*qApp);
    InstallQtTranslation(*qApp);
  }
  void TearDown() override { Wm.Stop(); }
  static inline TWindowManager Wm;
  static inline bool Ok = false;
};
::testing::Environment* const kDesktop = ::testing::AddGlobalTestEnvironment(new TDesktop);

#define REQUIRE_DESKTOP() ASSERT_TRUE(TDesktop::Ok) << TDesktop::Wm.Error.toStdString()

const QString kPaletteTitle = QStringLiteral("ﾊﾟﾚｯﾄ情報");

QByteArray SmallGif() {
  TGifPlan s;
  s.Width = 60, s.Height = 40, s.Colors.clear();
  for (int i = 0; i < 16; ++i) s.Colors.push_back({uint8_t(i * 16), uint8_t(200 - i * 8), uint8_t(40 + i * 10)});
  for (int i = 0; i < 60 * 40; ++i) s.Pixels.push_back(uint8_t((i % 60) * 16 / 60));
  return MakeGif(s);
}

int StackIndex(const QList<quint64>& order, quint64 id) { return int(order.indexOf(id)); }

QImage Screen() { return QGuiApplication::primaryScreen()->grabWindow(0).toImage(); }

// The window manager's close request, as the title bar's close box sends it.
void CloseByManager(quint64 id) { RunTool(QStringLiteral("wmctrl"), {QStringLiteral("-i"), QStringLiteral("-c"), Hex(id)}); }

// The screen under window id with the manager's frame around it, title included.
QImage FramedShot(quint64 id) {
  const QString info = RunTool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(id)});
  const auto number = [&](const char* label) {
    const QRegularExpression re(QString::fromLatin1(label) + QStringLiteral(":\\s*(-?\\d+)"));
    return re.match(info).captured(1).toInt();
  };
  // Left, right, top, bottom.
  const QStringList extents =
      WindowProperty(id, "_NET_FRAME_EXTENTS").section(QLatin1Char('='), 1).split(QLatin1Char(','), Qt::SkipEmptyParts);
  const auto extent = [&](int i) { return extents.value(i).trimmed().toInt(); };
  const QRect client(number("Absolute upper-left X"), number("Absolute upper-left Y"), number("Width"), number("Height"));
  return Screen().copy(client.adjusted(-extent(0), -extent(2), extent(1), extent(3)));
}

// ---- the program as a user starts it ----

// Real programs from a directory of their own, each started as a Japanese user
// starts it (its texts, titles and mnemonics as the tests name them), whatever
// the test run's own locale, with a runtime folder of this test's for their
// working folders.
class ProgramTest : public ::testing::Test {
 protected:
  QTemporaryDir Dir;
  QProcess Programs[2];

  void TearDown() override {
    for (QProcess& p : Programs)
      if (p.state() != QProcess::NotRunning) {
        p.kill();
        p.waitForFinished(2000);
      }
  }
  QString AppDir() const { return Dir.path() + QStringLiteral("/app/"); }
  QString Runtime() const { return Dir.path() + QStringLiteral("/run/"); }
  QStringList WorkFolders() const { return QDir(Runtime()).entryList({QStringLiteral("tomaru-*")}, QDir::Dirs); }

  // The program, its window module, the shipped decoder and the English; for the start-up
  // road, settings with the palette option on.
  void InstallProgram(bool paletteOption = false) {
    QDir().mkpath(AppDir());
    QDir().mkpath(Runtime());
    QFile::setPermissions(Runtime(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QDir().mkpath(AppDir() + QStringLiteral("translations"));
    for (const char* file : {"tomaru", "libtomaru-window.so", "tomaru_gif.spi", "translations/tomaru_en.qm"})
      ASSERT_TRUE(QFile::copy(QStringLiteral(TOMARU_BIN_DIR "/") + QLatin1String(file), AppDir() + QLatin1String(file)));
    QFile::setPermissions(AppDir() + QStringLiteral("tomaru"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    if (paletteOption) {
      QDir().mkpath(AppDir() + QStringLiteral("data"));
      WriteAll(AppDir() + QStringLiteral("data/property.ini"), "[actShowPaletteSync]\r\nChecked=1\r\n\r\n");
      WriteAll(AppDir() + QStringLiteral("data/preview.html"), PreviewTemplate);
    }
  }
  // Starts program i on file under lang; false when it did not start.
  bool Launch(int i, const QString& file, const QString& lang = QStringLiteral("ja_JP.UTF-8")) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"}) env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("LANG"), lang);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), Runtime());
    Programs[i].setProcessEnvironment(env);
    Programs[i].setProcessChannelMode(QProcess::ForwardedErrorChannel);
    Programs[i].setStandardOutputFile(QProcess::nullDevice());
    Programs[i].start(AppDir() + QStringLiteral("tomaru"), {file});
    return Programs[i].waitForStarted(5000);
  }
  // The window of program i titled title, once it shows; 0 when none does.
  quint64 WindowTitled(int i, const QString& title) {
    quint64 window = 0;
    WaitUntil([&] { return (window = WindowOf(Programs[i].processId(), title)) != 0; }, 20000);
    return window;
  }
  // Starts program i on gif; its main window, 0 when none shows.
  quint64 Start(int i, const QString& gif) { return Launch(i, gif) ? WindowTitled(i, gif) : 0; }
};

class QuitTest : public ProgramTest, public ::testing::WithParamInterface<std::tuple<bool, bool>> {};

TEST_P(QuitTest, ClosingTheMainWindowEndsTheProgramWithinTwoSeconds) {
  REQUIRE_DESKTOP();
  // Else shown by Ctrl+P; else the window manager's close request.
  const auto [paletteAtStartUp, fromMenu] = GetParam();
  InstallProgram(paletteAtStartUp);
  const QString gif = Dir.filePath(QStringLiteral("picture.gif"));
  WriteAll(gif, SmallGif());
  const quint64 main = Start(0, gif);
  ASSERT_NE(main, 0u) << "no main window";
  QProcess& program = Programs[0];
  const qint64 pid = program.processId();
  if (!paletteAtStartUp) {
    EXPECT_EQ(WindowOf(pid, kPaletteTitle), 0u);
    Activate(main);
    Keys(QStringLiteral("ctrl+p"));
  }
  quint64 palette = 0;
  ASSERT_TRUE(WaitUntil([&] { return (palette = WindowOf(pid, kPaletteTitle)) != 0; }, 5000)) << "no palette";
  // The palette belongs to the main window, whichever way it was shown.
  EXPECT_TRUE(WindowProperty(palette, "WM_TRANSIENT_FOR").contains(Hex(main)))
      << WindowProperty(palette, "WM_TRANSIENT_FOR").toStdString();
  QTest::qWait(300);  // settled, as a user would be

  QElapsedTimer sinceRequest;
  if (fromMenu) {
    Activate(main);
    Keys(QStringLiteral("alt+f"));  // ﾌｧｲﾙ(&F)
    QTest::qWait(300);
    sinceRequest.start();
    Keys(QStringLiteral("f"));  // 終了(&F)
  } else {
    sinceRequest.start();
    CloseByManager(main);
  }
  ASSERT_TRUE(program.waitForFinished(2000))
      << "still running 2 s after the close; windows left: " << (WindowOf(pid, kPaletteTitle) ? "the palette" : "none");
  std::cout << "[ quit      ] ended " << sinceRequest.elapsed() << " ms after the close request\n";
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0);
  // The settings were saved on the way out.
  const QByteArray settings = ReadAll(AppDir() + QStringLiteral("data/property.ini"));
  EXPECT_TRUE(settings.contains("[MainForm]")) << settings.toStdString();
}

INSTANTIATE_TEST_SUITE_P(BothRoadsBothWays, QuitTest, ::testing::Combine(::testing::Bool(), ::testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param) ? "PaletteAtStartUp" : "PaletteByCtrlP") +
                                  (std::get<1>(info.param) ? "_QuitFromMenu" : "_CloseBox");
                         });

// Every step by keyboard, on the real program: the palette (Ctrl+P, arrows,
// Return) and the picture's pick cursor at zoom 1 and 4. The preview copy, in
// the window's working folder, carries each choice.
TEST_F(ProgramTest, KeyboardAloneChoosesThePreviewedEntry) {
  REQUIRE_DESKTOP();
  InstallProgram();
  const QString gif = Dir.filePath(QStringLiteral("keys.gif"));
  WriteAll(gif, EveryPixelItsOwnEntry());
  const quint64 main = Start(0, gif);
  ASSERT_NE(main, 0u) << "no main window";
  const auto previewIndex = [&] {
    const QString path = Runtime() + WorkFolders().value(0) + QStringLiteral("/_.gif");
    const auto copy = QFile::exists(path) ? DecodeGif(ReadAll(path)) : std::nullopt;
    return copy ? copy->TransparentIndex : -2;
  };
  const auto carries = [&](int index) { return WaitUntil([&] { return previewIndex() == index; }, 5000); };
  ASSERT_TRUE(carries(-1)) << "no preview copy after opening";
  Activate(main);
  QTest::qWait(300);

  // The palette: entry 0, two right, one down: 18. Then the preview command.
  const qint64 pid = Programs[0].processId();
  Keys(QStringLiteral("ctrl+p"));
  ASSERT_TRUE(WaitUntil([&] { return WindowOf(pid, kPaletteTitle) != 0; }, 5000)) << "Ctrl+P showed no palette";
  QTest::qWait(300);
  Keys(QStringLiteral("Right Right Down Return"));
  ASSERT_TRUE(WaitUntil([&] { return WindowOf(pid, kPaletteTitle) == 0; }, 5000)) << "Return left the palette open";
  // The palette's choice ticked 背景透過 and previewed in real time.
  EXPECT_TRUE(carries(18)) << previewIndex();
  Activate(main);
  Keys(QStringLiteral("alt+t"));  // 背景透過(&T) off
  EXPECT_TRUE(carries(-1)) << previewIndex();

  // The picture: 背景透過(&T) on, Tab into the picture, ten and two right,
  // five down: (12, 5), entry 92; Return picks it at zoom 1. The focus marks
  // as they are left on the screen: the check box after its mnemonic, the
  // pick cursor on the picture's top-left pixel.
  for (const char* key : {"alt+t", "Tab Tab Tab Tab Tab"}) {  // past the strip's second row
    Keys(QString::fromLatin1(key));
    QTest::qWait(400);
    KeepShot(FramedShot(main), QString::fromLatin1(key[0] == 'T' ? "focus-pick-cursor-corner.png" : "focus-check-box.png"));
  }
  Keys(QStringLiteral("shift+Right Right Right Down Down Down Down Down Return"));
  EXPECT_TRUE(carries(92)) << previewIndex();
  // At zoom 4 the cursor stays on its pixel: three left, one up: (9, 4), entry 73.
  Keys(QStringLiteral("4 Left Left Left Up space"));
  EXPECT_TRUE(carries(73)) << previewIndex();
  KeepShot(Screen(), QStringLiteral("keyboard-pick-cursor.png"));
}


// ---- the window in this process, where its widgets can be asked ----

class DesktopTest : public ::testing::Test {
 protected:
  QTemporaryDir Dir;
  std::unique_ptr<TMainForm> Form;
  QString Gif;

  void SetUp() override {
    REQUIRE_DESKTOP();
    const QString appDir = Dir.path() + QStringLiteral("/");
    QFile::copy(QStringLiteral(TOMARU_BIN_DIR "/tomaru_gif.spi"), appDir + QStringLiteral("tomaru_gif.spi"));
    Gif = Dir.filePath(QStringLiteral("picture.gif"));
    WriteAll(Gif, SmallGif());
    Form = std::make_unique<TMainForm>(appDir);
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    Form->FileOpen(Gif);
    ASSERT_TRUE(WaitUntil([&] { return StackingOrder().contains(Form->winId()); }, 5000));
  }
  void TearDown() override {
    if (Form) Form->close();
    Form.reset();
    QTest::qWait(50);
  }
  quint64 MainId() const { return Form->winId(); }
  quint64 PaletteId() const { return Form->Palette->winId(); }
  QImage FormShot() const { return Screen().copy(Form->frameGeometry().adjusted(-4, -4, 4, 4)); }

  void ShowPalette() {
    Form->actShowPalette->trigger();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form->Palette));
    ASSERT_TRUE(WaitUntil([&] { return StackingOrder().contains(PaletteId()); }, 5000));
  }
  QStringList PanelTexts() const {
    QStringList t;
    for (int i = 0; i < 9; ++i) t << Form->Msg(i);
    return t;
  }
};

// Runs check on the next modal dialog once the window manager has it, then
// ends that dialog; a dialog nobody checks is ended after 20 s, so a failing
// test cannot hang.
void WhenManaged(const std::function<void(QWidget*)>& check) {
  auto* poll = new QTimer(qApp);
  auto* waited = new QElapsedTimer;
  waited->start();
  poll->setInterval(50);
  QObject::connect(poll, &QTimer::timeout, qApp, [poll, waited, check] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal && waited->elapsed() < 20000) return;
    poll->stop();
    poll->deleteLater();
    delete waited;
    if (!modal) return;
    WaitUntil([&] { return StackingOrder().contains(modal->winId()); }, 5000);
    QTest::qWait(200);  // drawn
    if (QApplication::activeModalWidget() == modal) check(modal);
    if (auto* d = qobject_cast<QDialog*>(modal); d && d->isVisible()) d->reject();
  });
  poll->start();
}

TEST_F(DesktopTest, ThePaletteIsAToolWindowAboveTheMainWindowOnly) {
  ShowPalette();
  QList<quint64> order = StackingOrder();
  EXPECT_GT(StackIndex(order, PaletteId()), StackIndex(order, MainId()));

  // What the window manager is told about it.
  EXPECT_TRUE(WindowProperty(PaletteId(), "WM_TRANSIENT_FOR").contains(Hex(MainId())));
  EXPECT_TRUE(WindowProperty(PaletteId(), "_NET_WM_WINDOW_TYPE").contains(QLatin1String("_NET_WM_WINDOW_TYPE_UTILITY")));
  EXPECT_FALSE(WindowProperty(PaletteId(), "_NET_WM_STATE").contains(QLatin1String("ABOVE")));
  // Motif hints: functions 0x26 = close, move, resize by the program; no minimise (8), no maximise (16).
  const QStringList motif = WindowProperty(PaletteId(), "_MOTIF_WM_HINTS").section(QLatin1Char('='), 1).split(
      QLatin1Char(','), Qt::SkipEmptyParts);
  ASSERT_GE(motif.size(), 3);
  const uint functions = motif[1].trimmed().toUInt(nullptr, 16), decorations = motif[2].trimmed().toUInt(nullptr, 16);
  EXPECT_EQ(functions & (1 | 8 | 16), 0u) << motif.join(QLatin1Char(',')).toStdString();
  EXPECT_EQ(decorations & (1 | 32 | 64), 0u) << motif.join(QLatin1Char(',')).toStdString();
  // A fixed size, so the manager offers no maximise.
  const QString hints = WindowProperty(PaletteId(), "WM_NORMAL_HINTS");
  EXPECT_TRUE(hints.contains(QLatin1String("minimum size: 323 by 335")) && hints.contains(QLatin1String("maximum size: 323 by 335")))
      << hints.toStdString();
  EXPECT_FALSE(WindowProperty(PaletteId(), "_NET_WM_ALLOWED_ACTIONS").contains(QLatin1String("MAXIMIZE")));

  // A click on the main window leaves the palette above it.
  Activate(MainId());
  QTest::qWait(200);
  order = StackingOrder();
  EXPECT_GT(StackIndex(order, PaletteId()), StackIndex(order, MainId()));

  // Another program's window goes above it.
  QProcess other;
  other.start(QStringLiteral("xmessage"), {QStringLiteral("-title"), QStringLiteral("another program"), QStringLiteral("another program")});
  ASSERT_TRUE(other.waitForStarted(5000));
  quint64 otherId = 0;
  // xmessage gives no process id to the manager: found by its title.
  EXPECT_TRUE(WaitUntil([&] { return (otherId = WindowOf(-1, QStringLiteral("another program"))) != 0; }, 5000));
  Activate(otherId);
  QTest::qWait(200);
  order = StackingOrder();
  EXPECT_GT(StackIndex(order, otherId), StackIndex(order, PaletteId())) << "the palette stays above other programs";
  other.kill();
  other.waitForFinished(2000);
}

TEST_F(DesktopTest, AMessageBoxAndTheSaveDialogAreAboveThePalette) {
  ShowPalette();
  TDialogs real;
  // A message raised from the main window, and from the palette itself.
  for (QWidget* owner : {static_cast<QWidget*>(Form.get()), static_cast<QWidget*>(Form->Palette)}) {
    int boxIndex = -1, paletteIndex = -1;
    WhenManaged([&](QWidget* box) {
      const QList<quint64> order = StackingOrder();
      boxIndex = StackIndex(order, box->winId());
      paletteIndex = StackIndex(order, PaletteId());
    });
    owner == Form.get() ? real.ShowMessage(owner, QStringLiteral("パレットの上に出るメッセージ"))
                        : real.ShowError(owner, QStringLiteral("パレットから出たエラー"));
    ASSERT_GE(boxIndex, 0);
    EXPECT_GT(boxIndex, paletteIndex) << "the message box is under the palette";
  }

  int dialogIndex = -1, paletteIndex = -1;
  bool fieldUncovered = false;
  WhenManaged([&](QWidget* dialog) {
    const QList<quint64> order = StackingOrder();
    dialogIndex = StackIndex(order, dialog->winId());
    paletteIndex = StackIndex(order, PaletteId());
    // The file-name field is what the user types into: nothing of ours covers it.
    if (auto* name = dialog->findChild<QWidget*>(QStringLiteral("fileNameEdit"))) {
      const QRect field(name->mapToGlobal(QPoint(0, 0)), name->size());
      fieldUncovered = !field.intersects(Form->Palette->frameGeometry()) || dialogIndex > paletteIndex;
    }
  });
  TFileDialogOptions o;
  o.FileName = Dir.filePath(QStringLiteral("out.gif"));
  EXPECT_FALSE(real.SaveFile(Form.get(), o).has_value());
  ASSERT_GE(dialogIndex, 0);
  EXPECT_GT(dialogIndex, paletteIndex) << "the save dialog is under the palette";
  EXPECT_TRUE(fieldUncovered);
}

TEST_F(DesktopTest, HoveringAToolbarButtonShowsItsHintAsATooltipAndLeavesThePanels) {
  Activate(MainId());
  const QStringList before = PanelTexts();
  ASSERT_EQ(before[0], QStringLiteral("picture.gif"));
  QWidget* save = Form->tbtRatio->widgetForAction(Form->actSave);
  ASSERT_NE(save, nullptr);
  const auto panelsKept = [&] {
    EXPECT_EQ(PanelTexts(), before);
    EXPECT_TRUE(Form->stb->currentMessage().isEmpty());
    for (QLabel* p : Form->Panels) EXPECT_TRUE(p->isVisible());
  };
  const QPoint at = save->mapToGlobal(save->rect().center());
  RunTool(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())});
  EXPECT_TRUE(WaitUntil([] { return QToolTip::isVisible(); }, 3000)) << "no tooltip";
  EXPECT_EQ(QToolTip::text(), Form->actSave->Hint());
  panelsKept();

  // Walking the menu with the keyboard is the same.
  Keys(QStringLiteral("alt+f"));
  QTest::qWait(200);
  Keys(QStringLiteral("Down"));
  QTest::qWait(200);
  // The highlighted command's hint shows as for the mouse.
  EXPECT_TRUE(WaitUntil([&] {
    return QToolTip::isVisible() &&
           (QToolTip::text() == Form->actSave->Hint() || QToolTip::text() == Form->actOpen->Hint());
  }, 3000)) << QToolTip::text().toStdString();
  panelsKept();
  Keys(QStringLiteral("Escape"));
  Keys(QStringLiteral("Escape"));
  RunTool(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("5"), QStringLiteral("5")});
}

TEST_F(DesktopTest, TheHelpOpensBesideTheMainWindowInsideTheScreen) {
  // Room on its right for the help on a 1280-pixel screen.
  Form->resize(Form->minimumWidth(), 480);
  Form->move(20, 60);
  QTest::qWait(300);
  Activate(MainId());
  Keys(QStringLiteral("F1"));
  THelpViewer* help = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (help = CurrentHelpViewer()) && help->isVisible(); }, 5000)) << "F1 showed no help";
  ASSERT_TRUE(WaitUntil([&] { return StackingOrder().contains(help->winId()); }, 5000));
  QTest::qWait(300);
  const QRect at = help->frameGeometry(), owner = Form->frameGeometry();
  EXPECT_TRUE(help->screen()->availableGeometry().contains(at) && at.left() > owner.right())
      << "help at " << at.x() << "," << at.y() << " beside " << owner.x() << "," << owner.y() << " " << owner.width();
  // Esc closes it.
  Activate(help->winId());
  Keys(QStringLiteral("Escape"));
  EXPECT_TRUE(WaitUntil([&] { return !CurrentHelpViewer() || !CurrentHelpViewer()->isVisible(); }, 3000));
}

// The keyboard and the focus, one row a step: Tab follows the strip (the check box, the row
// under it, then the picture), which is ringed while focused, and only then; the palette
// opens on the choice just made, and Home and End go to its ends.
TEST_F(DesktopTest, TheKeyboardFollowsTheStripAndThePaletteOpensOnTheChoice) {
  WriteAll(Gif, EveryPixelItsOwnEntry());
  Form->FileOpen(Gif);
  Activate(MainId());
  Form->img->clearFocus();
  QWidget* canvas = Form->img->parentWidget();
  const QImage unfocused = canvas->grab().toImage();
  const auto focus = [] { return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(); };
  const struct {
    const char *Keys, *Focus, *PaletteIndex;  // the entry the palette shows selected
  } steps[] = {{"alt+t", "chkTrans", nullptr}, {"Tab", "spnTolerance", nullptr}, {"Tab", "chkConnected", nullptr},
               {"Tab", "chkMatte", nullptr},   {"Tab", "cboFormat", nullptr},    {"Tab", "img", nullptr},          {"Right Right Down Return", "img", nullptr},
               {"ctrl+p", "imgPal", "18"},     {"Home", "imgPal", "0"},          {"End", "imgPal", "255"}};
  for (const auto& step : steps) {
    Keys(QString::fromLatin1(step.Keys));
    EXPECT_TRUE(WaitUntil([&] { return focus() == QLatin1String(step.Focus); }, 3000)) << step.Keys << ": " << focus().toStdString();
    if (step.PaletteIndex) EXPECT_EQ(Form->Palette->lblIndex->text(), QString::fromLatin1(step.PaletteIndex));
    const QRect around = Form->img->geometry().adjusted(-1, -1, 1, 1);
    const QImage now = canvas->grab().toImage();
    for (const QPoint p : {QPoint(around.center().x(), around.top()), QPoint(around.center().x(), around.bottom()),
                           QPoint(around.left(), around.center().y()), QPoint(around.right(), around.center().y())})
      EXPECT_EQ(now.pixel(p) != unfocused.pixel(p), focus() == QLatin1String("img"));
  }
}

// ---- the screenshots of the closing note ----

TEST_F(DesktopTest, TheOpenDialogWithItsPreviewAndJapaneseButtons) {
  Form->opd->FileName = Gif;
  QImage bmp(30, 20, QImage::Format_RGB32);
  bmp.fill(QColor(10, 200, 30));
  ASSERT_TRUE(bmp.save(Dir.filePath(QStringLiteral("pic.bmp")), "BMP"));
  WriteAll(Dir.filePath(QStringLiteral("notes.gif")), "not a picture at all");
  Activate(MainId());
  bool seen = false;
  WhenManaged([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    auto* preview = dialog->findChild<TOpenPreview*>();
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->isVisible());
    EXPECT_TRUE(preview->HasPicture());
    EXPECT_EQ(preview->Picture()->pixmap().size(), QSize(60, 40));
    QStringList buttons;
    for (QPushButton* b : dialog->findChild<QDialogButtonBox*>()->findChildren<QPushButton*>()) buttons << b->text();
    EXPECT_TRUE(buttons.contains(QStringLiteral("開く(&O)"))) << buttons.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(buttons.contains(QStringLiteral("キャンセル")));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("開く"));
    // The filter's patterns are not repeated after its text; the size, type
    // and date columns hold their texts whole.
    auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    auto* files = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
    ASSERT_TRUE(types && files);
    EXPECT_EQ(types->itemText(0), QStringLiteral("GIF/BMP/PNG/JPEG画像(*.gif,*.bmp,*.png,*.jpg,*.jpeg)"));
    QTest::qWait(300);  // the folder is read in the background
    const QModelIndex folder = files->rootIndex();
    ASSERT_GT(files->model()->rowCount(folder), 2);
    for (int column = 1; column < files->header()->count(); ++column)
      for (int row = 0; row < files->model()->rowCount(folder); ++row) {
        const QString text = files->model()->index(row, column, folder).data().toString();
        EXPECT_LE(files->fontMetrics().horizontalAdvance(text), files->header()->sectionSize(column)) << text.toStdString();
      }
    KeepShot(Screen(), QStringLiteral("open-dialog-preview.png"));
    // A BMP typed in the name field is previewed too; a file that is no picture shows nothing.
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    name->setText(QStringLiteral("pic.bmp"));
    EXPECT_TRUE(preview->HasPicture());
    EXPECT_EQ(preview->Caption()->text(), QStringLiteral("30 × 20"));
    name->setText(QStringLiteral("notes.gif"));
    EXPECT_FALSE(preview->HasPicture());
    EXPECT_TRUE(preview->Picture()->pixmap().isNull());
    seen = true;
  });
  // The command itself, as the toolbar button or Ctrl+O gives it.
  Form->actOpen->trigger();
  EXPECT_TRUE(seen);
}

// A save that cannot write: the real error box, with the file's name and the reason.
class TSaveInto : public TDialogs {
 public:
  explicit TSaveInto(QString target) : Target(std::move(target)) { SetDialogs(this); }
  ~TSaveInto() override { SetDialogs(nullptr); }
  std::optional<QString> SaveFile(QWidget*, const TFileDialogOptions&) override { return Target; }
  std::optional<QColor> ChooseColor(QWidget*, const QColor&) override { return PageColour; }
  QString Target;
  std::optional<QColor> PageColour;
};

TEST_F(DesktopTest, AFailedSaveNamesTheFileAndTheReason) {
  // A folder where the file should go: refused even for root.
  const QString target = Dir.filePath(QStringLiteral("保存先.gif"));
  QDir().mkpath(target);
  TSaveInto ui(target);
  QString text, title;
  int width = 0;
  WhenManaged([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    text = box->text();
    title = box->windowTitle();
    width = box->width();
    KeepShot(Screen(), QStringLiteral("save-failure.png"));
  });
  Form->actSave->trigger();
  EXPECT_TRUE(text.startsWith(QStringLiteral("ファイル「") + target + QStringLiteral("」を保存できませんでした。")))
      << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("エラーコード"))) << text.toStdString();
  EXPECT_EQ(title, QStringLiteral("Tomaru"));
  EXPECT_GE(width, MessageBoxMinimumWidth(title));
}

TEST_F(DesktopTest, TheStatusBarAtTheSmallestWidth) {
  RunTool(QStringLiteral("xdotool"), {QStringLiteral("windowsize"), QStringLiteral("--sync"), Hex(MainId()),
                                      QStringLiteral("100"), QStringLiteral("100")});
  WaitUntil([&] { return Form->width() == Form->minimumWidth(); }, 3000);
  QTest::qWait(300);
  EXPECT_EQ(Form->width(), Form->minimumWidth());
  // The widest text each panel shows, from the largest picture a GIF can hold.
  const QStringList widest{QStringLiteral("JPEG->GIF 99% Complete"), QStringLiteral("height : 65535"),
                           QStringLiteral("Width : 65535"), QStringLiteral("999KB→999.9MB"),
                           QStringLiteral("透過済み"), QStringLiteral("256 色"), QStringLiteral("*255"),
                           QStringLiteral("×8"), QStringLiteral("透過 999/999 (書換 99, 減色 99)")};
  for (int i = 0; i < 9; ++i) {
    TStatusPanel* p = Form->Panels[i];
    EXPECT_TRUE(p->isVisible());
    EXPECT_FALSE(p->IsElided()) << p->text().toStdString();
    EXPECT_TRUE(Form->stb->rect().contains(QRect(p->mapTo(Form->stb, QPoint(0, 0)), p->size()))) << "panel " << i;
    EXPECT_GE(p->contentsRect().height(), p->fontMetrics().height()) << "panel " << i;
    const QString shown = p->text();
    p->setText(widest[i]);
    EXPECT_FALSE(p->IsElided()) << "panel " << i << " cuts " << widest[i].toStdString();
    p->setText(shown);
  }
  // Both swatches are whole.
  for (QWidget* s : {static_cast<QWidget*>(Form->shpDefault), static_cast<QWidget*>(Form->shp)})
    EXPECT_TRUE(Form->rect().contains(QRect(s->mapTo(Form.get(), QPoint(0, 0)), s->size())));
  KeepShot(FormShot(), QStringLiteral("statusbar-smallest-width.png"));
}

// A heavy animation, nearly every frame of which must be written anew once
// white is transparent: white chosen in the palette starts a plan of
// seconds, meanwhile a menu key is answered at once and the frames panel
// counts the judged frames; the size panel is kept as the plan leaves it.
TEST_F(DesktopTest, AHeavyPlanRunsWhileTheWindowAnswers) {
  const QString heavy = Dir.filePath(QStringLiteral("heavy.gif"));
  WriteAll(heavy, ShapesOverBand(660, 666, 100, 8));
  Form->FileOpen(heavy);
  ShowPalette();
  Activate(PaletteId());
  Keys(QStringLiteral("Return"));  // entry 0, white
  ASSERT_TRUE(WaitUntil([&] { return !Form->Palette->isVisible(); }, 5000));
  Activate(MainId());
  const QString judging = JudgingText(0, 100).section(QLatin1Char(' '), 0, 0) + QLatin1Char(' ');
  EXPECT_TRUE(WaitUntil([&] { return Form->Msg(PanelFrames).startsWith(judging); }, 10000))
      << Form->Msg(PanelFrames).toStdString();
  EXPECT_TRUE(Form->Msg(PanelFileSize).endsWith(QStringLiteral("→…"))) << "the size of the choice before is no answer";

  // Timed from before the key is sent: the window answers while xdotool runs.
  ASSERT_EQ(QApplication::activePopupWidget(), nullptr);
  QElapsedTimer sinceKey;
  sinceKey.start();
  Keys(QStringLiteral("alt+v"));  // 表示(&V)
  ASSERT_TRUE(WaitUntil([] { return QApplication::activePopupWidget() != nullptr; }, 5000)) << "no menu";
  const qint64 answered = sinceKey.elapsed();
  std::cout << "[ plan      ] menu shown " << answered << " ms after its key was sent, panel: "
            << Form->Msg(PanelFrames).toStdString() << "\n";
  ASSERT_TRUE(Form->Plans->Running()) << "the plan ended first: the picture is not heavy enough to tell";
  EXPECT_LT(answered, 300);
  QTest::qWait(100);
  KeepShot(FormShot(), QStringLiteral("plan-progress.png"));
  Keys(QStringLiteral("Escape"));
  WaitForPlan(*Form);
  QTest::qWait(300);
  KeepShot(FormShot(), QStringLiteral("size-panel.png"));
}

// 背景透過 ticked before any colour is chosen takes the top-left pixel's colour, not
// entry 0 (the red line); a file transparent already keeps its own, entry 2. The
// swatch, panel 6 and the status bar show what giflib reads in the saved file.
TEST_F(DesktopTest, TickingFirstTakesTheTopLeftPixelAndShowsWhatTheSaveMakesTransparent) {
  TGifPlan plan;
  plan.Width = 40, plan.Height = 20, plan.Colors = {{255, 0, 0}, {255, 255, 255}, {0, 160, 0}, {0, 0, 0}};
  plan.Pixels.assign(800, 1);
  std::fill_n(plan.Pixels.begin() + 410, 24, 0);
  TSaveInto ui(Dir.filePath(QStringLiteral("saved.gif")));
  for (const int own : {-1, 2}) {
    if (own >= 0) plan.GceFlags = 1, plan.GceIndex = uint8_t(own);
    const TRgb c = plan.Colors[own >= 0 ? own : plan.Pixels[0]];
    WriteAll(Gif, MakeGif(plan));
    Form->FileOpen(Gif);
    EXPECT_EQ(Form->shp->Color(), own >= 0 ? std::optional<QColor>(QColor(c.R, c.G, c.B)) : std::nullopt);
    Activate(MainId());
    for (int on = own >= 0 ? 0 : 1; on < 2; ++on) {  // opened ticked: off, then on
      Keys(QStringLiteral("alt+t"));
      ASSERT_TRUE(WaitUntil([&] { return Form->Doc.TransparentOn == bool(on); }, 3000));
    }
    Form->actSave->trigger();
    const auto saved = DecodeGif(ReadAll(ui.Target));
    ASSERT_TRUE(saved && saved->TransparentIndex >= 0);
    const TRgb s = saved->Colors[saved->TransparentIndex];
    EXPECT_EQ(QColor(s.R, s.G, s.B), QColor(c.R, c.G, c.B));
    EXPECT_EQ(Form->shp->Color(), QColor(c.R, c.G, c.B));
    EXPECT_EQ(Form->Msg(PanelIndex), QString::number(saved->TransparentIndex));
    EXPECT_TRUE(Form->stb->currentMessage().contains(QString::number(QFileInfo(ui.Target).size())));
  }
  KeepShot(FormShot(), QStringLiteral("save-confirmation-ja.png"));
}

// A red disc with soft edges on white, the white made transparent with smooth
// edges, previewed side by side on a dark page and a light one as a matted GIF
// and as WebP, then saved as WebP from the window: libwebp decodes it, and
// composed over white it gives back the picture drawn there, with the white
// around the disc see-through and its middle opaque.
TEST_F(DesktopTest, ASmoothEdgedWebPSavedFromTheWindowIsTheDrawingOverWhiteAndSeeThroughAround) {
  const int side = 72;
  TGifPlan logo;  // entry i: i/15 of red over white
  logo.Width = logo.Height = side, logo.Colors.clear();
  for (int i = 0; i < 16; ++i) logo.Colors.push_back({255, uint8_t(255 - 17 * i), uint8_t(255 - 17 * i)});
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x)
      logo.Pixels.push_back(uint8_t(std::lround(15 * std::clamp(28.5 - std::hypot(x + 0.5 - 36, y + 0.5 - 36), 0.0, 1.0))));
  WriteAll(Gif, MakeGif(logo));
  TSaveInto ui(Dir.filePath(QStringLiteral("logo.webp")));
  ui.PageColour = QColor(0x20, 0x20, 0x20);
  Form->FileOpen(Gif);
  Form->actPreviewColor->trigger();
  Form->actSideBySide->trigger();
  Activate(MainId());
  Keys(QStringLiteral("alt+t"));
  Keys(QStringLiteral("alt+e"));
  ASSERT_TRUE(WaitUntil([&] { return Form->Doc.TransparentOn && Form->Doc.Reach.Matte; }, 3000));
  const auto keepPreview = [&](const QString& copy, const QString& name) {
    EXPECT_TRUE(WaitUntil([&] { return QFile::exists(Form->Paths.Work(copy)) && !Form->Plans->Running(); }, 10000));
    QTest::qWait(2000);  // the page renders
    // Twice as large, pixel for pixel, so the edges show.
    const QImage pane = Screen().copy(QRect(Form->wb->mapToGlobal(QPoint(0, 0)), QSize(176, 92)));
    KeepShot(pane.scaled(pane.size() * 2), name);
  };
  keepPreview(QStringLiteral("_.gif"), QStringLiteral("side-by-side-matted-gif.png"));
  Keys(QStringLiteral("alt+m"));
  Keys(QStringLiteral("Down"));  // WebP
  ASSERT_EQ(Form->Format(), TSaveFormat::WebP);
  keepPreview(QStringLiteral("_.webp"), QStringLiteral("side-by-side-webp.png"));
  KeepShot(FormShot(), QStringLiteral("side-by-side-window-ja.png"));

  Form->actSave->trigger();
  const QByteArray file = ReadAll(ui.Target);
  WebPAnimDecoderOptions options;
  ASSERT_TRUE(WebPAnimDecoderOptionsInit(&options));
  options.color_mode = MODE_RGBA;
  const WebPData data{reinterpret_cast<const uint8_t*>(file.constData()), size_t(file.size())};
  const std::unique_ptr<WebPAnimDecoder, void (*)(WebPAnimDecoder*)> decoder(WebPAnimDecoderNew(&data, &options),
                                                                             WebPAnimDecoderDelete);
  ASSERT_NE(decoder, nullptr) << "not a WebP: " << file.size() << " bytes";
  uint8_t* rgba = nullptr;
  int shownAt = 0;
  ASSERT_TRUE(WebPAnimDecoderGetNext(decoder.get(), &rgba, &shownAt));
  int wrong = 0;
  for (int i = 0; i < side * side; ++i) {
    const uint8_t* p = rgba + 4 * i;
    const TRgb drawn = logo.Colors[logo.Pixels[i]];
    const auto overWhite = [&](int c) { return (c * p[3] + 255 * (255 - p[3]) + 127) / 255; };
    const bool right = std::abs(overWhite(p[0]) - drawn.R) <= 3 && std::abs(overWhite(p[1]) - drawn.G) <= 3 &&
                       std::abs(overWhite(p[2]) - drawn.B) <= 3 && (logo.Pixels[i] != 0 || p[3] == 0) &&
                       (logo.Pixels[i] != 15 || p[3] == 255);
    wrong += !right;
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_TRUE(Form->stb->currentMessage().contains(QString::number(file.size())));
}

// Saving over another existing file asks first, in the run's language: Escape keeps it (back to
// the dialog), Replace writes it, white (the top-left pixel, taken by Alt+T) transparent.
// Saving over the opened file asks nothing.
class ReplaceTest : public ProgramTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ReplaceTest, SavingOverAnotherFileAsksFirstAndOverTheOpenedOneDoesNot) {
  REQUIRE_DESKTOP();
  InstallProgram();
  const QString gif = Dir.filePath(QStringLiteral("picture.gif")), other = Dir.filePath(QStringLiteral("other.gif"));
  TGifPlan logo;  // entry 0 red, in one pixel; the rest white
  logo.Width = 30, logo.Height = 20, logo.Colors = {{255, 0, 0}, {255, 255, 255}}, logo.Pixels.assign(600, 1), logo.Pixels[300] = 0;
  WriteAll(gif, MakeGif(logo));
  WriteAll(other, "another file");
  const quint64 main = Launch(0, gif, QString::fromLatin1(GetParam())) ? WindowTitled(0, gif) : 0;
  ASSERT_NE(main, 0u) << "no main window";
  const QString question = GetParam()[0] == 'j' ? QStringLiteral("確認") : QStringLiteral("Confirm");
  const auto windows = [] { return ClientWindows().size(); };  // the program's alone on the desktop
  const auto saveAs = [&](const QString& path) {  // Ctrl+S, the name typed over the proposed one, Return
    Activate(main);
    Keys(QStringLiteral("ctrl+s"));
    ASSERT_TRUE(WaitUntil([&] { return windows() == 2; }, 5000)) << "no save dialog";
    QTest::qWait(500);
    Keys(QStringLiteral("ctrl+a"));
    RunTool(QStringLiteral("xdotool"), {QStringLiteral("type"), path});
    Keys(QStringLiteral("Return"));
  };
  Activate(main);
  Keys(QStringLiteral("alt+t"));
  for (const char* answer : {"Escape", "alt+r"}) {
    saveAs(other);
    ASSERT_NE(WindowTitled(0, question), 0u) << "no question before replacing another file";
    Keys(QString::fromLatin1(answer));
    if (answer[0] == 'E' && WaitUntil([&] { return WindowOf(Programs[0].processId(), question) == 0; }, 3000))
      Keys(QStringLiteral("Escape"));  // the dialog, back again
    EXPECT_TRUE(WaitUntil([&] { return windows() == 1; }, 3000));
    if (answer[0] == 'E') {
      EXPECT_EQ(ReadAll(other), QByteArray("another file"));
    }
  }
  EXPECT_TRUE(WaitUntil([&] { const auto r = DecodeGif(ReadAll(other)); return r && r->TransparentIndex == 1; }, 5000));
  const QByteArray opened = ReadAll(gif);
  saveAs(gif);
  EXPECT_TRUE(WaitUntil([&] { return ReadAll(gif) != opened && windows() == 1; }, 5000)) << "the opened file not saved";
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, ReplaceTest, ::testing::Values("ja_JP.UTF-8", "en_US.UTF-8"),
                         [](const auto& info) { return std::string(info.param).substr(0, 2); });

// ---- two programs, two windows ----

// Pixels of colour in the right half of the window (the preview pane), raised
// first so that the other window hides none of it.
int InPreview(quint64 id, QRgb color) {
  if (StackingOrder().value(StackingOrder().size() - 1) != id) {
    Activate(id);
    QTest::qWait(200);
  }
  const QImage shot = QGuiApplication::primaryScreen()->grabWindow(WId(id)).toImage();
  int count = 0;
  for (int y = 0; y < shot.height(); ++y)
    for (int x = shot.width() / 2; x < shot.width(); ++x) count += (shot.pixel(x, y) & 0xFFFFFF) == (color & 0xFFFFFF);
  return count;
}

// Opens 表示 > ﾌﾟﾚﾋﾞｭｰ時の背景色の設定 in window by keyboard and answers the
// colour dialog with keys.
void ChoosePageColour(quint64 window, const QString& keys) {
  Activate(window);
  Keys(QStringLiteral("alt+v"));  // 表示(&V)
  QTest::qWait(300);
  Keys(QStringLiteral("b"));  // ﾌﾟﾚﾋﾞｭｰ時の背景色の設定(&B)
  QTest::qWait(1000);
  Keys(keys);
  QTest::qWait(1500);
}

// Two windows of one installation, each started on its own picture as "Open
// with" starts them: each preview keeps showing its own picture when its page
// colour changes after the other opened a picture, and after the other
// closes; neither leaves a working folder behind.
TEST_F(ProgramTest, TwoWindowsEachPreviewTheirOwnPicture) {
  REQUIRE_DESKTOP();
  InstallProgram();
  const QRgb colours[2] = {qRgb(255, 0, 0), qRgb(0, 0, 255)};
  quint64 windows[2] = {0, 0};
  for (int i = 0; i < 2; ++i) {
    TGifPlan s;
    s.Width = 120;
    s.Height = 80;
    s.Colors = {{uint8_t(qRed(colours[i])), 0, uint8_t(qBlue(colours[i]))}, {255, 255, 255}};
    const QString picture = Dir.filePath(QStringLiteral("%1.gif").arg(i));
    WriteAll(picture, MakeGif(s));
    ASSERT_NE(windows[i] = Start(i, picture), 0u) << "no window " << i;
  }
  // Window i shows its own colour and none of the other's.
  const auto shows = [&](int i) { return InPreview(windows[i], colours[i]) > 5000 && InPreview(windows[i], colours[1 - i]) == 0; };
  const auto counts = [&](int i) { return std::to_string(InPreview(windows[i], colours[i])) + " " + std::to_string(InPreview(windows[i], colours[1 - i])); };
  EXPECT_TRUE(WaitUntil([&] { return shows(0) && shows(1); }, 20000)) << counts(0) << " / " << counts(1);

  // The first window confirms its page colour as it is (bg.css is written and
  // the page shown again from the preview copy on disk): after the second one
  // opened its picture, then after the second one closed.
  for (const bool otherClosed : {false, true}) {
    SCOPED_TRACE(otherClosed ? "after the other closed" : "beside the other");
    if (otherClosed) {
      CloseByManager(windows[1]);
      EXPECT_TRUE(Programs[1].waitForFinished(5000));
    }
    ChoosePageColour(windows[0], QStringLiteral("Return"));
    EXPECT_TRUE(WaitUntil([&] { return shows(0); }, 5000)) << counts(0);
  }

  CloseByManager(windows[0]);
  EXPECT_TRUE(Programs[0].waitForFinished(5000));
  EXPECT_TRUE(WorkFolders().isEmpty()) << WorkFolders().join(' ').toStdString();
}

// What a restart keeps and what it sweeps: the page colour chosen in the
// colour dialog, by keyboard, is the preview's background at once and again
// after a restart, before anything is done; a window killed outright (SIGKILL,
// as a crash or a power cut ends it) leaves its working folder behind only
// until the next window starts.
TEST_F(ProgramTest, ARestartKeepsThePageColourAndSweepsAKilledWindowsFolder) {
  REQUIRE_DESKTOP();
  InstallProgram();
  const QString picture = Dir.filePath(QStringLiteral("small.gif"));
  WriteAll(picture, SmallGif());
  const QRgb green = qRgb(0, 200, 0);
  const quint64 first = Start(0, picture);
  ASSERT_NE(first, 0u) << "no window";
  EXPECT_TRUE(WaitUntil([&] { return InPreview(first, qRgb(255, 255, 255)) > 5000; }, 20000)) << "no white page";
  // Qt's colour dialog: its HTML field by its mnemonic (HTML(&H)), a colour, Return for OK.
  ChoosePageColour(first, QStringLiteral("alt+h ctrl+a numbersign 0 0 c 8 0 0 Return"));
  EXPECT_TRUE(WaitUntil([&] { return InPreview(first, green) > 5000; }, 5000)) << InPreview(first, green);
  CloseByManager(first);
  ASSERT_TRUE(Programs[0].waitForFinished(5000));

  const quint64 second = Start(1, picture);
  ASSERT_NE(second, 0u) << "no window after the restart";
  EXPECT_TRUE(WaitUntil([&] { return InPreview(second, green) > 5000; }, 20000)) << InPreview(second, green);
  KeepShot(FramedShot(second), QStringLiteral("page-colour-after-restart.png"));

  const QStringList left = WorkFolders();
  Programs[1].kill();
  ASSERT_TRUE(Programs[1].waitForFinished(5000));
  ASSERT_EQ(WorkFolders(), left);
  ASSERT_EQ(left.size(), 1);
  ASSERT_NE(Start(0, picture), 0u) << "no window after the kill";
  const QStringList now = WorkFolders();
  EXPECT_EQ(now.size(), 1) << now.join(' ').toStdString();
  EXPECT_FALSE(now.contains(left[0]));
}

// A PNG of too many colours opens the reduction dialog, which names PNG in
// the language of the run; Escape closes it and nothing opens.
TEST_F(ProgramTest, TheReductionDialogNamesThePngAndEscapeCancelsIt) {
  REQUIRE_DESKTOP();
  InstallProgram();
  QImage photo(96, 64, QImage::Format_RGB32);
  for (int y = 0; y < photo.height(); ++y)
    for (int x = 0; x < photo.width(); ++x) photo.setPixel(x, y, qRgb(x * 2, y * 3, (x + y) % 256));
  const QString png = Dir.filePath(QStringLiteral("photo.png"));
  ASSERT_TRUE(photo.save(png));
  const std::pair<QString, QString> cases[] = {{QStringLiteral("ja"), QStringLiteral("PNG画像の減色")},
                                               {QStringLiteral("en"), QStringLiteral("Reducing the colours of a PNG picture")}};
  for (const auto& [lang, title] : cases) {
    SCOPED_TRACE(lang.toStdString());
    ASSERT_TRUE(Launch(0, png, lang == QStringLiteral("ja") ? QStringLiteral("ja_JP.UTF-8") : QStringLiteral("en_US.UTF-8")));
    const quint64 dialog = WindowTitled(0, title);
    ASSERT_NE(dialog, 0u) << "no dialog titled " << title.toStdString();
    Activate(dialog);
    QTest::qWait(500);
    KeepShot(FramedShot(dialog), QStringLiteral("reduce-dialog-png-%1.png").arg(lang));
    Keys(QStringLiteral("Escape"));
    EXPECT_TRUE(WaitUntil([&] { return WindowOf(Programs[0].processId(), title) == 0; }, 5000)) << "Escape left it open";
    EXPECT_EQ(WindowOf(Programs[0].processId(), png), 0u);  // nothing opened
    EXPECT_EQ(Programs[0].state(), QProcess::Running);
    Programs[0].kill();
    Programs[0].waitForFinished(2000);
  }
}

}  // namespace
