// Thousands separators, the free-memory text and how help topics are named.
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "common/TestFiles.h"
#include "document/AppPaths.h"
#include "help/ChmFile.h"
#include "help/HelpFile.h"
#include "help/HelpPlace.h"
#include "help/MemoryStatus.h"
#include "help/SplitDigit.h"

TEST(SplitDigit, GroupsByThreeFromTheRight) {
  EXPECT_EQ(splitdigit(QString()), QString());
  EXPECT_EQ(splitdigit("12"), "12");
  EXPECT_EQ(splitdigit("123"), "123");
  EXPECT_EQ(splitdigit("1000"), "1,000");
  EXPECT_EQ(splitdigit("123456"), "123,456");
  EXPECT_EQ(splitdigit("1234567"), "1,234,567");
}

TEST(MemoryStatus, TextHasSeparatorsAndSuffix) {
  EXPECT_EQ(MemoryFreeText(1234567), "1,234,567 Byte Free");
  EXPECT_EQ(MemoryFreeText(0), "0 Byte Free");
  // Beyond 4 GiB the figure must not wrap round as a 32-bit count would.
  EXPECT_EQ(MemoryFreeText(6000000000ULL), "6,000,000,000 Byte Free");
}

TEST(MemoryStatus, ReadsMemAvailableInBytes) {
  const QByteArray meminfo =
      "MemTotal:       16318480 kB\nMemFree:          512000 kB\nMemAvailable:    8000000 kB\n";
  EXPECT_EQ(ParseMemAvailable(meminfo), 8000000ULL * 1024);
  EXPECT_EQ(ParseMemAvailable("MemFree: 5 kB\n"), 0u);
  EXPECT_EQ(ParseMemAvailable("MemAvailable: lots kB\n"), 0u);
  EXPECT_EQ(ParseMemAvailable("MemAvailable: 99999999999999999999 kB\n"), 0u);  // not a 64-bit number
  EXPECT_EQ(ParseMemAvailable("MemAvailable: 18446744073709551615 kB\n"), UINT64_MAX);
  EXPECT_GT(AvailablePhysicalMemory(), 0u);
}

TEST(HelpFile, TopicRequestNeedsTheHelpFile) {
  QTemporaryDir dir;
  const QString appDir = dir.path() + "/";
  EXPECT_EQ(HelpFilePath(appDir), appDir + "help.chm");
  EXPECT_EQ(HelpTopicPath("palette(function)"), "html/palette(function)");
  EXPECT_FALSE(HelpTopicRequest(appDir, "palette(function)"));

  QDir().mkdir(appDir + "help.chm");  // a directory of that name is no help file
  EXPECT_FALSE(HelpTopicRequest(appDir, "palette(function)"));
  QDir().rmdir(appDir + "help.chm");

  WriteAll(appDir + "help.chm", "x");
  const auto request = HelpTopicRequest(appDir, "loadbmp(function)");
  ASSERT_TRUE(request);
  EXPECT_EQ(request->File, appDir + "help.chm");
  EXPECT_EQ(request->Topic, "html/loadbmp(function)");
}

TEST(HelpFile, InstalledProgramReadsTheOneUnderShare) {
  QTemporaryDir dir;
  const QString bin = dir.path() + "/usr/bin/";
  QDir().mkpath(bin);
  QDir().mkpath(InstalledDataDir(bin));
  WriteAll(InstalledDataDir(bin) + "help.chm", "x");
  const auto request = HelpTopicRequest(bin, "palette(function)");
  ASSERT_TRUE(request);
  EXPECT_EQ(request->File, dir.path() + "/usr/share/tomaru/help.chm");
  EXPECT_EQ(HelpFilePath(bin), request->File);
}

TEST(HelpFile, LinksResolveInsideTheFile) {
  const QUrl page = HelpPageUrl("html/palette(function)");
  EXPECT_EQ(PathInsideHelp(page), QString("html/palette(function)"));
  EXPECT_EQ(PathInsideHelp(page.resolved(QUrl("loadbmp(function)"))), QString("html/loadbmp(function)"));
  EXPECT_EQ(PathInsideHelp(page.resolved(QUrl("../images/cmd3.png"))), QString("images/cmd3.png"));
  EXPECT_EQ(PathInsideHelp(page.resolved(QUrl("../../../etc/passwd"))), QString("etc/passwd"));
  EXPECT_EQ(PathInsideHelp(page.resolved(QUrl("#top")).adjusted(QUrl::RemoveFragment)),
            QString("html/palette(function)"));
  EXPECT_FALSE(PathInsideHelp(page.resolved(QUrl("https://tomaru.invalid/"))));
  EXPECT_FALSE(PathInsideHelp(QUrl("mailto:info@tomaru.invalid")));
}

