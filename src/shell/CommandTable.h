#pragma once
// The command table of the main window, in the order of its command list.
#include <QList>
#include <QObject>

#include "shell/Action.h"

struct TCommandDef {
  const char* Name;
  const char* Category;
  const char* Caption;
  const char* Shortcut;  // QKeySequence text; empty for none
  const char* Hint;
  int ImageIndex;        // -1: no icon
  int Tag;               // enabling level the command needs
  bool Checkable;
  bool Checked;
};

extern const TCommandDef CommandTable[21];

// Creates the commands, owned by owner, named and set up as the table says.
QList<TAction*> CreateCommands(QObject* owner);
