#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QColor>
#include <QImage>
#include <QTemporaryDir>
#include <sys/stat.h>
#include <unistd.h>

#include "CliRun.h"
#include "cli/ColorArgument.h"
#include "common/TestFiles.h"
#include "choice/Choice.h"
#include "document/FileOps.h"

namespace {

const TRgb kWhite{255, 255, 255}, kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255};

// Red, white, green, white: white stands twice, so a choice by colour and a
// choice by pixel can name different entries.
QByteArray TwoWhites(std::optional<uint8_t> gceFlags = 0x00) {
  TGifPlan plan;
  plan.Colors = {kRed, kWhite, kGreen, kWhite};
  plan.Pixels = {0, 1, 2, 3, 3, 3, 1, 0, 0, 0, 0, 0};
  plan.GceFlags = gceFlags;
  return MakeGif(plan);
}

QByteArray AnimatedWhites() {
  TGifPlan second;
  second.LocalTableOnly = true;
  second.Colors = {kBlue, kGreen, kRed, kWhite};  // white at 3 in its own table
  second.Pixels.assign(12, 3);
  second.GceFlags = 0x04;
  TGifPlan third;
  third.Colors = {kRed, kWhite, kGreen, kWhite};
  third.GceFlags = 0x00;
  return Animation({TwoWhites(0x04), MakeGif(second), MakeGif(third)});
}

int TransparentIndexOf(const QByteArray& gif) {
  const auto decoded = DecodeGif(gif);
  return decoded ? decoded->TransparentIndex : -2;
}

// The window's save of the same choice: its choice road with a view that
// shows nothing, then SaveChoice.
QByteArray WindowSave(const QByteArray& file, std::optional<uint8_t> entry, bool allFrames, const QString& dir) {
  TGifDocument doc;
  EXPECT_TRUE(doc.ReadGifHeader(file));
  TQuietChoiceView view(allFrames);
  if (entry)
    ChooseEntry(doc, view, *entry);
  else
    SetTransparency(doc, TAppPaths{dir + "/", dir + "/"}, view, false);
  SaveChoice(doc, view, dir + "/window.gif");
  return ReadAll(dir + "/window.gif");
}

class CommandLine : public ::testing::Test {
 protected:
  QTemporaryDir Dir;
  QString P(const QString& name) const { return Dir.filePath(name); }
  TCliRun Run(const QStringList& args) { return RunTomaru(args, Dir.path()); }
  QStringList Listing() const { return QDir(Dir.path()).entryList(QDir::Files, QDir::Name); }
};

TEST_F(CommandLine, EachColourFormNamesItsEntry) {
  WriteAll(P("in.gif"), TwoWhites());
  struct Case {
    QString Color;
    int Index;
  } cases[] = {{"#FFFFFF", 1}, {"ffffff", 1}, {"white", 1}, {"#0f0", 2}, {"index:3", 3},
               {"pixel:0,0", 0}, {"pixel:3,0", 3},  // the clicked white, not the first one
               {"pixel:2,1", 1}};
  for (const Case& c : cases) {
    const TCliRun run = Run({"--transparent", c.Color, "-o", "out.gif", "in.gif"});
    ASSERT_EQ(run.Exit, 0) << c.Color.toStdString() << run.Err.toStdString();
    EXPECT_EQ(TransparentIndexOf(ReadAll(P("out.gif"))), c.Index) << c.Color.toStdString();
  }
  EXPECT_EQ(ReadAll(P("in.gif")), TwoWhites());
}

