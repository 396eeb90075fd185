// OpenHelp2 and the help command, and the help window reading help.chm.
#include <QDesktopServices>
#include <QFile>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QWidget>
#include <gtest/gtest.h>

#include "common/TestFiles.h"
#include "shell/HelpViewer.h"

namespace {

const QString kBuiltHelp = QStringLiteral(TOMARU_BIN_DIR "/help.chm");

struct TRecordedHelp : THelpDisplay {
  struct TCall {
    QWidget* Owner;
    THelpRequest Request;
  };
  QList<TCall> Calls;
  void Display(QWidget* owner, const THelpRequest& request) override { Calls.append({owner, request}); }
};

class HelpRequests : public ::testing::Test {
 protected:
  void SetUp() override { SetHelpDisplay(&Recorded); }
  void TearDown() override { SetHelpDisplay(nullptr); }
  TRecordedHelp Recorded;
  QTemporaryDir Dir;
  QString AppDir() const { return Dir.path() + "/"; }
};

// Records the addresses the desktop would have been asked to open.
class TUrlRecorder : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> Opened;
 public slots:
  void Open(const QUrl& url) { Opened.append(url); }
};

}  // namespace

TEST_F(HelpRequests, OpenHelp2AsksForTheExactTopicPath) {
  QFile::copy(kBuiltHelp, AppDir() + "help.chm");
  QWidget palette;
  OpenHelp2(&palette, "palette(function)", AppDir());
  OpenHelp2(nullptr, "loadbmp(function)", AppDir());
  ASSERT_EQ(Recorded.Calls.size(), 2);
  EXPECT_EQ(Recorded.Calls[0].Owner, &palette);
  EXPECT_EQ(Recorded.Calls[0].Request.File, AppDir() + "help.chm");
  EXPECT_EQ(Recorded.Calls[0].Request.Topic, "html/palette(function)");
  EXPECT_EQ(Recorded.Calls[1].Request.Topic, "html/loadbmp(function)");
}

TEST_F(HelpRequests, NothingHappensWithoutHelpFile) {
  QWidget owner;
  OpenHelp2(&owner, "palette(function)", AppDir());
  OpenHelp2(&owner, "loadbmp(function)", AppDir());
  EXPECT_TRUE(Recorded.Calls.isEmpty());
}

TEST_F(HelpRequests, HelpCommandOpensTheWholeFileUnchecked) {
  QWidget main;
  OpenHelpFile(&main, AppDir());  // no help.chm here: the window reports that itself
  ASSERT_EQ(Recorded.Calls.size(), 1);
  EXPECT_EQ(Recorded.Calls[0].Owner, &main);
  EXPECT_EQ(Recorded.Calls[0].Request.File, AppDir() + "help.chm");
  EXPECT_TRUE(Recorded.Calls[0].Request.Topic.isEmpty());
}

TEST(HelpWindow, ShowsTopicWithItsPicturesAndFollowsLinks) {
  THelpViewer viewer;
  ASSERT_TRUE(viewer.ShowHelp(kBuiltHelp, "html/palette(function)"));
  EXPECT_EQ(viewer.CurrentPath(), "html/palette(function)");
  EXPECT_TRUE(viewer.Browser()->toPlainText().contains("パレットウィンドウ"));
  EXPECT_TRUE(viewer.windowTitle().contains("パレットウィンドウ"));
  const QVariant picture =
      viewer.Browser()->document()->resource(QTextDocument::ImageResource, QUrl("../images/cmd3.png"));
  ASSERT_TRUE(picture.canConvert<QImage>());
  EXPECT_EQ(picture.value<QImage>().size(), QSize(16, 16));

  emit viewer.Browser()->anchorClicked(QUrl("loadbmp(function)"));
  EXPECT_EQ(viewer.CurrentPath(), "html/loadbmp(function)");
  EXPECT_TRUE(viewer.Browser()->toPlainText().contains("減色"));
  viewer.Browser()->backward();
  EXPECT_EQ(viewer.CurrentPath(), "html/palette(function)");

  // A link to a page that is not there leaves the page as it was.
  emit viewer.Browser()->anchorClicked(QUrl("nowhere.html"));
  EXPECT_EQ(viewer.CurrentPath(), "html/palette(function)");
}

TEST(HelpWindow, WebLinksGoToTheDesktop) {
  TUrlRecorder recorder;
  QDesktopServices::setUrlHandler("https", &recorder, "Open");
  THelpViewer viewer;
  ASSERT_TRUE(viewer.ShowHelp(kBuiltHelp, QString()));
  EXPECT_EQ(viewer.CurrentPath(), "html/index.html");
  emit viewer.Browser()->anchorClicked(QUrl("https://tomaru.invalid/"));
  QDesktopServices::unsetUrlHandler("https");
  ASSERT_EQ(recorder.Opened.size(), 1);
  EXPECT_EQ(recorder.Opened[0], QUrl("https://tomaru.invalid/"));
  EXPECT_EQ(viewer.CurrentPath(), "html/index.html");
}

TEST(HelpWindow, SaysWhatItCannotShow) {
  QTemporaryDir dir;
  THelpViewer viewer;
  EXPECT_FALSE(viewer.ShowHelp(dir.path() + "/help.chm", QString()));
  // The file's name, the reason and the code.
  EXPECT_TRUE(viewer.Browser()->toPlainText().contains(QStringLiteral("ファイル「") + dir.path() + "/help.chm」を読み込めませんでした。"))
      << viewer.Browser()->toPlainText().toStdString();
  EXPECT_TRUE(viewer.Browser()->toPlainText().contains("ファイルまたはフォルダが見つかりません、エラーコード 2"));
  EXPECT_TRUE(viewer.CurrentPath().isEmpty());

  WriteAll(dir.path() + "/bad.chm", QByteArray(4096, 'x'));
  EXPECT_FALSE(viewer.ShowHelp(dir.path() + "/bad.chm", "html/palette(function)"));
  EXPECT_TRUE(viewer.Browser()->toPlainText().contains(QStringLiteral("ファイル「") + dir.path() +
                                                       "/bad.chm」はヘルプファイル(CHM形式)として読み込めませんでした。"));

  EXPECT_FALSE(viewer.ShowHelp(kBuiltHelp, "html/palette(function).html"));
  EXPECT_TRUE(viewer.Browser()->toPlainText().contains("見つかりません"));
  EXPECT_TRUE(viewer.CurrentPath().isEmpty());
  EXPECT_TRUE(viewer.ShowHelp(kBuiltHelp, "html/loadbmp(function)"));
}

TEST(HelpWindow, OneWindowFollowsItsOwner) {
  QTemporaryDir dir;
  const QString appDir = dir.path() + "/";
  QFile::copy(kBuiltHelp, appDir + "help.chm");
  QWidget palette, dialog;
  OpenHelp2(&palette, "palette(function)", appDir);
  THelpViewer* first = CurrentHelpViewer();
  ASSERT_TRUE(first);
  EXPECT_EQ(first->parentWidget(), &palette);
  EXPECT_TRUE(first->isWindow());
  OpenHelp2(&dialog, "loadbmp(function)", appDir);
  EXPECT_EQ(CurrentHelpViewer(), first);
  EXPECT_EQ(first->parentWidget(), &dialog);
  EXPECT_EQ(first->CurrentPath(), "html/loadbmp(function)");
  first->close();  // deletes itself
}

#include "HelpViewerTest.moc"
