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
