#pragma once
// What the empty picture pane says until a picture is open: how to open one,
// and the files opened lately, each a link that opens it (by mouse, or Tab
// and Return).
#include <QLabel>

#include "persist/RecentFiles.h"

class TStartHint : public QLabel {
  Q_OBJECT
 public:
  // Covers parent (the picture pane's viewport) and follows its size.
  explicit TStartHint(QWidget* parent);
  void SetRecent(const QList<TRecentEntry>& entries);

 signals:
  void Chosen(const QString& path);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QStringList Paths;
};
