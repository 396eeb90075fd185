// Each file Tomaru writes, written the way the program writes it, when the
// write cannot succeed: the user gets a clear error and the file that was
// there is still there, byte for byte, with no stray temporary beside it. A
// file that another reader holds open is replaced without disturbing the reader.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <cerrno>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/GifFactory.h"
#include "common/TestFiles.h"
#include "document/Exception.h"
#include "document/FileErrors.h"
#include "document/FileOpen.h"
#include "document/FileOps.h"
#include "persist/IniSaveProps.h"
#include "preview/PreviewColor.h"
#include "reduce/BmpToGif.h"
#include "persist/RecentFiles.h"

namespace {

constexpr uid_t kNobody = 65534;

class TQuietOpenView : public TOpenView {
 public:
  void SetMsg(int, const QString&) override {}
  void SetMenu(int) override {}
  void SetCaption(const QString&) override {}
  void ShowMessage(const QString& text) override { Messages << text; }
  void AddRecentFile(const QString&) override {}
  bool ConvertBMP(const QString&) override { return false; }
  void SizeImageView(int, int) override {}
  void ShowPalette(const TGifDocument&, std::optional<int>) override {}
  void SetTransChecked(bool) override {}
  void SetDefaultSwatch(std::optional<TColor>) override {}
  void ShowPaletteIfSync() override {}
  bool DecodePicture(const QString&, QString&) override { return true; }
  void ShowDecodedPicture() override {}
  void Preview() override {}
  QStringList Messages;
};

class TQuietBmpView : public TBmpView {
 public:
  void SetMsg(int, const QString&) override {}
  void ShowMessage(const QString& text) override { Messages << text; }
  std::optional<int> AskReduceBits(int, const QString&) override { return 8; }
  QStringList Messages;
};

// One way the program writes one file: where it lands, and the write itself.
struct TWriter {
  const char* Name;
  QString Target;
  std::function<void()> Write;
};

class WriteFaultTest : public ::testing::Test {
 protected:
  QTemporaryDir Dir;
  TAppPaths Paths;
  QString PictureDir, SourceGif, SourceBmp;
  std::vector<TWriter> Writers;

  void SetUp() override {
    ASSERT_TRUE(Dir.isValid());
    const QString root = Dir.path() + QLatin1Char('/');
    Paths.AppDir = root + QStringLiteral("app/");
    Paths.DataDir = Paths.AppDir + QStringLiteral("data/");
    PictureDir = root + QStringLiteral("pictures/");
    QDir().mkpath(Paths.DataDir);
    QDir().mkpath(PictureDir);
    QDir().mkpath(root + QStringLiteral("source"));
    // The sources are read by every writer, also as an unprivileged user.
    SourceGif = root + QStringLiteral("source/open.gif");
    SourceBmp = root + QStringLiteral("source/open.bmp");
    TGifPlan plan;
    plan.Width = 40;
    plan.Height = 30;
    plan.GceFlags = 0x08;
    WriteAll(SourceGif, MakeGif(plan));
    QImage picture(40, 30, QImage::Format_RGB32);
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40; ++x) picture.setPixel(x, y, qRgb(x * 6, y * 8, 100));
    ASSERT_TRUE(picture.save(SourceBmp, "BMP"));

    Writers = {
        {"saved GIF", PictureDir + QStringLiteral("picture.gif"),
         [this] {
           TGifDocument doc;
           if (!doc.ReadGifHeader(LoadStringFromFile(SourceGif))) throw std::logic_error("source");
           doc.TransparentOn = true;
           doc.TransparentIndex = 1;
           doc.PatchTransparency(doc.GifData);
           SaveStringToFile(PictureDir + QStringLiteral("picture.gif"), doc.GifData);
         }},
        {"data/_.gif on open", Paths.Data(QStringLiteral("_.gif")),
         [this] {
           TGifDocument doc;
           TQuietOpenView view;
           FileOpen(doc, Paths, view, SourceGif);
         }},
        {"data/_.gif on preview", Paths.Data(QStringLiteral("_.gif")),
         [this] {
           TGifDocument doc;
           if (!doc.ReadGifHeader(LoadStringFromFile(SourceGif))) throw std::logic_error("source");
           doc.TransparentOn = true;
           QByteArray copy = doc.GifData;
           doc.PatchTransparency(copy);
           SaveStringToFile(Paths.Data(QStringLiteral("_.gif")), copy);
         }},
        {"data/bg.css", Paths.Data(QStringLiteral("bg.css")),
         [this] { SaveStringToFile(Paths.Data(QStringLiteral("bg.css")), BackgroundCss(RGBColor(10, 20, 30))); }},
        {"property.ini", Paths.Data(QStringLiteral("property.ini")),
         [this] {
           TIniSaveProps props;
           props.SetFileName(Paths.Data(QStringLiteral("property.ini")));
           props.WriteString(QStringLiteral("MainForm"), QStringLiteral("Caption"), QStringLiteral("a longer caption"));
         }},
        {"recent.dat", GetRFName(Paths),
         [this] { AddRecentFile(GetRFName(Paths), QStringLiteral("/pictures/a newly opened picture.gif")); }},
        {"data/temp.gif", Paths.Data(QStringLiteral("temp.gif")),
         [this] {
           TQuietBmpView view;
           uint8_t bits = 8;
           if (!ConvertBMPFile(SourceBmp, Paths, view, bits)) throw std::logic_error("conversion refused");
         }},
    };
  }

