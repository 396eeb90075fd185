#include <QDir>
#include <algorithm>
#include <cerrno>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "common/TestFiles.h"
#include "document/Exception.h"
#include "document/FileErrors.h"
#include "document/FileOps.h"
#include "document/FramePatch.h"

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
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.message(), QStringLiteral("ファイル「") + path +
                               QStringLiteral("」を読み込めませんでした。\n(ファイルまたはフォルダが見つかりません、エラーコード 2)"));
    EXPECT_EQ(e.ErrorCode, ENOENT);
    EXPECT_EQ(e.FileName, path);
  }
  // A directory is no file to read.
  try {
    LoadStringFromFile(dir.path());
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.message(), FileErrorText(TFileAction::Read, dir.path(), EISDIR));
    EXPECT_TRUE(e.message().contains(QStringLiteral("ファイルではなくフォルダです")));
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
      return e.message() == QStringLiteral("ファイル「") + path +
                                QStringLiteral("」を保存できませんでした。\n(ファイルが大きすぎます、エラーコード %1)").arg(EFBIG)
                 ? 0
                 : 2;
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
      return e.ErrorCode == EACCES && e.FileName == path &&
                     e.message() == QStringLiteral("ファイル「") + path +
                                        QStringLiteral("」を保存できませんでした。\n(書き込み権限がありません、エラーコード 13)")
                 ? 0
                 : 2;
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
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.message(), QStringLiteral("フォルダ「") + blocker +
                               QStringLiteral("/sub」を作成できませんでした。\n(パスの途中にフォルダでないものがあります、エラーコード %1)")
                                   .arg(ENOTDIR));
    EXPECT_EQ(e.ErrorCode, ENOTDIR);
  }
  // ForceDirectories makes the whole chain, and says which one it could not.
  const QString deep = dir.filePath(QStringLiteral("x/y/z"));
  ForceDirectories(deep);
  EXPECT_TRUE(DirectoryExists(deep));
  EXPECT_THROW(ForceDirectories(blocker + QStringLiteral("/d")), EInOutError);
}

TEST(FileErrors, ReasonsInJapaneseWithTheCode) {
  EXPECT_EQ(SystemErrorText(EACCES, TFileAction::Write), QStringLiteral("書き込み権限がありません"));
  EXPECT_EQ(SystemErrorText(EACCES, TFileAction::Read), QStringLiteral("読み取り権限がありません"));
  EXPECT_EQ(SystemErrorText(ENOSPC, TFileAction::Write), QStringLiteral("ディスクの空き容量が足りません"));
  EXPECT_EQ(SystemErrorText(EROFS, TFileAction::Write), QStringLiteral("読み取り専用のファイルシステムです"));
  // Every common code has a Japanese text of its own.
  for (int code : {EPERM, ENOENT, ENOTDIR, EISDIR, EFBIG, EIO, ENAMETOOLONG, ELOOP, EMFILE, ENOMEM, EEXIST, EBUSY,
                   EXDEV, EINVAL, EDQUOT}) {
    const QString text = SystemErrorText(code, TFileAction::Write);
    EXPECT_FALSE(text.isEmpty()) << code;
    EXPECT_TRUE(std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x3000; }))
        << code << " " << text.toStdString();
  }
  // A code without one keeps the platform's text, or says it is unknown.
  EXPECT_FALSE(SystemErrorText(ECHILD).isEmpty());
  EXPECT_EQ(SystemErrorText(987654), QStringLiteral("不明なエラー"));

  EXPECT_EQ(FileErrorText(TFileAction::Write, QStringLiteral("/x/a.gif"), EACCES),
            QStringLiteral("ファイル「/x/a.gif」を保存できませんでした。\n(書き込み権限がありません、エラーコード 13)"));
  EXPECT_EQ(FileErrorText(TFileAction::Read, QStringLiteral("/x/%1.gif"), ENOENT),
            QStringLiteral("ファイル「/x/%1.gif」を読み込めませんでした。\n(ファイルまたはフォルダが見つかりません、エラーコード 2)"));
  try {
    RaiseFileError(TFileAction::MakeDir, QStringLiteral("/x"), EACCES);
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.ErrorCode, EACCES);
    EXPECT_EQ(e.FileName, QStringLiteral("/x"));
    EXPECT_EQ(e.message(), QStringLiteral("フォルダ「/x」を作成できませんでした。\n(書き込み権限がありません、エラーコード 13)"));
  }
}

TEST(FileOps, NameParts) {
  EXPECT_EQ(ExtractFileExt(QStringLiteral("/a.dir/a.b.GIF")), QStringLiteral(".GIF"));
  EXPECT_EQ(ExtractFileExt(QStringLiteral("/a.dir/noext")), QString());
  EXPECT_EQ(ExtractFileName(QStringLiteral("/x/y/z.bmp")), QStringLiteral("z.bmp"));
  EXPECT_EQ(ExtractFilePath(QStringLiteral("/x/y/z.bmp")), QStringLiteral("/x/y/"));
}

// More edits than one gathered write takes, some inserting, some deleting:
// the file written around the source is what the copy would be.
TEST(FramePatch, ManyEditsAreWrittenAsTheCopyWouldBe) {
  QByteArray source(1 << 20, '\0');
  for (int i = 0; i < source.size(); ++i) source[i] = char(i * 7);
  TGifEdits edits;
  for (int k = 0; k < 3000; ++k) {
    const int at = k * 300;
    const QByteArray bytes = k % 3 == 0 ? QByteArray() : QByteArray(k % 5, char(k));
    edits.Replace(at, at + k % 4, bytes);
  }
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("out.bin"));
  SaveToFile(path, [&](int fd) { return edits.WriteTo(fd, source); });
  EXPECT_EQ(ReadAll(path), edits.Apply(source));
}
