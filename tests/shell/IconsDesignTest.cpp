// The icon list, the program icon, the dock tile and the two designs.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "shell/Design.h"
#include "shell/Icons.h"

namespace {

bool HasTransparentAndOpaquePixels(const QImage& image) {
  bool clear = false, solid = false;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const int alpha = qAlpha(image.pixel(x, y));
      clear |= alpha == 0;
      solid |= alpha == 255;
    }
  return clear && solid;
}

}  // namespace

TEST(Icons, TwelvePlacesTenPictures) {
  for (int index = 0; index < CommandIconCount; ++index) {
    const QIcon icon = CommandIcon(index);
    if (index == 9 || index == 10) {
      EXPECT_TRUE(icon.isNull()) << index;
      continue;
    }
    ASSERT_FALSE(icon.isNull()) << index;
    const QImage image = icon.pixmap(16, 16).toImage();
    EXPECT_EQ(image.size(), QSize(16, 16)) << index;
    EXPECT_TRUE(image.hasAlphaChannel()) << index;
    EXPECT_TRUE(HasTransparentAndOpaquePixels(image)) << index;
  }
  EXPECT_TRUE(CommandIcon(-1).isNull());
  EXPECT_TRUE(CommandIcon(CommandIconCount).isNull());
  // No two commands look the same.
  for (int a = 0; a < CommandIconCount; ++a)
    for (int b = a + 1; b < CommandIconCount; ++b)
      if (!CommandIcon(a).isNull() && !CommandIcon(b).isNull())
        EXPECT_NE(CommandIcon(a).pixmap(16, 16).toImage(), CommandIcon(b).pixmap(16, 16).toImage()) << a << " " << b;
}

TEST(Icons, CommandsGetTheIconOfTheirIndex) {
  QObject owner;
  auto* open = new QAction(&owner);
  open->setProperty("ImageIndex", 0);
  auto* about = new QAction(&owner);
  about->setProperty("ImageIndex", -1);
  auto* plain = new QAction(&owner);
  ApplyCommandIcons(&owner);
  EXPECT_EQ(open->icon().pixmap(16, 16).toImage(), CommandIcon(0).pixmap(16, 16).toImage());
  EXPECT_TRUE(about->icon().isNull());
  EXPECT_TRUE(plain->icon().isNull());
}

TEST(Icons, ProgramIconAndDockTile) {
  const QIcon program = ProgramIcon();
  EXPECT_EQ(program.pixmap(32, 32).size(), QSize(32, 32));
  EXPECT_TRUE(program.availableSizes().contains(QSize(16, 16)));
  EXPECT_TRUE(HasTransparentAndOpaquePixels(program.pixmap(32, 32).toImage()));
  const QImage tile(DockTilePath());
  EXPECT_EQ(tile.size(), QSize(27, 24));
  EXPECT_EQ(tile.format(), QImage::Format_Indexed8);
  EXPECT_LE(tile.colorCount(), 16);
  EXPECT_EQ(DockTile().size(), QSize(27, 24));
}

namespace {

// The top of a main window, as far as the designs are concerned.
struct TTop {
  QWidget Window;
  QWidget* Dock = new QWidget(&Window);
  QMenuBar* Menu = new QMenuBar(Dock);
  QToolBar* Bar = new QToolBar(Dock);
  QWidget* Panel = new QWidget(&Window);
  TTop() {
    Dock->setObjectName("tbdTop");
    Menu->setObjectName("tbtMainMenu");
    Bar->setObjectName("tbtRatio");
    Panel->setObjectName("pnlTopMain");
    Menu->addMenu("ﾌｧｲﾙ(&F)");
    Bar->addAction("×1");
    auto* dock = new QVBoxLayout(Dock);
    dock->setContentsMargins(0, 0, 0, 1);
    dock->addWidget(Menu);
    dock->addWidget(Bar, 0, Qt::AlignLeft);
    auto* column = new QVBoxLayout(&Window);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(Dock);
    column->addWidget(Panel);
    Panel->setFixedHeight(32);
    Dock->setFixedHeight(51);
    Window.resize(400, 100);
  }
  TDesignTargets Targets() { return {Dock, Menu, Bar, Panel}; }
};

}  // namespace

TEST(Design, ClassicIsButtonFaceWithoutTileOrSkin) {
  TTop top;
  ApplyDesign(top.Targets(), false);
  ApplyDesign(top.Targets(), true);
  top.Window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&top.Window));
  const QColor face = QApplication::palette().color(QPalette::Button);
  EXPECT_FALSE(top.Dock->styleSheet().contains(DockTilePath()));
  EXPECT_FALSE(top.Menu->styleSheet().contains("gradient"));
  EXPECT_FALSE(top.Bar->styleSheet().contains("gradient"));
  EXPECT_EQ(top.Panel->grab().toImage().pixelColor(5, 5), face);
  const QImage dock = top.Dock->grab().toImage();
  EXPECT_EQ(dock.pixelColor(top.Dock->width() - 5, top.Bar->geometry().center().y()), face);
  EXPECT_EQ(top.Menu->grab().toImage().pixelColor(top.Menu->width() - 30, 2), face);
}

TEST(Design, ModernIsWhiteWithTileAndSkinAfterClassic) {
  TTop top;
  ApplyDesign(top.Targets(), true);
  ApplyDesign(top.Targets(), false);
  top.Window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&top.Window));
  EXPECT_TRUE(top.Menu->styleSheet().contains("qlineargradient"));
  EXPECT_TRUE(top.Bar->styleSheet().contains("qlineargradient"));
  EXPECT_EQ(top.Panel->grab().toImage().pixelColor(5, 5), QColor(Qt::white));
  // The tile shows in the dock right of the toolbar, where nothing covers it.
  const QImage dock = top.Dock->grab().toImage();
  const QImage tile(DockTilePath());
  const QPoint bare(top.Bar->geometry().right() + 30, top.Bar->geometry().center().y());
  ASSERT_LT(bare.x(), top.Dock->width());
  EXPECT_EQ(dock.pixelColor(bare), tile.pixelColor(bare.x() % 27, bare.y() % 24));
  // The skin's gradient: the menu bar is lighter at the top than at the bottom.
  const QImage menu = top.Menu->grab().toImage();
  const int x = top.Menu->width() - 30;
  EXPECT_GT(menu.pixelColor(x, 1).lightness(), menu.pixelColor(x, top.Menu->height() - 2).lightness());
}
