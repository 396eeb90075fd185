#include <gtest/gtest.h>

#include "persist/DropFiles.h"

namespace {

struct TDropLog {
  QStringList Opened, Messages;
  void Drop(const QStringList& paths) {
    DropFiles(
        paths, [this](const QString& p) { Opened << p; }, [this](const QString& m) { Messages << m; });
  }
};

}  // namespace

TEST(DropFiles, OpensInOrderAndStopsAtTheFirstRefusedFile) {
  TDropLog log;
  log.Drop({QStringLiteral("/d/a.gif"), QStringLiteral("/d/b.tif"), QStringLiteral("/d/c.gif")});
  EXPECT_EQ(log.Opened, QStringList({QStringLiteral("/d/a.gif")}));
  EXPECT_EQ(log.Messages, QStringList({QStringLiteral("拡張子「.tif」のファイルは処理できません。")}));
}

TEST(DropFiles, ExtensionRule) {
  TDropLog log;
  log.Drop({QStringLiteral("/d/A.GIF"), QStringLiteral("/d/x.tar.Bmp"), QStringLiteral("/d/1.gif"),
            QStringLiteral("/d/p.PNG"), QStringLiteral("/d/q.jpg"), QStringLiteral("/d/photo.JPEG")});
  EXPECT_EQ(log.Opened.size(), 6);
  EXPECT_TRUE(log.Messages.isEmpty());

  log.Drop({QStringLiteral("/d.gif/noext")});
  EXPECT_EQ(log.Messages.last(), QStringLiteral("拡張子「」のファイルは処理できません。"));
  log.Drop({QStringLiteral("/d/photo.webp")});
  EXPECT_EQ(log.Messages.last(), QStringLiteral("拡張子「.webp」のファイルは処理できません。"));
  EXPECT_EQ(DropExtension(QStringLiteral("/d/ÄB.GİF")), QStringLiteral(".gİf"));  // ASCII letters only

  TDropLog empty;
  empty.Drop({});
  EXPECT_TRUE(empty.Opened.isEmpty());
  EXPECT_TRUE(empty.Messages.isEmpty());
}
