#include "persist/RecentFiles.h"

#include <QCoreApplication>

#include <QFile>

#include "document/FileOps.h"
#include "persist/SetAside.h"

namespace {

// Longer than any path the system accepts: not an entry of ours.
constexpr int MaxEntryBytes = 4096;

bool FitsOnOneLine(const QString& path) {
  return !path.contains(QLatin1Char('\r')) && !path.contains(QLatin1Char('\n')) && !path.contains(QChar(0));
}

}  // namespace

QString GetRFName(const TAppPaths& paths) { return paths.Data(QStringLiteral("recent.dat")); }

QStringList ParseRecentList(const QByteArray& text) {
  QStringList list;
  const char* p = text.constData();
  const char* const end = p + text.size();
  while (p < end && *p != '\0' && list.size() < MaxRecentFiles) {
    const char* start = p;
    while (p < end && *p != '\0' && *p != '\r' && *p != '\n') ++p;
    const qsizetype length = p - start;
    if (p < end && *p == '\r') ++p;
    if (p < end && *p == '\n') ++p;  // LF alone, or the LF of CR LF
    if (length > MaxEntryBytes) continue;
    // Bytes that are no name in the file-name encoding would come back as
    // replacement characters: no file has that name, and writing the list
    // back would put a different, longer line in place of this one.
    const QByteArray bytes(start, length);
    const QString entry = QFile::decodeName(bytes);
    if (QFile::encodeName(entry) == bytes) list << entry;
  }
  return list;
}

QByteArray RecentListText(const QStringList& list) {
  QByteArray out;
  for (const QString& entry : list) out += QFile::encodeName(entry) + "\r\n";
  return out;
}

QList<TRecentEntry> RecentEntries(const QStringList& list) {
  QList<TRecentEntry> entries;
  // A "&" of the path is doubled so the menu shows it instead of taking it
  // for an accelerator mark.
  for (int i = 0; i < list.size(); ++i) {
    const QString shown = QString(list[i]).replace(QLatin1Char('&'), QStringLiteral("&&"));
    entries.append({QLatin1Char('&') + QString::number(i + 1) + QStringLiteral(" : ") + shown, list[i]});
  }
  return entries;
}

QList<TRecentEntry> AddRecentFile(const QString& fileName, const QString& path) {
  // A list far larger than ours is kept aside, not cut down to nine lines.
  SetAsideOversized(fileName);
  if (CheckFileSize(fileName) > kMaxSettingsFileSize) return {};
  if (!FileExists(fileName)) SaveStringToFile(fileName, QByteArray());
  QStringList list = ParseRecentList(LoadStringFromFile(fileName));
  // A path with a line break cannot be kept one a line; it is not entered.
  if (!path.isEmpty() && FitsOnOneLine(path)) {
    for (int i = 0; i < list.size(); ++i) {
      if (list[i].compare(path, Qt::CaseInsensitive) == 0) {
        list.removeAt(i);
        break;
      }
    }
    list.prepend(path);
  }
  if (list.isEmpty()) return {};
  while (list.size() > MaxRecentFiles) list.removeLast();
  SaveStringToFile(fileName, RecentListText(list));
  return RecentEntries(list);
}

QString DeleteRecentFilesQuestion() {
  return QCoreApplication::translate("RecentFiles", "「最近使ったﾌｧｲﾙ」の履歴を削除しますが、よろしいですか？");
}

bool DeleteRecentFiles(const QString& fileName, const std::function<bool(const QString&)>& Confirm) {
  if (!Confirm(DeleteRecentFilesQuestion())) return false;
  if (FileExists(fileName)) SaveStringToFile(fileName, QByteArray());
  return true;
}