  // Puts a previous version of every target in place.
  void WritePreviousFiles() {
    for (const TWriter& w : Writers) WriteAll(w.Target, PreviousContent(w));
  }
  // Two writers may share a target: the previous content is the target's.
  static QByteArray PreviousContent(const TWriter& w) {
    const QString name = ExtractFileName(w.Target);
    if (name == QLatin1String("property.ini")) return "[MainForm]\r\nCaption=old\r\n\r\n";
    if (name == QLatin1String("recent.dat")) return "/old/one.gif\r\n/old/two.bmp\r\n";
    return "previous " + name.toUtf8();
  }

  // Runs the writer in a child under the given limits; the answer says how it ended.
  testing::AssertionResult FailsClearly(const TWriter& w, const TChildLimits& limits, int expectedError) {
    const int rc = RunInChild(limits, [&] {
      try {
        w.Write();
      } catch (const EInOutError& e) {
        // The message names the file, the reason and the code.
        return e.ErrorCode == expectedError && e.FileName == w.Target &&
                       e.message() == FileErrorText(TFileAction::Write, w.Target, expectedError)
                   ? 0
                   : 2;
      } catch (const Exception& e) {
        return 3;
      }
      return 1;
    });
    if (rc == 0) return testing::AssertionSuccess();
    static const char* const kOutcome[] = {"", "no error was raised", "a different I/O error", "a non-I/O error"};
    return testing::AssertionFailure() << w.Name << ": " << (rc > 0 && rc < 4 ? kOutcome[rc] : "the child died")
                                       << " (" << rc << ")";
  }

  void ExpectPreviousFilesKept(const char* fault) {
    for (const TWriter& w : Writers)
      EXPECT_EQ(ReadAll(w.Target), PreviousContent(w)) << w.Name << " changed on " << fault;
    // No temporary is left beside them: each directory holds its targets only.
    QStringList expected, found;
    for (const TWriter& w : Writers) expected << w.Target;
    for (const QString& dir : {Paths.DataDir, PictureDir})
      for (const QString& name : QDir(dir).entryList(QDir::Files)) found << dir + name;
    expected.removeDuplicates();
    expected.sort();
    found.sort();
    EXPECT_EQ(found, expected) << "after " << fault;
  }

  static void Chmod(const QString& path, mode_t mode) { ::chmod(QFile::encodeName(path).constData(), mode); }
  static void Chown(const QString& path, uid_t uid) { (void)!::chown(QFile::encodeName(path).constData(), uid, uid); }
};

TEST_F(WriteFaultTest, EveryWriteWorksWhenNothingStandsInTheWay) {
  WritePreviousFiles();
  for (const TWriter& w : Writers) {
    EXPECT_NO_THROW(w.Write()) << w.Name;
    EXPECT_NE(ReadAll(w.Target), PreviousContent(w)) << w.Name;
  }
}

TEST_F(WriteFaultTest, AReadOnlyDirectoryRefusesEveryWrite) {
  if (getuid() != 0 && getuid() != kNobody) GTEST_SKIP() << "needs root to drop to another user";
  WritePreviousFiles();
  // Readable and searchable by the unprivileged user, writable by nobody but root.
  Chmod(Dir.path(), 0755);
  for (const QString& d : {Paths.AppDir, Dir.path() + QStringLiteral("/source")}) Chmod(d, 0755);
  Chmod(Paths.DataDir, 0555);
  Chmod(PictureDir, 0555);
  for (const TWriter& w : Writers) EXPECT_TRUE(FailsClearly(w, {true, -1}, EACCES));
  Chmod(Paths.DataDir, 0755);
  Chmod(PictureDir, 0755);
  ExpectPreviousFilesKept("a read-only directory");
}

TEST_F(WriteFaultTest, AFullFileSystemKeepsThePreviousFiles) {
  WritePreviousFiles();
  // Each new content is longer than this, so its write runs out of room.
  for (const TWriter& w : Writers) EXPECT_TRUE(FailsClearly(w, {false, 16}, EFBIG));
  ExpectPreviousFilesKept("a full file system");
}

TEST_F(WriteFaultTest, AReadOnlyFileIsNotReplaced) {
  if (getuid() != 0) GTEST_SKIP() << "needs root to drop to another user";
  WritePreviousFiles();
  // The user owns the directories (so could rename over the file) but has
  // made the file itself read-only.
  Chmod(Dir.path(), 0755);
  for (const QString& d : {Paths.AppDir, Paths.DataDir, PictureDir, Dir.path() + QStringLiteral("/source")}) {
    Chown(d, kNobody);
    Chmod(d, 0755);
  }
  for (const TWriter& w : Writers) {
    Chown(w.Target, kNobody);
    Chmod(w.Target, 0444);
  }
  for (const TWriter& w : Writers) EXPECT_TRUE(FailsClearly(w, {true, -1}, EACCES));
  ExpectPreviousFilesKept("a read-only file");
}

TEST_F(WriteFaultTest, AReaderOfTheOldFileKeepsReadingItWhole) {
  WritePreviousFiles();
  for (const TWriter& w : Writers) {
    WriteAll(w.Target, PreviousContent(w));
    QFile reader(w.Target);
    ASSERT_TRUE(reader.open(QIODevice::ReadOnly)) << w.Name;
    const QByteArray head = reader.read(4);
    ASSERT_NO_THROW(w.Write()) << w.Name;
    EXPECT_EQ(head + reader.readAll(), PreviousContent(w)) << w.Name;
    EXPECT_NE(ReadAll(w.Target), PreviousContent(w)) << w.Name;
  }
}

}  // namespace