TEST(ChmFile, DefaultTopicFromSystemIsBounded) {
  const auto entry = [](quint16 code, const QByteArray& data) {
    QByteArray e;
    e.append(char(code & 0xFF)).append(char(code >> 8));
    e.append(char(data.size() & 0xFF)).append(char(data.size() >> 8));
    return e + data;
  };
  const QByteArray version("\x03\x00\x00\x00", 4);
  EXPECT_EQ(DefaultTopicFromSystem(version + entry(9, "x") + entry(2, QByteArray("/html/a.html\0", 13))),
            "html/a.html");
  EXPECT_EQ(DefaultTopicFromSystem(version + entry(9, "abc")), QString());
  EXPECT_EQ(DefaultTopicFromSystem(QByteArray()), QString());
  // An entry that claims more bytes than there are ends the search.
  QByteArray lying = version + entry(2, "html/a.html");
  lying.chop(3);
  EXPECT_EQ(DefaultTopicFromSystem(lying), QString());
}

TEST(ChmFile, DamagedOrMissingFilesGiveNothing) {
  QTemporaryDir dir;
  {
    TChmFile missing(dir.path() + "/none.chm");
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_FALSE(missing.Read("html/palette(function)"));
    EXPECT_FALSE(missing.Contains("html/palette(function)"));
    EXPECT_TRUE(missing.Files().isEmpty());
  }
  EXPECT_FALSE(TChmFile(dir.path()).IsOpen());  // a directory
  WriteAll(dir.path() + "/junk.chm", QByteArray("ITSF") + QByteArray(200, '\xff'));
  TChmFile junk(dir.path() + "/junk.chm");
  EXPECT_FALSE(junk.Read("html/palette(function)"));
  EXPECT_EQ(junk.DefaultTopic(), QString());

  // Real file, but half of it: whatever opens must not read past the end.
  const QByteArray whole = ReadAll(TOMARU_BIN_DIR "/help.chm");
  WriteAll(dir.path() + "/half.chm", whole.left(whole.size() / 2));
  TChmFile half(dir.path() + "/half.chm");
  for (const QString& path : half.Files()) (void)half.Read(path);
  SUCCEED();
}

TEST(HelpPlace, BesideTheOwnerAndInsideTheScreen) {
  const QRect screen(0, 0, 1280, 1000);  // less its panels
  const QSize help(660, 520);
  const struct {
    QRect Owner;
    QRect Expected;
  } cases[] = {
      {QRect(100, 100, 400, 300), QRect(508, 100, 660, 520)},   // room on the right
      {QRect(700, 50, 500, 400), QRect(32, 50, 660, 520)},      // only on the left
      {QRect(20, 60, 726, 480), QRect(754, 60, 526, 520)},      // narrowed to the right's room
      {QRect(540, 60, 726, 480), QRect(0, 60, 532, 520)},       // narrowed to the left's room
      {QRect(200, 100, 900, 600), QRect(620, 100, 660, 520)},   // too little anywhere: the right edge
      {QRect(100, 800, 400, 150), QRect(508, 480, 660, 520)},   // low owner: the help stays on screen
      {QRect(100, -40, 400, 150), QRect(508, 0, 660, 520)},     // owner partly above the screen
      {QRect(-300, 100, 400, 300), QRect(108, 100, 660, 520)},  // owner partly off the left
  };
  for (const auto& c : cases) EXPECT_EQ(HelpWindowPlace(c.Owner, help, screen), c.Expected) << c.Owner.x() << "," << c.Owner.y();
  // On a second screen to the right, the coordinates are that screen's.
  EXPECT_EQ(HelpWindowPlace(QRect(1400, 100, 400, 300), help, QRect(1280, 0, 1920, 1080)).topLeft(), QPoint(1808, 100));
}
