#include "shell/RecentMenu.h"

TRecentMenu::TRecentMenu(const QString& title, QAction* deleteCommand, QWidget* parent) : QMenu(title, parent) {
  addAction(deleteCommand);
  addSeparator();
}

void TRecentMenu::SetEntries(const QList<TRecentEntry>& entries) {
  ClearEntries();
  for (const TRecentEntry& entry : entries) {
    QAction* item = addAction(entry.Caption);
    item->setData(entry.Path);
    item->setStatusTip(entry.Path);
    item->setToolTip(entry.Path);
    connect(item, &QAction::triggered, this, [this, item] { emit Chosen(item->data().toString()); });
    Entries.append(item);
  }
}

void TRecentMenu::ClearEntries() {
  for (QAction* item : Entries) {
    removeAction(item);
    item->deleteLater();  // it may be the entry whose click is running
  }
  Entries.clear();
}
