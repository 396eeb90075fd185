// Saves pictures of the About box, the help window on "palette(function)",
// the icons (enlarged), a window top in both designs and the reduction
// dialog, for review:
//   xvfb-run -a shell_shots OUTDIR
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QToolBar>
#include <QVBoxLayout>

#include "shell/AboutBox.h"
#include "shell/Design.h"
#include "shell/HelpViewer.h"
#include "shell/Icons.h"
#include "shell/Subtra.h"

namespace {

QString gOut;

void Save(QWidget* w, const QString& name) {
  QTest::qWait(300);
  // Borderless windows grab as they are; framed ones with their frame from the screen.
  const QRect area = w->frameGeometry();
  const QPixmap shot = w->windowFlags() & Qt::FramelessWindowHint
                           ? w->grab()
                           : QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
  shot.save(gOut + "/" + name);
}

void IconSheet() {
  const int scale = 6, cell = 16 * scale + 12;
  QImage sheet(cell * 6, cell * 2 + 4 * scale * 8, QImage::Format_ARGB32);
  sheet.fill(QColor(235, 235, 235));
  QPainter p(&sheet);
  int n = 0;
  for (int index = 0; index < CommandIconCount; ++index) {
    const QIcon icon = CommandIcon(index);
    if (icon.isNull()) continue;
    const QImage image = icon.pixmap(16, 16).toImage().scaled(16 * scale, 16 * scale);
    p.drawImage((n % 6) * cell + 6, (n / 6) * cell + 6, image);
    p.drawText((n % 6) * cell + 2, (n / 6) * cell + 11, QString::number(index));
    ++n;
  }
  p.drawImage(4 * cell + 6, cell + 6, ProgramIcon().pixmap(32, 32).toImage().scaled(32 * 3, 32 * 3));
  const QImage tile = DockTile().toImage().convertToFormat(QImage::Format_ARGB32);
  for (int x = 0; x < 4; ++x) p.drawImage(6 + x * 27 * 4, cell * 2 + 6, tile.scaled(27 * 4, 24 * 4));
  p.end();
  sheet.save(gOut + "/icons-sheet.png");
}

void DesignPreview(bool classic) {
  QWidget window;
  window.setWindowTitle("Tomaru ver1.00");
  auto* dock = new QWidget(&window);
  dock->setObjectName("tbdTop");
  auto* menu = new QMenuBar(dock);
  menu->setObjectName("tbtMainMenu");
  for (const char* title : {"ﾌｧｲﾙ(&F)", "表示(&V)", "倍率(&R)", "ﾍﾙﾌﾟ(&H)"}) menu->addMenu(QString::fromUtf8(title));
  auto* bar = new QToolBar(dock);
  bar->setObjectName("tbtRatio");
  bar->setIconSize(QSize(16, 16));
  for (int index : {0, 1, -1, 3, 7, 4, -1}) {
    if (index < 0) bar->addSeparator();
    else bar->addAction(CommandIcon(index), QString());
  }
  for (const char* ratio : {"×1", "×2", "×3", "×4", "×6", "×8"}) bar->addAction(QString::fromUtf8(ratio));
  auto* panel = new QWidget(&window);
  panel->setObjectName("pnlTopMain");
  panel->setFixedHeight(32);
  new QLabel(QStringLiteral("読み込み時の透過色"), panel);
  auto* dockLayout = new QVBoxLayout(dock);
  dockLayout->setContentsMargins(0, 0, 0, 1);
  dockLayout->setSpacing(0);
  dockLayout->addWidget(menu);
  dockLayout->addWidget(bar, 0, Qt::AlignLeft);
  dock->setFixedHeight(51);
  auto* column = new QVBoxLayout(&window);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(dock);
  column->addWidget(panel);
  column->addStretch();
  ApplyDesign({dock, menu, bar, panel}, classic);
  window.resize(500, 120);
  window.show();
  QTest::qWaitForWindowExposed(&window);
  Save(&window, classic ? "design-classic-preview.png" : "design-modern-preview.png");
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QFont font = app.font();
  font.setPixelSize(11);
  font.setFamilies({font.family(), QStringLiteral("Noto Sans CJK JP")});
  app.setFont(font);
  gOut = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
  QDir().mkpath(gOut);

  TAboutBox about;
  about.move(100, 100);
  about.show();
  QTest::qWaitForWindowExposed(&about);
  QTest::qWait(700);  // one memory tick
  Save(&about, "about-box.png");
  about.close();

  QWidget owner;
  owner.setGeometry(50, 50, 200, 100);
  const QString appDir = QStringLiteral(TOMARU_BIN_DIR "/");
  OpenHelp2(&owner, "palette(function)", appDir);
  if (THelpViewer* viewer = CurrentHelpViewer()) {
    viewer->setGeometry(120, 80, 640, 520);
    QTest::qWaitForWindowExposed(viewer);
    Save(viewer, "help-palette-function.png");
    OpenHelpFile(&owner, appDir);
    Save(viewer, "help-default-topic.png");
  }
  IconSheet();
  DesignPreview(false);
  DesignPreview(true);

  TSubtra reduce;
  reduce.lblUseColor->setText(QStringLiteral("84263色"));
  reduce.lblUseColor->adjustSize();
  reduce.move(100, 100);
  reduce.show();
  QTest::qWaitForWindowExposed(&reduce);
  QTest::qWait(300);
  reduce.grab().save(gOut + "/reduce-dialog.png");  // the dialog itself, as docs/screenshots keeps it
  return 0;
}
