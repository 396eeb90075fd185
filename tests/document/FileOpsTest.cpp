#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "common/TestFiles.h"
#include "document/Exception.h"
#include "document/FileOps.h"

TEST(FileOps, WholeFileRoundTripIncludingEmpty) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("a/b/c.bin"));
  const QByteArray data("\0\x01\xFFxyz", 6);
  SaveStringToFile(path, data);  // creates the missing directories
  EXPECT_EQ(LoadStringFromFile(path), data);
  EXPECT_EQ(CheckFileSize(path), 6);
  SaveStringToFile(path, QByteArray());
  EXPECT_EQ(CheckFileSize(path), 0);
  EXPECT_TRUE(LoadStringFromFile(path).isEmpty());
  // No temporary sibling is left behind.
  EXPECT_EQ(QDir(dir.filePath(QStringLiteral("a/b"))).entryList(QDir::Files).size(), 1);
}

TEST(FileOps, MissingFiles) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("none.gif"));
  EXPECT_EQ(CheckFileSize(path), -1);
  EXPECT_FALSE(FileExists(path));
  try {
    LoadStringFromFile(path);
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.message(), path + QStringLiteral("の情報の取得に失敗しました。"));
  }
}

TEST(FileOps, ReplacingKeepsTheFileModeAndReplacesWholly) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("x.gif"));
  WriteAll(path, QByteArray(1000, 'a'));
  chmod(QFile::encodeName(path).constData(), 0640);
  SaveStringToFile(path, "short");
  EXPECT_EQ(ReadAll(path), QByteArray("short"));
  struct stat st;
  stat(QFile::encodeName(path).constData(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(FileOps, AFailedWriteLeavesTheOldFileByteForByte) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("kept.gif"));
  const QByteArray old(5000, 'k');
  WriteAll(path, old);

  // A full disk: the write runs out of room half-way.
  int rc = RunInChild({false, 2048}, [&] {
    try {
      SaveStringToFile(path, QByteArray(100000, 'n'));
    } catch (const EInOutError& e) {
      return e.message() == QStringLiteral("I/O エラー (%1)").arg(EFBIG) ? 0 : 2;
    }
    return 1;
  });
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(ReadAll(path), old);

  // A directory the user may not write to.
  chmod(QFile::encodeName(dir.path()).constData(), 0755);
  rc = RunInChild({true, -1}, [&] {
    try {
      SaveStringToFile(path, "new");
    } catch (const EInOutError& e) {
      return e.ErrorCode == EACCES ? 0 : 2;
    }
    return 1;
  });
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(ReadAll(path), old);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

TEST(FileOps, ADirectoryThatCannotBeMadeIsReported) {
  QTemporaryDir dir;
  const QString blocker = dir.filePath(QStringLiteral("plain"));
  WriteAll(blocker, "file, not a directory");
  try {
    SaveStringToFile(blocker + QStringLiteral("/sub/x.css"), "x");
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.message(), QStringLiteral("ディレクトリ") + blocker + QStringLiteral("/subが作れません。"));
  }
}

TEST(FileOps, NameParts) {
  EXPECT_EQ(ExtractFileExt(QStringLiteral("/a.dir/a.b.GIF")), QStringLiteral(".GIF"));
  EXPECT_EQ(ExtractFileExt(QStringLiteral("/a.dir/noext")), QString());
  EXPECT_EQ(ExtractFileName(QStringLiteral("/x/y/z.bmp")), QStringLiteral("z.bmp"));
  EXPECT_EQ(ExtractFilePath(QStringLiteral("/x/y/z.bmp")), QStringLiteral("/x/y/"));
}
