#pragma once
// A command of the command table: a QAction that also carries the enabling
// level it needs (Tag), its category and icon index, and exposes its check
// mark and hint under the names the property store uses.
#include <QAction>

class TAction : public QAction {
  Q_OBJECT
  Q_PROPERTY(bool Checked READ isChecked WRITE setChecked)
  Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
  Q_PROPERTY(int Tag MEMBER Tag)
  Q_PROPERTY(QString Category MEMBER Category)
  Q_PROPERTY(int ImageIndex MEMBER ImageIndex)
 public:
  using QAction::QAction;
  int Tag = 0;
  QString Category;
  int ImageIndex = -1;

  QString Hint() const { return statusTip(); }
  void SetHint(const QString& hint) {
    setStatusTip(hint);
    setToolTip(hint.isEmpty() ? QString(text()).remove(QLatin1Char('&')) : hint);
  }
};