// What each run maps, as the dynamic loader reports it (libraries opened on
// demand included): never the window's libraries, and Qt Gui only for a run
// that decodes a picture.
TEST_F(CommandLine, ARunLoadsOnlyTheLibrariesItNeeds) {
  WriteAll(P("in.gif"), TwoWhites());
  QImage photo(4, 3, QImage::Format_RGB32);
  photo.fill(qRgb(0, 128, 255));
  ASSERT_TRUE(photo.save(P("in.bmp"), "BMP"));
  const struct {
    QString Args;
    bool Decodes;
  } cases[] = {{"--info in.gif", false},
               {"--transparent white -o out.gif in.gif", false},
               {"--none --in-place in.gif", false},
               {"--transparent pixel:1,0 -o out.gif in.gif", true},
               {"--none -o out.gif in.bmp", true}};
  for (const auto& c : cases) {
    const TCliRun run =
        RunTomaruScript("LD_DEBUG=files \"$T\" " + c.Args + " 2>&1 >/dev/null | grep -o 'file=[^ ]*' | sort -u",
                        Dir.path());
    ASSERT_TRUE(run.Out.contains("libQt6Core")) << run.Out.toStdString();
    for (const char* never : {"Widgets", "WebEngine", "Quick", "Qml", "libtomaru-window"})
      EXPECT_FALSE(run.Out.contains(never)) << c.Args.toStdString() << " maps " << never;
    for (const char* picture : {"libQt6Gui", "libtomaru-pictures"})
      EXPECT_EQ(run.Out.contains(picture), c.Decodes) << c.Args.toStdString() << ": " << picture;
  }
}

// A program copied alone still patches GIFs; what needs a missing module says
// so and fails, the window included, and writes nothing.
TEST_F(CommandLine, AProgramWithoutItsModulesPatchesGifsAndNamesWhatIsMissing) {
  WriteAll(P("in.gif"), TwoWhites());
  QDir(Dir.path()).mkdir("alone");
  ASSERT_TRUE(QFile::copy(QStringLiteral(TOMARU_BIN_DIR "/tomaru"), P("alone/tomaru")));
  QFile::setPermissions(P("alone/tomaru"), QFile::ReadOwner | QFile::ExeOwner);
  const auto run = [&](const QString& args) { return RunTomaruScript("alone/tomaru " + args, Dir.path()); };
  EXPECT_EQ(run("--transparent white -o white.gif in.gif").Exit, 0);
  EXPECT_EQ(TransparentIndexOf(ReadAll(P("white.gif"))), 1);
  const TCliRun pixel = run("--transparent pixel:0,0 -o pixel.gif in.gif");
  EXPECT_EQ(pixel.Exit, 1);
  EXPECT_TRUE(pixel.Err.contains("libtomaru-pictures.so")) << pixel.Err.toStdString();
  const TCliRun window = run("in.gif");
  EXPECT_EQ(window.Exit, 1);
  EXPECT_TRUE(window.Err.contains("libtomaru-window.so")) << window.Err.toStdString();
  EXPECT_FALSE(QFile::exists(P("pixel.gif")));
}

// Colour names are the program's own table; Qt Gui's reading of them is the oracle.
TEST(ColorArgument, NamesAndHexFormsReadAsQtReadsThem) {
  QStringList texts = QColor::colorNames();
  texts << "WHITE" << "DarkSlateGrey" << "#abc" << "#AbCdEf" << "123456";
  for (const QString& text : texts) {
    if (text == "transparent") continue;
    const auto wanted = ParseColorArgument(text);
    ASSERT_TRUE(wanted) << text.toStdString();
    const QColor qt = QColor::fromString(text == "123456" ? "#" + text : text);
    EXPECT_EQ(wanted->Color, RGBColor(qt.red(), qt.green(), qt.blue())) << text.toStdString();
  }
  for (const char* refused : {"transparent", "#12345678", "#1234", "white2", "whit", " white", "#ggg", ""})
    EXPECT_FALSE(ParseColorArgument(refused)) << refused;
}

