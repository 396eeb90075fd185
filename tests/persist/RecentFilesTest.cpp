#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "common/TestFiles.h"
#include "persist/RecentFiles.h"

namespace {

class RecentFiles : public ::testing::Test {
 protected:
  QTemporaryDir Dir;
  QString Name = Dir.filePath(QStringLiteral("data/recent.dat"));

  QStringList Paths(const QList<TRecentEntry>& entries) {
    QStringList out;
    for (const TRecentEntry& e : entries) out << e.Path;
    return out;
  }
  static QString P(int i) { return QStringLiteral("/pics/%1.gif").arg(i); }
};

}  // namespace

TEST_F(RecentFiles, NameIsInTheDataDirectory) {
  TAppPaths paths;
  paths.DataDir = QStringLiteral("/opt/tomaru/data/");
  EXPECT_EQ(GetRFName(paths), QStringLiteral("/opt/tomaru/data/recent.dat"));
}

TEST_F(RecentFiles, FirstStartCreatesAnEmptyFileAndWritesNothingElse) {
  EXPECT_TRUE(AddRecentFile(Name, QString()).isEmpty());
  EXPECT_EQ(QFileInfo(Name).size(), 0);
}

TEST_F(RecentFiles, MostRecentFirstWithoutDuplicatesInAnyLetterCase) {
  AddRecentFile(Name, QStringLiteral("/x/A.gif"));
  AddRecentFile(Name, QStringLiteral("/x/B.gif"));
  const auto entries = AddRecentFile(Name, QStringLiteral("/x/A.gif"));
  EXPECT_EQ(Paths(entries), QStringList({QStringLiteral("/x/A.gif"), QStringLiteral("/x/B.gif")}));
  EXPECT_EQ(ReadAll(Name), QByteArray("/x/A.gif\r\n/x/B.gif\r\n"));
  EXPECT_EQ(entries[0].Caption, QStringLiteral("&1 : /x/A.gif"));

  AddRecentFile(Name, QStringLiteral("/x/b.GIF"));
  EXPECT_EQ(ReadAll(Name), QByteArray("/x/b.GIF\r\n/x/A.gif\r\n"));

  const auto amp = AddRecentFile(Name, QStringLiteral("/x/R&D.gif"));
  EXPECT_EQ(amp[0].Caption, QStringLiteral("&1 : /x/R&&D.gif"));
  EXPECT_EQ(amp[0].Path, QStringLiteral("/x/R&D.gif"));
}

TEST_F(RecentFiles, TheEleventhFilePushesTheOldestOut) {
  for (int i = 1; i <= 10; ++i) AddRecentFile(Name, P(i));
  const auto entries = AddRecentFile(Name, P(11));
  ASSERT_EQ(entries.size(), 10);
  EXPECT_EQ(entries[0].Path, P(11));
  EXPECT_EQ(entries[9].Path, P(2));
  EXPECT_EQ(entries[9].Caption, QStringLiteral("&10 : ") + P(2));
  EXPECT_FALSE(ReadAll(Name).contains(P(1).toUtf8()));
}

TEST_F(RecentFiles, AHandEditedFileIsReadByTheLineRulesAndCutToTenAtStart) {
  QByteArray twelve;
  for (int i = 1; i <= 12; ++i) twelve += P(i).toUtf8() + "\n";
  WriteAll(Dir.filePath(QStringLiteral("x")), QByteArray());  // data/ created below
  AddRecentFile(Name, QString());
  WriteAll(Name, twelve);
  const auto entries = AddRecentFile(Name, QString());
  ASSERT_EQ(entries.size(), 10);
  QByteArray ten;
  for (int i = 1; i <= 10; ++i) ten += P(i).toUtf8() + "\r\n";
  EXPECT_EQ(ReadAll(Name), ten);

  EXPECT_EQ(ParseRecentList("a\rb\nc\r\n\r\nd"),
            QStringList({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QString(), QStringLiteral("d")}));
  EXPECT_EQ(ParseRecentList(QByteArray("a\r\nb\0c\r\n", 8)), QStringList({QStringLiteral("a"), QStringLiteral("b")}));
  EXPECT_EQ(ParseRecentList(QByteArray("\0a", 2)), QStringList());
  EXPECT_EQ(ParseRecentList("\r\r\n"), QStringList({QString(), QString()}));
}

TEST_F(RecentFiles, JunkAndHugeFilesDoNoHarm) {
  AddRecentFile(Name, QString());
  QByteArray junk(4 << 20, '\0');
  for (char& c : junk) c = char(QRandomGenerator::global()->generate() | 1);  // no zero byte
  WriteAll(Name, junk);
  EXPECT_LE(AddRecentFile(Name, QStringLiteral("/a.gif")).size(), 10);
  EXPECT_LE(ReadAll(Name).size(), 10 * 4098);

  // One line longer than any path: passed over. (A file past 1 MiB is
  // no list of ours and is moved aside whole, see below.)
  WriteAll(Name, QByteArray(512 << 10, 'x') + "\r\n/b.gif\r\n");
  EXPECT_EQ(Paths(AddRecentFile(Name, QString())), QStringList({QStringLiteral("/b.gif")}));

  // A path with a line break would become two entries: it is not entered.
  EXPECT_EQ(Paths(AddRecentFile(Name, QStringLiteral("/c\n/d.gif"))), QStringList({QStringLiteral("/b.gif")}));
}

TEST_F(RecentFiles, DeletingAsksFirst) {
  AddRecentFile(Name, QStringLiteral("/a.gif"));
  QString asked;
  EXPECT_FALSE(DeleteRecentFiles(Name, [&](const QString& q) {
    asked = q;
    return false;
  }));
  EXPECT_EQ(asked, QStringLiteral("「最近使ったﾌｧｲﾙ」の履歴を削除しますが、よろしいですか？"));
  EXPECT_EQ(ReadAll(Name), QByteArray("/a.gif\r\n"));
  EXPECT_TRUE(DeleteRecentFiles(Name, [](const QString&) { return true; }));
  EXPECT_EQ(ReadAll(Name), QByteArray());
  EXPECT_TRUE(AddRecentFile(Name, QString()).isEmpty());

  // No file: nothing is created.
  QFile::remove(Name);
  EXPECT_TRUE(DeleteRecentFiles(Name, [](const QString&) { return true; }));
  EXPECT_FALSE(Exists(Name));
}

TEST_F(RecentFiles, AListFarLargerThanOursIsMovedAsideWhole) {
  AddRecentFile(Name, QString());
  QByteArray huge;
  while (huge.size() <= (2 << 20)) huge += P(huge.size() % 7).toUtf8() + "\r\n";
  WriteAll(Name, huge);
  const auto entries = AddRecentFile(Name, P(1));
  ASSERT_EQ(entries.size(), 1);
  EXPECT_EQ(ReadAll(Name + ".large"), huge);
  EXPECT_EQ(ReadAll(Name), P(1).toUtf8() + "\r\n");
}
