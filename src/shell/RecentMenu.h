#pragma once
// The recent-file submenu: the delete command and a separator, then one entry
// per recent file. Each entry keeps its path in its data and shows it as its
// hint; choosing one emits the path. The main window only connects it.
#include <QList>
#include <QMenu>

#include "persist/RecentFiles.h"

class TRecentMenu : public QMenu {
  Q_OBJECT
 public:
  TRecentMenu(const QString& title, QAction* deleteCommand, QWidget* parent);

  // Replaces the entries with these, in order.
  void SetEntries(const QList<TRecentEntry>& entries);
  // Leaves only the delete command and the separator.
  void ClearEntries();

 signals:
  void Chosen(const QString& path);

 private:
  QList<QAction*> Entries;
};
