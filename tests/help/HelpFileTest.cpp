// The help file that the build compiles: both topics at their exact paths,
// a default topic, and every link and picture of its pages inside it.
#include <QRegularExpression>
#include <QSet>
#include <QUrl>
#include <gtest/gtest.h>

#include "help/ChmFile.h"
#include "help/HelpFile.h"

namespace {
const QString kHelp = QStringLiteral(TOMARU_BIN_DIR "/help.chm");
}

TEST(BuiltHelpFile, HoldsBothTopicsWithoutExtension) {
  TChmFile chm(kHelp);
  ASSERT_TRUE(chm.IsOpen()) << kHelp.toStdString();
  for (const char* topic : {"palette(function)", "loadbmp(function)"}) {
    const QString path = HelpTopicPath(QString::fromLatin1(topic));
    EXPECT_TRUE(chm.Contains(path)) << path.toStdString();
    EXPECT_FALSE(chm.Contains(path + ".html"));
    const auto page = chm.Read(path);
    ASSERT_TRUE(page);
    EXPECT_TRUE(page->contains("<html>"));
  }
  EXPECT_TRUE(QString::fromUtf8(*chm.Read("html/palette(function)")).contains("パレットウィンドウ"));
  EXPECT_TRUE(QString::fromUtf8(*chm.Read("html/loadbmp(function)")).contains("減色"));
}

TEST(BuiltHelpFile, DefaultTopicAndEveryLinkExist) {
  TChmFile chm(kHelp);
  ASSERT_TRUE(chm.IsOpen());
  EXPECT_EQ(chm.DefaultTopic(), "html/index.html");
  EXPECT_TRUE(chm.Contains(chm.DefaultTopic()));

  const QRegularExpression reference(QStringLiteral("(?:href|src)=\"([^\"]+)\""));
  int checked = 0;
  for (const QString& file : chm.Files()) {
    if (!file.startsWith("html/") || file.endsWith(".css")) continue;
    const QString page = QString::fromUtf8(*chm.Read(file));
    for (auto it = reference.globalMatch(page); it.hasNext();) {
      const QUrl target = HelpPageUrl(file).resolved(QUrl(it.next().captured(1)));
      const auto inside = PathInsideHelp(target);
      if (!inside) continue;  // a web or mail address
      EXPECT_TRUE(chm.Contains(*inside)) << file.toStdString() << " -> " << inside->toStdString();
      ++checked;
    }
  }
  EXPECT_GT(checked, 20);
}
