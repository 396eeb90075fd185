#include "shell/Icons.h"

#include <QAction>
#include <QVariant>

// The resources live in a static library: make sure they are registered
// before the first look-up. (Outside any namespace, as the macro requires.)
static void InitIconResources() {
  static bool done = false;
  if (done) return;
  Q_INIT_RESOURCE(icons);
  done = true;
}

QIcon CommandIcon(int imageIndex) {
  InitIconResources();
  if (imageIndex < 0 || imageIndex >= CommandIconCount || imageIndex == 9 || imageIndex == 10) return QIcon();
  return QIcon(QStringLiteral(":/icons/cmd%1.png").arg(imageIndex));
}

void ApplyCommandIcons(QObject* owner) {
  for (QAction* action : owner->findChildren<QAction*>()) {
    const QVariant index = action->property("ImageIndex");
    if (!index.isValid()) continue;
    const QIcon icon = CommandIcon(index.toInt());
    if (!icon.isNull()) action->setIcon(icon);
  }
}

QIcon ProgramIcon() {
  InitIconResources();
  QIcon icon;
  for (int size : {16, 32, 48, 64}) icon.addFile(QStringLiteral(":/icons/tomaru%1.png").arg(size), QSize(size, size));
  return icon;
}

QPixmap DockTile() {
  InitIconResources();
  return QPixmap(DockTilePath());
}

QString DockTilePath() { return QStringLiteral(":/icons/tbbg.png"); }
