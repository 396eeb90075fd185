#include "shell/HintPause.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace {

int gPause = -1;

// Gives a widget the application-wide time just before its tooltip is shown.
class THintPauseFilter : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::ToolTip && watched->isWidgetType()) {
      auto* w = static_cast<QWidget*>(watched);
      // A widget that chose its own time keeps it.
      if (w->toolTipDuration() < 0 || w->property(kSetHere).toBool()) {
        w->setToolTipDuration(gPause);
        w->setProperty(kSetHere, true);
      }
    }
    return false;
  }
  static constexpr const char* kSetHere = "tomaruHintHidePause";
};

}  // namespace

void SetHintHidePause(int msec) {
  static THintPauseFilter* filter = nullptr;
  gPause = msec;
  if (!filter && qApp) {
    filter = new THintPauseFilter(qApp);
    qApp->installEventFilter(filter);
  }
}

int HintHidePause() { return gPause; }
