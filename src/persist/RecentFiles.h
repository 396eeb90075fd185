#pragma once
// The list of recently opened files in data/recent.dat: most recent first,
// at most ten, one path a line. The menu built from it is the window's.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

#include "document/AppPaths.h"

constexpr int MaxRecentFiles = 10;

struct TRecentEntry {
  QString Caption;  // "&" + n + " : " + path, a "&" of the path doubled
  QString Path;
};

// AppDir + "data/recent.dat" (the data directory in use).
QString GetRFName(const TAppPaths& paths);

// The entries of the file's content: CR, LF and CR LF end a line, a last
// line without its end counts, a zero byte ends the text, an empty line is
// an empty entry. At most MaxRecentFiles are taken, since no more are ever
// shown or kept; a line longer than any path, or one whose bytes are not a
// name in the file-name encoding, is passed over.
QStringList ParseRecentList(const QByteArray& text);
// Each entry followed by CR LF.
QByteArray RecentListText(const QStringList& list);
QList<TRecentEntry> RecentEntries(const QStringList& list);

// Puts Path at the top of the list in FileName (an empty path only reads
// it), writes the list back when it is not empty, and answers the entries
// the menu is to show. A missing file is created empty first.
QList<TRecentEntry> AddRecentFile(const QString& fileName, const QString& path);
// "「最近使ったﾌｧｲﾙ」の履歴を削除しますが、よろしいですか？"
QString DeleteRecentFilesQuestion();
// Asks Confirm (true for OK); on OK an existing file becomes 0 bytes and the
// answer is true, so the caller empties the menu.
bool DeleteRecentFiles(const QString& fileName, const std::function<bool(const QString&)>& Confirm);
