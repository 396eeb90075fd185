#include <QDir>
#include <QFile>
#include <QFileInfo>
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

// Each window works in a folder of its own, under the runtime folder when the
// session has one, else under the shared data folder.
TEST(AppPaths, EachWindowGetsAWorkFolderOfItsOwn) {
  QTemporaryDir dir;
  const QString data = dir.path() + QStringLiteral("/data/"), run = dir.path() + QStringLiteral("/run/");
  QDir().mkpath(data);
  QDir().mkpath(run);
  const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
  for (const QString& base : {run, data}) {
    base == run ? qputenv("XDG_RUNTIME_DIR", QFile::encodeName(run)) : qunsetenv("XDG_RUNTIME_DIR");
    const QString one = MakeWorkFolder(data), two = MakeWorkFolder(data);
    EXPECT_TRUE(one.startsWith(base) && one.endsWith(QLatin1Char('/'))) << one.toStdString();
    EXPECT_NE(one, two);
    EXPECT_EQ(QFile::permissions(one) & 0x0077, 0);  // nobody else's
    QFile(TAppPaths{QString(), data, one}.Work(QStringLiteral("_.gif"))).open(QIODevice::WriteOnly);  // not empty
    RemoveWorkFolder(one);
    EXPECT_FALSE(QFileInfo::exists(one));
    EXPECT_TRUE(QFileInfo::exists(two));
  }
  if (!runtime.isEmpty()) qputenv("XDG_RUNTIME_DIR", runtime);
  // Without a folder of its own, a window works in the data folder as before.
  EXPECT_EQ((TAppPaths{QString(), data, QString()}).Work(QStringLiteral("bg.css")), data + QStringLiteral("bg.css"));
}
