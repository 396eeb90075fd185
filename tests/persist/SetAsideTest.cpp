// Settings files far larger than ours are moved aside, every byte kept,
// before anything could write over them.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

#include "document/FileOps.h"
#include "persist/MemIniFile.h"
#include "persist/SetAside.h"

namespace {

QByteArray Oversized() {
  QByteArray bytes(2 << 20, 'x');
  for (int i = 0; i < bytes.size(); i += 1000) bytes[i] = char(i / 1000);
  return bytes;
}

}  // namespace

TEST(SetAsideTest, OversizedIniIsKeptUnderANewNameAndNeverOverwritten) {
  QTemporaryDir dir;
  const QString path = dir.filePath("property.ini");
  const QByteArray original = Oversized();
  SaveStringToFile(path, original);
  {
    TMemIniFile ini(path);
    EXPECT_TRUE(ini.ReadSections().isEmpty());
    ini.WriteInteger("s", "k", 1);
    ini.UpdateFile();
  }
  EXPECT_EQ(LoadStringFromFile(path + ".large"), original);
  EXPECT_EQ(TMemIniFile(path).ReadInteger("s", "k", 0), 1);

  // A second one takes the next free name; the first stays as it was.
  SaveStringToFile(path, original + "2");
  EXPECT_EQ(SetAsideOversizedFiles({path, dir.filePath("recent.dat")}),
            "property.ini は設定ﾌｧｲﾙとしては大きすぎるため、property.ini.large2 に名前を変えて残しました。\r\n"
            "既定の設定で起動します。");
  EXPECT_EQ(LoadStringFromFile(path + ".large"), original);
  EXPECT_EQ(LoadStringFromFile(path + ".large2"), original + "2");
  EXPECT_FALSE(FileExists(path));
  // Files within the bound, and missing ones, stay where they are.
  SaveStringToFile(path, QByteArray(kMaxSettingsFileSize, 'y'));
  EXPECT_TRUE(SetAsideOversizedFiles({path, dir.filePath("none")}).isEmpty());
  EXPECT_EQ(CheckFileSize(path), kMaxSettingsFileSize);
}

TEST(SetAsideTest, OversizedIniThatCannotBeMovedIsLeftUnwritten) {
  if (geteuid() == 0) GTEST_SKIP() << "root may rename in a read-only directory";
  QTemporaryDir dir;
  const QString path = dir.filePath("property.ini");
  const QByteArray original = Oversized();
  SaveStringToFile(path, original);
  QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
  TMemIniFile ini(path);
  ini.WriteInteger("s", "k", 1);
  ini.UpdateFile();
  QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  EXPECT_EQ(LoadStringFromFile(path), original);
}
