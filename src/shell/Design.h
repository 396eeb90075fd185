#pragma once
// The two designs of the top of the main window: the modern one (white,
// the dock tile, the skin's gradients on the menu bar and toolbar) and the
// classic one (the system's button-face colour, no tile, no skin).
class QWidget;

struct TDesignTargets {
  QWidget* Dock = nullptr;      // tbdTop
  QWidget* MainMenu = nullptr;  // tbtMainMenu
  QWidget* Toolbar = nullptr;   // tbtRatio
  QWidget* TopPanel = nullptr;  // pnlTopMain
};

void ApplyModernDesign(const TDesignTargets& targets);
void ApplyClassicDesign(const TDesignTargets& targets);
// classic true: the classic design; false: the modern one.
void ApplyDesign(const TDesignTargets& targets, bool classic);

// The style draws a control's focus frame only once the keyboard has moved
// the focus by Tab; a control reached by its mnemonic (Alt+T) would take the
// keys unmarked. From now on w shows its frame when a mnemonic focuses it too.
void MarkFocusByMnemonic(QWidget* w);