TEST_F(CommandLine, BatchWritesTheBytesOfTheWindowsSave) {
  WriteAll(P("anim.gif"), AnimatedWhites());
  WriteAll(P("plain.gif"), TwoWhites(std::nullopt));  // no control block: one is inserted
  TGifPlan old;
  old.Gif89 = false;
  old.GceFlags.reset();
  WriteAll(P("old.gif"), MakeGif(old));
  QDir(Dir.path()).mkdir("all");
  QDir(Dir.path()).mkdir("first");
  QDir(Dir.path()).mkdir("none");
  const QStringList inputs{"anim.gif", "plain.gif", "old.gif"};
  ASSERT_EQ(Run(QStringList{"--transparent", "white", "-o", "all"} + inputs).Exit, 0);
  ASSERT_EQ(Run(QStringList{"--transparent", "white", "--first-frame-only", "-o", "first"} + inputs).Exit, 0);
  ASSERT_EQ(Run(QStringList{"--none", "-o", "none"} + inputs).Exit, 0);
  for (const QString& name : inputs) {
    const QByteArray in = ReadAll(P(name));
    EXPECT_EQ(ReadAll(P("all/" + name)), WindowSave(in, 1 - (name == "old.gif"), true, Dir.path()))
        << name.toStdString();
    EXPECT_EQ(ReadAll(P("first/" + name)), WindowSave(in, 1 - (name == "old.gif"), false, Dir.path()));
    EXPECT_EQ(ReadAll(P("none/" + name)), WindowSave(in, std::nullopt, true, Dir.path()));
  }
  // Every frame took white, each in its own table; the first frame only, otherwise.
  const TCliRun info = Run({"--info", "all/anim.gif", "first/anim.gif", "none/anim.gif"});
  EXPECT_EQ(info.Out, "all/anim.gif\t" + QString::number(ReadAll(P("all/anim.gif")).size()) +
                          "\t4\t3\t4\t3\t1\n"
                          "first/anim.gif\t" + QString::number(ReadAll(P("first/anim.gif")).size()) +
                          "\t4\t3\t4\t3\t1\n"
                          "none/anim.gif\t" + QString::number(ReadAll(P("none/anim.gif")).size()) +
                          "\t4\t3\t4\t3\t-\n");
  EXPECT_NE(ReadAll(P("all/anim.gif")), ReadAll(P("first/anim.gif")));
}

TEST_F(CommandLine, WhatASaveLeavesUndoneIsNamedOnStandardError) {
  WriteAll(P("twice.gif"), TwoWhites());  // white drawn with both its entries
  QByteArray cut = AnimatedWhites();
  cut.chop(4);  // inside the third frame
  WriteAll(P("cut.gif"), cut);
  QDir(Dir.path()).mkdir("out");
  QDir(Dir.path()).mkdir("patched");
  const TCliRun exact = Run({"--transparent", "white", "-o", "out", "twice.gif", "cut.gif"});
  EXPECT_EQ(exact.Exit, 0);
  EXPECT_FALSE(exact.Err.contains("twice.gif")) << exact.Err.toStdString();
  EXPECT_TRUE(exact.Err.contains("cut.gif")) << exact.Err.toStdString();
  const TCliRun patched = Run({"--transparent", "white", "--patch-only", "-o", "patched", "twice.gif"});
  EXPECT_EQ(patched.Exit, 0);
  EXPECT_TRUE(patched.Err.contains("twice.gif")) << patched.Err.toStdString();
  // Control bytes only: the image data is the opened file's.
  EXPECT_EQ(ReadAll(P("patched/twice.gif")).size(), TwoWhites().size());
  EXPECT_NE(ReadAll(P("out/twice.gif")), ReadAll(P("patched/twice.gif")));
}

