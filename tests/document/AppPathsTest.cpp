#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "document/AppPaths.h"

TEST(AppPaths, PortableWhenTheProgramDirectoryIsWritableElsePerUser) {
  QTemporaryDir dir;
  const TAppPaths portable = TAppPaths::ForAppDir(dir.path());
  EXPECT_EQ(portable.AppDir, dir.path() + QStringLiteral("/"));
  EXPECT_EQ(portable.Data(QStringLiteral("bg.css")), dir.path() + QStringLiteral("/data/bg.css"));

  // A program directory that cannot take a data directory (here: absent).
  qputenv("XDG_DATA_HOME", QFile::encodeName(dir.path() + QStringLiteral("/share")));
  const TAppPaths installed = TAppPaths::ForAppDir(dir.path() + QStringLiteral("/missing/bin/"));
  qunsetenv("XDG_DATA_HOME");
  EXPECT_EQ(installed.AppDir, dir.path() + QStringLiteral("/missing/bin/"));
  EXPECT_EQ(installed.DataDir, dir.path() + QStringLiteral("/share/tomaru/data/"));
}

// An installed program (bin/ beside share/tomaru/) keeps its working files per
// user even where it could write beside itself, as root can in /usr/bin.
TEST(AppPaths, InstalledProgramNeverWritesBesideItself) {
  QTemporaryDir dir;
  const QString bin = dir.path() + QStringLiteral("/usr/bin/");
  QDir().mkpath(bin);
  QDir().mkpath(InstalledDataDir(bin));
  EXPECT_TRUE(InstalledDataDir(bin).startsWith(dir.path() + QStringLiteral("/usr/share/")));
  EXPECT_TRUE(InstalledPluginDir(bin).startsWith(dir.path() + QStringLiteral("/usr/lib")));
  EXPECT_TRUE(InstalledPluginDir(bin).endsWith(QStringLiteral("/tomaru/plugins/")));

  qputenv("XDG_DATA_HOME", QFile::encodeName(dir.path() + QStringLiteral("/home")));
  const TAppPaths paths = TAppPaths::ForAppDir(bin);
  qunsetenv("XDG_DATA_HOME");
  EXPECT_EQ(paths.DataDir, dir.path() + QStringLiteral("/home/tomaru/data/"));
}

TEST(AppPaths, ShippedFileBesideTheProgramBeforeTheInstalledOne) {
  QTemporaryDir dir;
  const QString bin = dir.path() + QStringLiteral("/bin/");
  const QString share = dir.path() + QStringLiteral("/share/");
  QDir().mkpath(bin);
  QDir().mkpath(share);
  EXPECT_EQ(ShippedFile(bin, share, QStringLiteral("help.chm")), bin + QStringLiteral("help.chm"));  // neither
  QFile(share + QStringLiteral("help.chm")).open(QIODevice::WriteOnly);
  EXPECT_EQ(ShippedFile(bin, share, QStringLiteral("help.chm")), share + QStringLiteral("help.chm"));
  QFile(bin + QStringLiteral("help.chm")).open(QIODevice::WriteOnly);
  EXPECT_EQ(ShippedFile(bin, share, QStringLiteral("help.chm")), bin + QStringLiteral("help.chm"));
}
