#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "common/TestFiles.h"
#include "preview/PreviewFiles.h"

// The page and its style sheet come back whenever they are missing (the
// window's test removes both); what is there (a chosen colour) is left as it is.
TEST(PreviewFiles, MissingOnesAreWrittenAgainAndOthersLeftAlone) {
  QTemporaryDir dir;
  const TAppPaths paths{QString(), dir.path() + "/data/", dir.path() + "/work/"};
  EnsurePreviewFiles(paths, "<html/>", "body{}");  // the folder itself was gone
  EXPECT_EQ(ReadAll(paths.Work("preview.html")), "<html/>");
  EXPECT_FALSE(QDir(paths.DataDir).exists());
  WriteAll(paths.Work("bg.css"), "chosen");
  EnsurePreviewFiles(paths, "<html/>", "body{}");
  EXPECT_EQ(ReadAll(paths.Work("bg.css")), "chosen");
}
