#pragma once
// Running the tomaru executable as a process, with no display at all.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include "common/GifFactory.h"

struct TCliRun {
  int Exit = -1;
  QString Out, Err;
};

// lang: the LANG of the run (no LANGUAGE, LC_ALL or LC_MESSAGES), Japanese
// unless told, so that messages come in the program's source texts.
TCliRun RunTomaru(const QStringList& args, const QString& workDir,
                  const QString& lang = QStringLiteral("ja_JP.UTF-8"));

// The same under another user and group (the test must run as root).
TCliRun RunTomaruAs(unsigned uid, unsigned gid, const QStringList& args, const QString& workDir);

// A bash script with $T naming the executable: for names that are not
// UTF-8, pipes and redirections.
TCliRun RunTomaruScript(const QString& script, const QString& workDir);

// Red with white at 1, drawn with both, no transparency: the batch tests' input.
QByteArray WhiteGif();

// An animation: the frames of the given single-picture GIFs, in order, on the
// first one's screen.
QByteArray Animation(const std::vector<QByteArray>& frames);