TEST_F(CommandLine, OutputsGoWhereAskedAndInputsStayUntouched) {
  WriteAll(P("a.gif"), TwoWhites());
  WriteAll(P("b.gif"), TwoWhites());
  ::chmod(QFile::encodeName(P("b.gif")).constData(), 0640);
  ASSERT_EQ(Run({"--transparent", "red", "--suffix", "-t", "a.gif"}).Exit, 0);
  EXPECT_EQ(TransparentIndexOf(ReadAll(P("a-t.gif"))), 0);
  EXPECT_EQ(ReadAll(P("a.gif")), TwoWhites());

  ASSERT_EQ(Run({"--transparent", "red", "--in-place", "b.gif"}).Exit, 0);
  EXPECT_EQ(TransparentIndexOf(ReadAll(P("b.gif"))), 0);
  EXPECT_EQ(QFileInfo(P("b.gif")).permissions(),
            QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup);
  // Nothing of the work is left beside the files.
  EXPECT_EQ(Listing(), QStringList({"a-t.gif", "a.gif", "b.gif"}));

  // A BMP goes through the reduction, then takes the colour; its output is a .gif.
  QImage photo(40, 30, QImage::Format_RGB32);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) photo.setPixel(x, y, qRgb(x * 6, y * 8, (x * y) % 256));
  photo.setPixel(0, 0, qRgb(255, 255, 255));
  ASSERT_TRUE(photo.save(P("photo.bmp"), "BMP"));
  QDir(Dir.path()).mkdir("out");
  const TCliRun bmp = Run({"--transparent", "pixel:0,0", "--colors", "2", "-o", "out", "photo.bmp"});
  ASSERT_EQ(bmp.Exit, 0) << bmp.Err.toStdString();
  const auto decoded = DecodeGif(ReadAll(P("out/photo.gif")));
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->Colors.size(), 2u);
  ASSERT_GE(decoded->TransparentIndex, 0);
  const TRgb chosen = decoded->Colors[decoded->TransparentIndex];
  EXPECT_EQ(chosen.R + chosen.G + chosen.B, 3 * 255);  // white, in black-and-white
}

// PNG and JPEG are converted as BMPs are: by default onto a palette made for
// the picture, dithered; a PNG's see-through pixels arrive transparent.
TEST_F(CommandLine, PngAndJpegAreConvertedLikeBmp) {
  QImage photo(64, 48, QImage::Format_ARGB32);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) photo.setPixel(x, y, qRgba(x * 4, y * 5, (x * y) % 256, x < 8 ? 0 : 255));
  ASSERT_TRUE(photo.save(P("logo.png")));
  ASSERT_TRUE(photo.convertToFormat(QImage::Format_RGB32).save(P("shot.JPG"), "JPG", 95));
  QDir(Dir.path()).mkdir("out");
  const TCliRun info = Run({"--info", "logo.png"});
  ASSERT_EQ(info.Exit, 0) << info.Err.toStdString();
  EXPECT_FALSE(info.Out.trimmed().endsWith("\t-"));  // opened transparent
  for (const QStringList& options : {QStringList{}, QStringList{"--no-dither"}, QStringList{"--colors", "auto", "--dither"},
                                     QStringList{"--colors", "16"}}) {
    SCOPED_TRACE(options.join(' ').toStdString());
    const TCliRun run = Run(options + QStringList{"--none", "-o", "out", "logo.png", "shot.JPG"});
    ASSERT_EQ(run.Exit, 0) << run.Err.toStdString();
    const auto png = DecodeGif(ReadAll(P("out/logo.gif")));
    const auto jpg = DecodeGif(ReadAll(P("out/shot.gif")));
    ASSERT_TRUE(png && jpg);
    EXPECT_EQ(png->TransparentIndex, -1);  // --none clears it
    EXPECT_EQ(jpg->Width, 64);
    EXPECT_GT(jpg->Colors.size(), options.contains("16") ? 8u : 128u);
  }
  const TCliRun kept = Run({"--transparent", "pixel:0,0", "--suffix", "-t", "logo.png"});
  ASSERT_EQ(kept.Exit, 0) << kept.Err.toStdString();
  const auto decoded = DecodeGif(ReadAll(P("logo-t.gif")));
  ASSERT_TRUE(decoded);
  EXPECT_GE(decoded->TransparentIndex, 0);
  WriteAll(P("cut.png"), ReadAll(P("logo.png")).left(100));
  const TCliRun cut = Run({"--none", "-o", "out", "cut.png"});
  EXPECT_EQ(cut.Exit, 1);
  EXPECT_TRUE(cut.Err.contains("cut.png")) << cut.Err.toStdString();
}

