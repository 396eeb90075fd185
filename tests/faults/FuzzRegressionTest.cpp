// Inputs the fuzzers found defects with (also kept in fuzz/regressions/ for
// the fuzz targets themselves), checked in the normal build.
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "common/GifFactory.h"
#include "common/TestFiles.h"
#include "document/FileOpen.h"
#include "document/FileOps.h"
#include "persist/RecentFiles.h"

namespace {

QByteArray RegressionInput(const char* target, const char* name) {
  return ReadAll(QStringLiteral(TOMARU_SOURCE_DIR "/fuzz/regressions/%1/%2").arg(QLatin1String(target), QLatin1String(name)));
}

// A line of bytes that are not UTF-8 (a path written by another system) read
// as replacement characters; rewritten, it became a longer line than the
// reader takes, so the list read back differed from the list written.
TEST(FuzzRegression, ARecentEntryThatIsNoFileNameIsPassedOverAndTheRewriteReadsBack) {
  const QByteArray text = RegressionInput("recent", "entry-not-in-file-name-encoding.dat");
  ASSERT_TRUE(text.contains('\xFF'));
  const QStringList list = ParseRecentList(text);
  EXPECT_EQ(list, QStringList{QStringLiteral("/ok.gif")});
  EXPECT_EQ(ParseRecentList(RecentListText(list)), list);

  QTemporaryDir dir;
  const QString name = dir.filePath(QStringLiteral("recent.dat"));
  WriteAll(name, text);
  const auto entries = AddRecentFile(name, QStringLiteral("/new.gif"));
  ASSERT_EQ(entries.size(), 2);
  EXPECT_EQ(ReadAll(name), QByteArray("/new.gif\r\n/ok.gif\r\n"));
  // Short lines of such bytes go the same way, the valid ones around them stay.
  EXPECT_EQ(ParseRecentList("/a.gif\r\n/\x82\xa0.gif\r\n/b.gif"), (QStringList{QStringLiteral("/a.gif"), QStringLiteral("/b.gif")}));
}

// The window keeps one document. A GIF whose transparent index lies past
// its colour table showed, as the transparent colour, the colour at that
// index of the file opened before it.
class TSwatchView : public TOpenView {
 public:
  std::optional<TColor> Swatch;
  void SetMsg(int, const QString&) override {}
  void SetMenu(int) override {}
  void SetCaption(const QString&) override {}
  void ShowMessage(const QString&) override {}
  void AddRecentFile(const QString&) override {}
  bool ConvertBMP(const QString&) override { return false; }
  void SizeImageView(int, int) override {}
  void ShowPalette(const TGifDocument&, std::optional<int>) override {}
  void SetTransChecked(bool) override {}
  void SetDefaultSwatch(std::optional<TColor> color) override { Swatch = color; }
  void ShowPaletteIfSync() override {}
  bool DecodePicture(const QString&, QString&) override { return true; }
  void ShowDecodedPicture() override {}
  void Preview() override {}
};

TEST(FuzzRegression, AnOpenLeavesNoColourOfThePreviousFile) {
  // The fuzzer's input: a GIF of two colours (after the road's choice byte).
  const QByteArray found = RegressionInput("file_open", "palette-kept-from-previous-file.bin").mid(1);
  QTemporaryDir dir;
  TAppPaths paths;
  paths.AppDir = dir.path() + QStringLiteral("/");
  paths.DataDir = paths.AppDir + QStringLiteral("data/");
  TGifDocument doc;
  TSwatchView view;

  TGifPlan many;
  many.Colors.assign(256, TRgb{200, 100, 50});
  WriteAll(paths.AppDir + QStringLiteral("many.gif"), MakeGif(many));
  FileOpen(doc, paths, view, paths.AppDir + QStringLiteral("many.gif"));
  ASSERT_EQ(doc.ColorCount, 256);

  WriteAll(paths.AppDir + QStringLiteral("found.gif"), found);
  FileOpen(doc, paths, view, paths.AppDir + QStringLiteral("found.gif"));
  ASSERT_EQ(doc.OpenedFileName, paths.AppDir + QStringLiteral("found.gif"));
  for (int i = doc.ColorCount; i < 256; ++i) EXPECT_EQ(doc.PaletteColors[size_t(i)], 0u) << i;

  TGifPlan few;  // two colours, transparent index 200
  few.GceFlags = 0x01;
  few.GceIndex = 200;
  WriteAll(paths.AppDir + QStringLiteral("few.gif"), MakeGif(few));
  FileOpen(doc, paths, view, paths.AppDir + QStringLiteral("few.gif"));
  ASSERT_EQ(doc.ColorCount, 2);
  ASSERT_TRUE(view.Swatch.has_value());
  EXPECT_EQ(*view.Swatch, 0u);
}

}  // namespace
