#include "shell/Design.h"

#include <QApplication>
#include <QEvent>
#include <QPalette>
#include <QString>
#include <QStyle>
#include <QWidget>

#include "shell/Icons.h"

namespace {

// The skin: soft blue gradients that let the dock tile show through, a warm
// highlight under the pointer, and light popups with a shadowed edge.
const char* const kMenuSkin = R"(
#tbtMainMenu {
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1,
    stop:0 rgba(255, 255, 255, 0), stop:0.6 rgba(225, 235, 250, 120), stop:1 rgba(170, 195, 235, 200));
  border: none;
}
#tbtMainMenu::item { background: transparent; padding: 3px 8px; }
#tbtMainMenu::item:selected, #tbtMainMenu::item:pressed {
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fff4d6, stop:1 #ffd27a);
  border: 1px solid #d9a54a; border-radius: 2px;
}
QMenu {
  background: white; border: 1px solid #8aa2c8;
  border-right: 2px solid #a0a0a0; border-bottom: 2px solid #a0a0a0;
}
QMenu::item { padding: 3px 24px 3px 26px; }
QMenu::item:selected {
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fff4d6, stop:1 #ffd27a);
  color: black;
}
QMenu::item:disabled { color: #a0a0a0; }
QMenu::separator { height: 1px; background: #c8d4e8; margin: 3px 4px 3px 24px; }
QMenu::icon { padding-left: 4px; }
)";

const char* const kToolbarSkin = R"(
#tbtRatio {
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1,
    stop:0 rgba(255, 255, 255, 200), stop:0.5 rgba(225, 235, 250, 200), stop:1 rgba(165, 190, 230, 220));
  border: 1px solid rgba(100, 130, 190, 160); border-radius: 3px;
  spacing: 2px; padding: 1px;
}
#tbtRatio QToolButton { background: transparent; border: 1px solid transparent; border-radius: 2px; padding: 2px; }
#tbtRatio QToolButton:hover {
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fff4d6, stop:1 #ffd27a);
  border: 1px solid #d9a54a;
}
#tbtRatio QToolButton:pressed, #tbtRatio QToolButton:checked {
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffd27a, stop:1 #ffb84a);
  border: 1px solid #c08030;
}
#tbtRatio QToolButton:disabled { color: #a0a0a0; }
#tbtRatio QToolButton[popupMode="1"] { padding-right: 13px; }
#tbtRatio QToolButton::menu-button {
  background: transparent; border: 1px solid transparent; width: 11px;
  border-top-right-radius: 2px; border-bottom-right-radius: 2px;
}
#tbtRatio QToolButton::menu-button:hover { border: 1px solid #d9a54a; }
#tbtRatio QToolButton::menu-arrow { image: url(:/icons/arrow.png); }
)";

// Everything is said in style sheets: a palette set beside a sheet is not
// reliably repainted when the sheet changes.
void Style(QWidget* w, const QString& sheet) {
  if (!w) return;
  w->setPalette(QPalette());
  w->setAutoFillBackground(false);
  w->setAttribute(Qt::WA_StyledBackground, true);
  w->setStyleSheet(sheet);
  // Qt keeps the old background of a styled container; polish it afresh.
  w->style()->unpolish(w);
  w->style()->polish(w);
  w->update();
}

QString Plain(const char* name, const QString& background) {
  return QStringLiteral("#%1 { background-color: %2; }").arg(QLatin1String(name), background);
}

QString DockSheet(const QString& background) {
  return QStringLiteral("#tbdTop { %1 border-bottom: 1px solid #808080; }").arg(background);
}

}  // namespace

void ApplyModernDesign(const TDesignTargets& t) {
  Style(t.Dock, DockSheet(QStringLiteral("background-color: white; background-image: url(%1);").arg(DockTilePath())));
  Style(t.MainMenu, QString::fromLatin1(kMenuSkin));
  Style(t.Toolbar, QString::fromLatin1(kToolbarSkin));
  Style(t.TopPanel, Plain("pnlTopMain", QStringLiteral("white")));
}

void ApplyClassicDesign(const TDesignTargets& t) {
  const QString face = QApplication::palette().color(QPalette::Button).name();
  Style(t.Dock, DockSheet(QStringLiteral("background-color: %1;").arg(face)));
  Style(t.MainMenu, Plain("tbtMainMenu", face));
  Style(t.Toolbar, Plain("tbtRatio", face) + QStringLiteral(" #tbtRatio { border: none; }"));
  Style(t.TopPanel, Plain("pnlTopMain", face));
}

namespace {

class TMnemonicFocusMark : public QObject {
 public:
  using QObject::QObject;

 protected:
  // The mnemonic arrives as a shortcut event before the control takes the focus.
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Shortcut) {
      auto* w = static_cast<QWidget*>(watched);
      w->window()->setAttribute(Qt::WA_KeyboardFocusChange, true);
      w->update();
    }
    return false;
  }
};

}  // namespace

void MarkFocusByMnemonic(QWidget* w) { w->installEventFilter(new TMnemonicFocusMark(w)); }

void ApplyDesign(const TDesignTargets& targets, bool classic) {
  if (classic)
    ApplyClassicDesign(targets);
  else
    ApplyModernDesign(targets);
}