TEST_F(CommandLine, InfoPrintsOneLinePerFileInInputOrderAndChangesNothing) {
  TGifPlan big;
  big.Width = 300;
  big.Height = 2;
  big.Colors.assign(16, kGreen);
  big.GceFlags = 0x01;
  big.GceIndex = 9;
  WriteAll(P("z.gif"), MakeGif(big));
  WriteAll(P("a.gif"), TwoWhites());
  const QStringList before = Listing();
  const TCliRun run = Run({"--info", "z.gif", "a.gif"});
  EXPECT_EQ(run.Exit, 0);
  EXPECT_EQ(run.Out, QString("z.gif\t%1\t300\t2\t16\t1\t9\na.gif\t%2\t4\t3\t4\t1\t-\n")
                         .arg(QFileInfo(P("z.gif")).size())
                         .arg(QFileInfo(P("a.gif")).size()));
  EXPECT_EQ(Listing(), before);
}

TEST_F(CommandLine, AFailingFileIsNamedAndTheOthersAreDone) {
  WriteAll(P("good.gif"), TwoWhites());
  WriteAll(P("text.gif"), "not a picture at all");
  WriteAll(P("cut.gif"), TwoWhites().left(16));
  TGifPlan noWhite;
  noWhite.Colors = {kRed, kGreen};
  WriteAll(P("nowhite.gif"), MakeGif(noWhite));
  QDir(Dir.path()).mkdir("out");
  const TCliRun run =
      Run({"--transparent", "white", "-o", "out", "text.gif", "good.gif", "cut.gif", "gone.gif", "nowhite.gif"});
  EXPECT_EQ(run.Exit, 1);
  EXPECT_EQ(run.Err, "ファイル「text.gif」はGIF画像として読み込めませんでした。(GIFのシグネチャがありません)\n"
                     "ファイル「cut.gif」はGIF画像として読み込めませんでした。(最初の画像の前でファイルが終わっています)\n"
                     "ファイル「gone.gif」が存在しませんでした。\n"
                     "ファイル「nowhite.gif」の色テーブルに #ffffff の色がありません。\n");
  EXPECT_EQ(QDir(P("out")).entryList(QDir::Files | QDir::Hidden), QStringList({"good.gif"}));

  const TCliRun outside = Run({"--transparent", "pixel:4,0", "-o", "out", "good.gif"});
  EXPECT_EQ(outside.Exit, 1);
  EXPECT_TRUE(outside.Err.contains("pixel:4,0")) << outside.Err.toStdString();
  const TCliRun pastTable = Run({"--transparent", "index:4", "-o", "out", "good.gif"});
  EXPECT_EQ(pastTable.Exit, 1);
  EXPECT_TRUE(pastTable.Err.contains("index:4"));
}

