// Inputs the fuzzers found defects with (also kept in fuzz/regressions/ for
// the fuzz targets themselves), checked in the normal build.
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "common/TestFiles.h"
#include "document/FileOps.h"
#include "shell/RecentFiles.h"

namespace {

QByteArray RegressionInput(const char* target, const char* name) {
  return ReadAll(QStringLiteral(TOMARU_SOURCE_DIR "/fuzz/regressions/%1/%2").arg(QLatin1String(target), QLatin1String(name)));
}

// A line of bytes that are not UTF-8 (a path written by another system) read
// as replacement characters; rewritten, it became a longer line than the
// reader takes, so the list read back differed from the list written.
TEST(FuzzRegression, ARecentEntryThatIsNoFileNameIsPassedOverAndTheRewriteReadsBack) {
  const QByteArray text = RegressionInput("recent", "entry-not-in-file-name-encoding.dat");
  ASSERT_TRUE(text.contains('\xFF'));
  const QStringList list = ParseRecentList(text);
  EXPECT_EQ(list, QStringList{QStringLiteral("/ok.gif")});
  EXPECT_EQ(ParseRecentList(RecentListText(list)), list);

  QTemporaryDir dir;
  const QString name = dir.filePath(QStringLiteral("recent.dat"));
  WriteAll(name, text);
  const auto entries = AddRecentFile(name, QStringLiteral("/new.gif"));
  ASSERT_EQ(entries.size(), 2);
  EXPECT_EQ(ReadAll(name), QByteArray("/new.gif\r\n/ok.gif\r\n"));
  // Short lines of such bytes go the same way, the valid ones around them stay.
  EXPECT_EQ(ParseRecentList("/a.gif\r\n/\x82\xa0.gif\r\n/b.gif"), (QStringList{QStringLiteral("/a.gif"), QStringLiteral("/b.gif")}));
}

}  // namespace
