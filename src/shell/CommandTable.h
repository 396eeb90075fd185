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

extern const TCommandDef CommandTable[22];

// The named command's hint as the table gives it, in this run's language.
QString CommandHint(const char* name);

// Creates the commands, owned by owner, named and set up as the table says.
QList<TAction*> CreateCommands(QObject* owner);
