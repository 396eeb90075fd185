// recent.dat as it is read at start and rewritten on every open: at most ten
// entries, each on one line, and the file written back reads as the list
// it was written from, with the opened path on top.
#include "FuzzSupport.h"
#include "document/FileOps.h"
#include "persist/RecentFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray text = Bytes(data, size);
  const QStringList list = ParseRecentList(text);
  FUZZ_CHECK(list.size() <= MaxRecentFiles);
  const QList<TRecentEntry> entries = RecentEntries(list);
  FUZZ_CHECK(entries.size() == list.size());
  for (const QString& entry : list)
    FUZZ_CHECK(!entry.contains(QLatin1Char('\r')) && !entry.contains(QLatin1Char('\n')) && !entry.contains(QChar(0)));
  FUZZ_CHECK(ParseRecentList(RecentListText(list)) == list);

  const QString name = ScratchDir() + QStringLiteral("recent.dat");
  SaveStringToFile(name, text);
  const QString opened = QStringLiteral("/pictures/新しい & 1.gif");
  const QList<TRecentEntry> after = AddRecentFile(name, opened);
  FUZZ_CHECK(!after.isEmpty() && after.size() <= MaxRecentFiles);
  FUZZ_CHECK(after.first().Path == opened);
  const QStringList reread = ParseRecentList(LoadStringFromFile(name));
  FUZZ_CHECK(reread.size() == after.size());
  for (int i = 0; i < reread.size(); ++i) FUZZ_CHECK(reread[i] == after[i].Path);
  return 0;
}
