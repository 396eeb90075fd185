#pragma once
// Running the tomaru executable as a process, with no display at all, over
// files made in a fresh folder.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

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

// Red, white, green, white, no transparency: white stands twice, so a choice
// by colour and a choice by pixel can name different entries.
QByteArray TwoWhites(std::optional<uint8_t> gceFlags = 0x00);

// The first frame's transparent index; -1 for none, -2 for a file giflib refuses.
int TransparentIndexOf(const QByteArray& gif);

inline QByteArray N(const QString& path) { return QFile::encodeName(path); }

class CliTest : public ::testing::Test {
 protected:
  QTemporaryDir Dir;
  QString P(const QString& name) const { return Dir.filePath(name); }
  TCliRun Run(const QStringList& args) { return RunTomaru(args, Dir.path()); }
  void MakeDirs(const QStringList& names) const {
    for (const QString& name : names) QDir(Dir.path()).mkpath(name);
  }
  QStringList Files(const QString& folder = ".") const {
    return QDir(P(folder)).entryList(QDir::Files | QDir::Hidden, QDir::Name);
  }
};