TEST_F(CommandLine, UsageErrorsWriteNothing) {
  WriteAll(P("a.gif"), TwoWhites());
  WriteAll(P("b.gif"), TwoWhites());
  QDir(Dir.path()).mkdir("sub");
  WriteAll(P("sub/a.gif"), TwoWhites());
  QImage small(2, 2, QImage::Format_RGB32);
  small.fill(Qt::white);
  small.save(P("s.bmp"), "BMP");
  WriteAll(P("c.gif"), TwoWhites());
  ASSERT_EQ(::symlink("sub", QFile::encodeName(P("alias")).constData()), 0);
  ASSERT_EQ(::symlink("a.gif", QFile::encodeName(P("link.gif")).constData()), 0);
  const QList<QStringList> refused{
      {"--transparent", "white", "a.gif"},                               // no output
      {"--transparent", "white", "--in-place", "--suffix", "x", "a.gif"},  // two outputs
      {"--transparent", "white", "--none", "--in-place", "a.gif"},       // two actions
      {"--in-place", "a.gif"},                                           // no action
      {"--info", "-o", "x.gif", "a.gif"},
      {"--transparent", "white", "-o", "out"},                           // no file
      {"--transparent", "#12345", "-o", "x.gif", "a.gif"},
      {"--transparent", "index:256", "-o", "x.gif", "a.gif"},
      {"--transparent", "nocolour", "-o", "x.gif", "a.gif"},
      {"--transparent", "white", "--colors", "3", "-o", "x.gif", "a.gif"},
      {"--transparent", "white", "--dither", "--no-dither", "-o", "x.gif", "a.gif"},
      {"--transparent", "white", "-o", "missing", "a.gif", "b.gif"},     // no such directory
      {"--transparent", "white", "-o", "missing/x.gif", "a.gif"},
      {"--transparent", "white", "-o", "a.gif", "a.gif"},                // an input
      {"--transparent", "white", "-o", ".", "b.gif"},
      {"--transparent", "white", "--suffix", "", "a.gif"},
      {"--transparent", "white", "-o", "sub", "a.gif", "sub/a.gif"},     // one target twice
      {"--transparent", "white", "--in-place", "s.bmp"},
      {"--transparent", "white", "--no-such-option", "a.gif"},
      {"--inf", "a.gif"},                                                // a mistyped option, never a window
      {"--transparent", "transparent", "-o", "x.gif", "a.gif"},          // no colour at all
      {"--transparent", "index: +1 ", "-o", "x.gif", "a.gif"},
      {"--transparent", "index:+1", "-o", "x.gif", "a.gif"},
      {"--transparent", "white", "-o", "c.gif", "a.gif", "b.gif"},       // a file for several inputs
      {"--transparent", "white", "--suffix", "-t", "sub/a.gif", "alias/a.gif"},  // one folder by two names
      {"--transparent", "white", "--in-place", "a.gif", "link.gif"}};            // one file by two names
  const QStringList before = Listing();
  for (const QStringList& args : refused) {
    const TCliRun run = Run(args);
    EXPECT_EQ(run.Exit, 2) << args.join(' ').toStdString();
    EXPECT_FALSE(run.Err.isEmpty());
  }
  EXPECT_EQ(Listing(), before);
  EXPECT_EQ(QDir(P("sub")).entryList(QDir::Files | QDir::Hidden), QStringList({"a.gif"}));
  EXPECT_TRUE(Run({"--transparent", "white", "-o", "c.gif", "a.gif", "b.gif"}).Err.contains("フォルダではありません"));
  EXPECT_EQ(ReadAll(P("a.gif")), TwoWhites());

  const TCliRun help = Run({"--help"});
  EXPECT_EQ(help.Exit, 0);
  EXPECT_TRUE(help.Out.contains("--transparent"));
  EXPECT_TRUE(help.Out.contains("--no-dither"));
  EXPECT_TRUE(help.Out.contains("auto"));
  const TCliRun version = Run({"--version"});
  EXPECT_EQ(version.Exit, 0);
  EXPECT_FALSE(version.Out.isEmpty());
}

// The same runs speak Japanese under a Japanese locale and English under any
// other; LANGUAGE comes first, as Qt reads it.
TEST_F(CommandLine, HelpAndMessagesFollowTheLocale) {
  WriteAll(P("a.gif"), TwoWhites());
  const struct {
    const char* Lang;
    const char* Description;
    const char* Missing;
    const char* Usage;
  } cases[] = {
      {"ja_JP.UTF-8", "GIF の背景色を透過にします。", "ファイル「gone.gif」が存在しませんでした。\n",
       "-o、--suffix、--in-place のどれか一つを指定してください。"},
      {"en_US.UTF-8", "Makes a GIF's background colour transparent.",
       "File \"gone.gif\" does not exist.\n", "Give exactly one of -o, --suffix and --in-place."},
      {"de_DE.UTF-8", "Makes a GIF's background colour transparent", "File \"gone.gif\" does not exist.\n",
       "Give exactly one of -o, --suffix and --in-place."},
  };
  for (const auto& c : cases) {
    const QString lang = QString::fromLatin1(c.Lang);
    const TCliRun help = RunTomaru({"--help"}, Dir.path(), lang);
    EXPECT_TRUE(help.Out.contains(QString::fromUtf8(c.Description))) << c.Lang << help.Out.toStdString();
    const TCliRun missing = RunTomaru({"--info", "gone.gif"}, Dir.path(), lang);
    EXPECT_EQ(missing.Err, QString::fromUtf8(c.Missing)) << c.Lang;
    const TCliRun usage = RunTomaru({"--transparent", "white", "a.gif"}, Dir.path(), lang);
    EXPECT_TRUE(usage.Err.contains(QString::fromUtf8(c.Usage))) << c.Lang << usage.Err.toStdString();
  }
}

}  // namespace
