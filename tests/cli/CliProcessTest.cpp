#include <gtest/gtest.h>

#include <QColor>
#include <QFileInfo>
#include <QImage>

#include "CliRun.h"
#include "choice/Choice.h"
#include "cli/ColorArgument.h"
#include "common/GifAnimation.h"
#include "common/OddGifs.h"
#include "common/TestFiles.h"
#include "document/FileOps.h"

namespace {

const TRgb kWhite{255, 255, 255}, kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255};

// Three frames of white drawn with both its entries, all with a control
// block; the second with white at 3 in its own table.
QByteArray AnimatedWhites() {
  TAnimPlan plan{4, 3, {kRed, kWhite, kGreen, kWhite}, true, std::vector<TAnimFrame>(3)};
  plan.Frames[0].Pixels = {0, 1, 2, 3, 3, 3, 1, 0, 0, 0, 0, 0};
  plan.Frames[1].LocalColors = {kBlue, kGreen, kRed, kWhite};
  plan.Frames[1].Pixels.assign(12, 3);
  plan.Frames[2].Pixels = {1, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  for (TAnimFrame& frame : plan.Frames) frame.Packed = Packed(1);
  return MakeAnimation(plan);
}

// A BMP of 1024 colours: converting it reduces them.
void WriteManyColours(const QString& path) {
  QImage many(32, 32, QImage::Format_RGB32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) many.setPixel(x, y, qRgb(x * 8, y * 8, 128));
  ASSERT_TRUE(many.save(path, "BMP"));
}

// The window's save of the same choice: its choice road with a view that
// shows nothing, then SaveChoice.
QByteArray WindowSave(const QByteArray& file, std::optional<uint8_t> entry, bool allFrames, const QString& dir,
                      const TReach& background = {}) {
  TGifDocument doc;
  EXPECT_TRUE(doc.ReadGifHeader(file));
  TQuietChoiceView view(allFrames);
  doc.Reach = background;
  if (entry)
    ChooseEntry(doc, view, *entry);
  else
    SetTransparency(doc, TAppPaths{dir + "/", dir + "/", QString()}, view, false);
  SaveChoice(doc, view, dir + "/window.gif");
  return ReadAll(dir + "/window.gif");
}

using CommandLine = CliTest;

// Written beside the input, which stays as it was.
TEST_F(CommandLine, EachColourFormNamesItsEntry) {
  WriteAll(P("in.gif"), TwoWhites());
  const struct {
    QString Color;
    int Index;
  } cases[] = {{"pixel:4,0", -1}, {"index:4", -1},  // past the picture, past the table: refused, named
               {"#FFFFFF", 1}, {"ffffff", 1}, {"white", 1}, {"#0f0", 2}, {"index:3", 3},
               {"pixel:0,0", 0}, {"pixel:3,0", 3},  // the clicked white, not the first one
               {"pixel:2,1", 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Color.toStdString());
    const TCliRun run = Run({"--transparent", c.Color, "--suffix", "-t", "in.gif"});
    if (c.Index < 0) {
      EXPECT_TRUE(run.Exit == 1 && run.Err.contains(c.Color) && !QFile::exists(P("in-t.gif"))) << run.Err.toStdString();
      continue;
    }
    ASSERT_EQ(run.Exit, 0) << run.Err.toStdString();
    EXPECT_EQ(TransparentIndexOf(ReadAll(P("in-t.gif"))), c.Index);
  }
  EXPECT_EQ(ReadAll(P("in.gif")), TwoWhites());
  EXPECT_EQ(Files(), QStringList({"in-t.gif", "in.gif"}));  // nothing of the work is left beside them
}

// What each run maps, as the dynamic loader reports it (libraries opened on
// demand included): never the window's libraries, Qt Gui only for a run
// that decodes a picture or writes WebP or PNG, libimagequant only for one
// that reduces colours, and libwebp only for one that writes WebP or PNG.
TEST_F(CommandLine, ARunLoadsOnlyTheLibrariesItNeeds) {
  WriteAll(P("in.gif"), TwoWhites());
  QImage photo(4, 3, QImage::Format_RGB32);
  photo.fill(qRgb(0, 128, 255));
  ASSERT_TRUE(photo.save(P("in.bmp"), "BMP"));
  WriteManyColours(P("many.bmp"));
  const struct {
    QString Args;
    bool Decodes, Reduces, Alpha = false;
  } cases[] = {{"--info in.gif", false, false},
               {"--transparent white -o out.gif in.gif", false, false},
               {"--none --in-place in.gif", false, false},
               {"--transparent pixel:1,0 -o out.gif in.gif", true, false},
               {"--none -o out.gif in.bmp", true, false},
               {"--none -o many.gif many.bmp", true, true},
               {"--transparent white --soft-edges -o out.webp in.gif", false, false, true},
               {"--none --format png -o out.png in.gif", false, false, true},
               {"--transparent white -o full.webp in.bmp", true, false, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Args.toStdString());
    const TCliRun run =
        RunTomaruScript("unset LD_DEBUG_OUTPUT; LD_DEBUG=files \"$T\" " + c.Args + " 2>&1 >/dev/null | grep -o 'file=[^ ]*' | sort -u",
                        Dir.path());
    ASSERT_TRUE(run.Out.contains("libQt6Core")) << run.Out.toStdString();
    for (const char* never : {"Widgets", "WebEngine", "Quick", "Qml", "libtomaru-window"})
      EXPECT_FALSE(run.Out.contains(never)) << never;
    EXPECT_EQ(run.Out.contains("libtomaru-pictures"), c.Decodes);
    EXPECT_EQ(run.Out.contains("libQt6Gui"), c.Decodes || c.Alpha);
    EXPECT_EQ(run.Out.contains("libimagequant"), c.Reduces);
    for (const char* alpha : {"libwebp", "libtomaru-alpha"}) EXPECT_EQ(run.Out.contains(alpha), c.Alpha) << alpha;
  }
  EXPECT_TRUE(QFile::exists(P("many.gif")));
}

// A program copied alone still patches GIFs; what needs a missing module says
// so and fails, the window included, and writes nothing.
TEST_F(CommandLine, AProgramWithoutItsModulesPatchesGifsAndNamesWhatIsMissing) {
  WriteAll(P("in.gif"), TwoWhites());
  MakeDirs({"alone"});
  ASSERT_TRUE(QFile::copy(QStringLiteral(TOMARU_BIN_DIR "/tomaru"), P("alone/tomaru")));
  QFile::setPermissions(P("alone/tomaru"), QFile::ReadOwner | QFile::ExeOwner);
  const auto run = [&](const QString& args) { return RunTomaruScript("alone/tomaru " + args, Dir.path()); };
  EXPECT_EQ(run("--transparent white -o white.gif in.gif").Exit, 0);
  EXPECT_EQ(TransparentIndexOf(ReadAll(P("white.gif"))), 1);
  for (const auto& [args, missing] : {std::pair{"--transparent pixel:0,0 -o pixel.gif in.gif", "libtomaru-pictures.so"},
                                      std::pair{"--transparent white -o pixel.webp in.gif", "libtomaru-alpha.so"},
                                      std::pair{"in.gif", "libtomaru-window.so"}}) {
    const TCliRun failed = run(args);
    EXPECT_EQ(failed.Exit, 1) << args;
    EXPECT_TRUE(failed.Err.contains(missing)) << failed.Err.toStdString();
  }
  EXPECT_FALSE(QFile::exists(P("pixel.gif")) || QFile::exists(P("pixel.webp")));
  // A library under libimagequant's name without its functions (zlib):
  // the run that reduces colours names it and writes nothing.
  WriteManyColours(P("many.bmp"));
  MakeDirs({"lib"});
  const TCliRun noLiq = RunTomaruScript(
      "cp -L \"$(ldd \"$T\" | grep -o '/[^ ]*/libz.so.1')\" lib/libimagequant.so.0 && "
      "LD_LIBRARY_PATH=lib \"$T\" --none -o many.gif many.bmp",
      Dir.path());
  EXPECT_EQ(noLiq.Exit, 1);
  EXPECT_TRUE(noLiq.Err.contains("libimagequant") && noLiq.Err.contains("liq_attr_create")) << noLiq.Err.toStdString();
  EXPECT_FALSE(QFile::exists(P("many.gif")));
}

// Colour names are the program's own table; Qt Gui's reading of them is the oracle.
TEST(ColorArgument, NamesAndHexFormsReadAsQtReadsThem) {
  QStringList texts = QColor::colorNames();
  texts.removeAll("transparent");
  texts << "WHITE" << "DarkSlateGrey" << "#abc" << "#AbCdEf" << "123456";
  for (const QString& text : texts) {
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
  TGifPlan old;  // GIF87a, white at 0
  old.Gif89 = false;
  WriteAll(P("old.gif"), MakeGif(old));
  const QStringList inputs{"anim.gif", "plain.gif", "old.gif"};
  const struct {
    QString Out;
    QStringList Action;
    bool Clears, AllFrames;
  } cases[] = {{"all", {"--transparent", "white"}, false, true},
               {"first", {"--transparent", "white", "--first-frame-only"}, false, false},
               {"none", {"--none"}, true, true}};
  for (const auto& c : cases) {
    MakeDirs({c.Out});
    ASSERT_EQ(Run(c.Action + QStringList{"-o", c.Out} + inputs).Exit, 0) << c.Out.toStdString();
    for (const QString& name : inputs) {
      SCOPED_TRACE((c.Out + "/" + name).toStdString());
      const std::optional<uint8_t> white = c.Clears ? std::nullopt : std::optional<uint8_t>(name != "old.gif");
      EXPECT_EQ(ReadAll(P(c.Out + "/" + name)), WindowSave(ReadAll(P(name)), white, c.AllFrames, Dir.path()));
    }
  }
  EXPECT_NE(ReadAll(P("all/anim.gif")), ReadAll(P("first/anim.gif")));  // so the two comparisons differ
}

// A save names on standard error exactly the files it leaves not right: the
// default save a file that ends early, never one it wrote anew; control bytes
// only a file whose patch is not right (white drawn with both its entries,
// damaged image data), never a GIF without any colour table whose patch is.
TEST_F(CommandLine, ASaveNamesOnlyWhatItLeavesNotRight) {
  WriteAll(P("twice.gif"), TwoWhites());                // white drawn with both its entries
  WriteAll(P("cut.gif"), AnimatedWhites().chopped(4));  // ends inside the third frame
  TAnimPlan plan{4, 3, {kWhite, kRed, kGreen, kBlue}, true, std::vector<TAnimFrame>(2)};
  plan.Frames[0].Pixels = {0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3};
  plan.Frames[1] = {1, 1, 2, 1, {}, {2, 3}, Packed(1)};
  plan.Frames[0].Packed = Packed(1);
  WriteAll(P("tableless.gif"), WithoutGlobalTable(MakeAnimation(plan)));
  WriteAll(P("damaged.gif"), DamageImageData(MakeAnimation(plan), 1));
  // Full frames the patch alone makes right: their codes walked beside the write name the damage.
  TAnimPlan full{4, 3, plan.Colors, true, {plan.Frames[0], plan.Frames[0]}};
  for (TAnimFrame& f : full.Frames) f.Packed = Packed(2);
  WriteAll(P("fulldamaged.gif"), DamageImageData(MakeAnimation(full), 1));
  const struct {
    QString Out, Colour;
    QStringList Inputs, Named;
  } cases[] = {{"out", "white", {"twice.gif", "cut.gif"}, {"cut.gif"}},
               {"patched", "white", {"twice.gif"}, {"twice.gif"}},
               {"out0", "index:0", {"tableless.gif", "damaged.gif"}, {"damaged.gif"}},
               {"patched0", "index:0", {"tableless.gif", "damaged.gif", "fulldamaged.gif"}, {"damaged.gif", "fulldamaged.gif"}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Out.toStdString());
    MakeDirs({c.Out});
    QStringList args = QStringList{"--transparent", c.Colour, "-o", c.Out} + c.Inputs;
    if (c.Out.startsWith("patched")) args << "--patch-only";
    const TCliRun run = Run(args);
    EXPECT_EQ(run.Exit, 0) << run.Err.toStdString();
    for (const QString& input : c.Inputs) EXPECT_EQ(run.Err.contains(input), c.Named.contains(input)) << run.Err.toStdString();
  }
  // Control bytes only: the image data is the opened file's.
  EXPECT_EQ(ReadAll(P("patched/twice.gif")).size(), TwoWhites().size());
  EXPECT_NE(ReadAll(P("out/twice.gif")), ReadAll(P("patched/twice.gif")));
}

// A frame of noise, then two small white patches drawn over it: once white
// is transparent, each patch must clear what lies under it, so the frames
// after the first are written anew over the whole screen.
QByteArray NoiseUnderPatches() {
  TAnimPlan plan{48, 48, {kWhite}, true, std::vector<TAnimFrame>(3)};
  for (int i = 1; i < 16; ++i) plan.Colors.push_back({uint8_t(i * 16), uint8_t(255 - i * 9), uint8_t(i * 5)});
  uint32_t seed = 7;
  for (int i = 0; i < 48 * 48; ++i) {
    seed = seed * 1103515245u + 12345u;
    plan.Frames[0].Pixels.push_back(uint8_t(1 + (seed >> 16) % 15));
  }
  for (int f = 1; f < 3; ++f) {
    TAnimFrame& patch = plan.Frames[f];
    patch.Left = patch.Top = f * 20;
    patch.Width = patch.Height = 2;
    patch.Pixels.assign(4, 0);
  }
  for (TAnimFrame& frame : plan.Frames) frame.Packed = Packed(1);
  return MakeAnimation(plan);
}

// A save that more than doubles its file says so, with the frames written
// anew; one that does not, or only patches, says nothing of size.
TEST_F(CommandLine, ASaveThatMoreThanDoublesAFileIsNamed) {
  WriteAll(P("grown.gif"), NoiseUnderPatches());
  WriteAll(P("twice.gif"), TwoWhites());  // written anew at about its size
  MakeDirs({"exact", "patched"});
  const struct {
    QString Out;
    QStringList Options;
    QString Says;
  } cases[] = {{"exact", {}, "ファイル「grown.gif」: 保存で %1 バイトから %2 バイトに増えました (書き換えたフレーム 2)。\n"},
               {"patched", {"--patch-only"}, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Out.toStdString());
    const TCliRun run = Run(c.Options + QStringList{"--transparent", "white", "-o", c.Out, "grown.gif", "twice.gif"});
    ASSERT_EQ(run.Exit, 0) << run.Err.toStdString();
    const qint64 opened = QFileInfo(P("grown.gif")).size(), saved = QFileInfo(P(c.Out + "/grown.gif")).size();
    if (c.Says.isEmpty()) {
      EXPECT_FALSE(run.Err.contains("バイト")) << run.Err.toStdString();
      continue;
    }
    EXPECT_GT(saved, 2 * opened);
    EXPECT_EQ(run.Err, c.Says.arg(opened).arg(saved));
  }
}

// --keep writes what was opened: a GIF byte for byte, a picture converted
// with its own transparency. It is an action of its own, never beside another.
TEST_F(CommandLine, KeepWritesTheTransparencyAsOpened) {
  QImage logo(16, 8, QImage::Format_ARGB32);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x) logo.setPixel(x, y, x < 4 ? qRgba(0, 0, 0, 100) : qRgb(x * 16, y * 30, 200));
  ASSERT_TRUE(logo.save(P("logo.png")));
  ASSERT_TRUE(logo.convertToFormat(QImage::Format_RGB32).save(P("shot.jpg"), "JPG", 95));
  const QByteArray seen = TwoWhites(0x01), animated = AnimatedWhites();
  WriteAll(P("seen.gif"), seen);
  WriteAll(P("anim.gif"), animated);
  MakeDirs({"out"});
  const TCliRun run = Run({"--keep", "-o", "out", "seen.gif", "anim.gif", "logo.png", "shot.jpg"});
  ASSERT_EQ(run.Exit, 0) << run.Err.toStdString();
  EXPECT_EQ(ReadAll(P("out/seen.gif")), seen);
  EXPECT_EQ(ReadAll(P("out/anim.gif")), animated);
  const auto png = DecodeGif(ReadAll(P("out/logo.gif")));
  const auto jpg = DecodeGif(ReadAll(P("out/shot.gif")));
  ASSERT_TRUE(png && jpg);
  ASSERT_GE(png->TransparentIndex, 0);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x) EXPECT_EQ(png->Indices[y * 16 + x] == png->TransparentIndex, x < 4) << x << "," << y;
  EXPECT_EQ(jpg->TransparentIndex, -1);
  // In place: the same bytes, a new file.
  const TCliRun inPlace = Run({"--keep", "--in-place", "anim.gif"});
  EXPECT_EQ(inPlace.Exit, 0);
  EXPECT_EQ(ReadAll(P("anim.gif")), animated);
}

// BMP, PNG and JPEG are converted onto a palette made for the picture,
// dithered unless told; a PNG's see-through pixels arrive transparent.
TEST_F(CommandLine, PicturesAreConvertedToGif) {
  QImage photo(64, 48, QImage::Format_ARGB32);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) photo.setPixel(x, y, qRgba(x * 4, y * 5, (x * y) % 256, x < 8 ? 0 : 255));
  photo.setPixel(63, 0, qRgb(255, 255, 255));
  ASSERT_TRUE(photo.save(P("logo.png")));
  ASSERT_TRUE(photo.convertToFormat(QImage::Format_RGB32).save(P("shot.JPG"), "JPG", 95));
  ASSERT_TRUE(photo.convertToFormat(QImage::Format_RGB32).save(P("photo.bmp"), "BMP"));
  MakeDirs({"out"});
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
  // Reduced, then the colour is taken: white, in black-and-white; a suffixed name ends in .gif.
  const TCliRun bmp = Run({"--transparent", "pixel:63,0", "--colors", "2", "--suffix", "-t", "photo.bmp"});
  ASSERT_EQ(bmp.Exit, 0) << bmp.Err.toStdString();
  const auto decoded = DecodeGif(ReadAll(P("photo-t.gif")));
  ASSERT_TRUE(decoded && decoded->Colors.size() == 2u && decoded->TransparentIndex >= 0);
  const TRgb chosen = decoded->Colors[decoded->TransparentIndex];
  EXPECT_EQ(chosen.R + chosen.G + chosen.B, 3 * 255);
  WriteAll(P("cut.png"), ReadAll(P("logo.png")).left(100));
  const TCliRun cut = Run({"--none", "-o", "out", "cut.png"});
  EXPECT_EQ(cut.Exit, 1);
  EXPECT_TRUE(cut.Err.contains("cut.png")) << cut.Err.toStdString();
}

// The format each run writes: the output's extension, --format over it, and
// --format for a folder and a suffix; files read back by Qt and libwebp's
// header, PNGs judged pixel by pixel against the input (the chosen colour
// transparent, every other colour kept: a picture's more than 256 too).
TEST_F(CommandLine, TheFormatFollowsTheOutputAndFormatOption) {
  WriteAll(P("anim.gif"), AnimatedWhites());
  WriteAll(P("still.gif"), TwoWhites());
  QImage photo(64, 48, QImage::Format_ARGB32);  // more than 256 colours, see-through on the left
  photo.fill(Qt::transparent);
  for (int y = 0; y < 48; ++y)
    for (int x = 8; x < 64; ++x) photo.setPixel(x, y, qRgb(x * 4, y * 5, (x * y) % 256));
  photo.setPixel(63, 0, qRgb(255, 255, 255));
  ASSERT_TRUE(photo.save(P("logo.png")));
  MakeDirs({"out"});
  const struct {
    QString Args;
    QString Written;  // empty: nothing (exit status 1)
    QByteArray Magic;
  } cases[] = {{"--transparent white -o o.webp anim.gif", "o.webp", "RIFF"},
               {"--transparent white --format gif -o o.webp still.gif", "o.webp", "GIF89a"},
               {"--transparent white -o o.PNG still.gif", "o.PNG", "\x89PNG"},
               {"--transparent white --format webp -o o.png still.gif", "o.png", "RIFF"},
               {"--transparent white -o o.png anim.gif", "", ""},  // an animation as PNG: refused, WebP named
               {"--transparent white --format webp -o out anim.gif", "out/anim.webp", "RIFF"},
               {"--transparent white --format png --suffix -t still.gif", "still-t.png", "\x89PNG"},
               {"--transparent white --soft-edges --matte black -o o.gif anim.gif", "o.gif", "GIF89a"},
               {"--keep --format webp -o out anim.gif", "out/anim.webp", "RIFF"},
               {"--transparent pixel:63,0 --fuzz 1 --format png -o out logo.png", "out/logo.png", "\x89PNG"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Args.toStdString());
    const QStringList before = Files() + Files("out");
    const TCliRun run = Run(c.Args.split(' '));
    EXPECT_EQ(run.Exit, c.Written.isEmpty() ? 1 : 0) << run.Err.toStdString();
    if (c.Written.isEmpty()) {
      EXPECT_TRUE(run.Err.contains("WebP")) << run.Err.toStdString();
      EXPECT_EQ(Files() + Files("out"), before);
      continue;
    }
    const QByteArray written = ReadAll(P(c.Written));
    EXPECT_TRUE(written.startsWith(c.Magic)) << written.left(8).toHex().toStdString();
    if (!c.Magic.endsWith("PNG")) continue;
    const QImage got = QImage::fromData(written).convertToFormat(QImage::Format_ARGB32);
    const QImage input = c.Args.contains("logo") ? photo : QImage::fromData(ReadAll(P("still.gif")), "GIF");
    ASSERT_EQ(got.size(), input.size());
    for (int y = 0; y < got.height(); ++y)
      for (int x = 0; x < got.width(); ++x) {
        const QRgb in = input.pixel(x, y), out = got.pixel(x, y);
        const bool taken = qAlpha(in) == 0 || (qRed(in) & qGreen(in) & qBlue(in)) == 255;
        EXPECT_EQ(qAlpha(out), taken ? 0 : 255) << x << "," << y;
        if (!taken) EXPECT_EQ(out, in) << x << "," << y;
      }
  }
}

TEST_F(CommandLine, InfoPrintsOneLinePerFileInInputOrderAndChangesNothing) {
  TGifPlan big;
  big.Width = 300, big.Height = 2, big.GceFlags = 0x01, big.GceIndex = 9;
  big.Colors.assign(16, kGreen);
  WriteAll(P("z.gif"), MakeGif(big));
  WriteAll(P("a.gif"), TwoWhites());
  const QStringList before = Files();
  const TCliRun run = Run({"--info", "z.gif", "a.gif"});
  EXPECT_EQ(run.Exit, 0);
  EXPECT_EQ(run.Out, QString("z.gif\t%1\t300\t2\t16\t1\t9\na.gif\t%2\t4\t3\t4\t1\t-\n")
                         .arg(QFileInfo(P("z.gif")).size())
                         .arg(QFileInfo(P("a.gif")).size()));
  EXPECT_EQ(Files(), before);
}

TEST_F(CommandLine, AFailingFileIsNamedAndTheOthersAreDone) {
  WriteAll(P("good.gif"), TwoWhites());
  WriteAll(P("text.gif"), "not a picture at all");
  WriteAll(P("cut.gif"), TwoWhites().left(16));
  TGifPlan noWhite;
  noWhite.Colors = {kRed, kGreen};
  WriteAll(P("nowhite.gif"), MakeGif(noWhite));
  MakeDirs({"out"});
  const TCliRun run =
      Run({"--transparent", "white", "-o", "out", "text.gif", "good.gif", "cut.gif", "gone.gif", "nowhite.gif"});
  EXPECT_EQ(run.Exit, 1);
  EXPECT_EQ(run.Err, "ファイル「text.gif」はGIF画像として読み込めませんでした。(GIFのシグネチャがありません)\n"
                     "ファイル「cut.gif」はGIF画像として読み込めませんでした。(最初の画像の前でファイルが終わっています)\n"
                     "ファイル「gone.gif」が存在しませんでした。\n"
                     "ファイル「nowhite.gif」の色テーブルに #ffffff の色がありません。\n");
  EXPECT_EQ(Files("out"), QStringList({"good.gif"}));
}

// --fuzz, --connected and --matte become the window's choice of how far the
// colour reaches: the file written is the window's save of it. The matte names
// its colour as --transparent does, an entry or a pixel read from each file.
// A value out of range or unreadable, or any of them without --transparent,
// is a usage error that writes nothing, in a batch too.
TEST_F(CommandLine, BackgroundOptionsAreTheWindowsChoice) {
  WriteAll(P("in.gif"), TwoWhites());
  WriteAll(P("list"), QByteArray("in.gif\0in.gif\0", 14));
  MakeDirs({"window"});  // where the window's save goes
  const TColor red = RGBColor(255, 0, 0), green = RGBColor(0, 255, 0);
  const struct {
    QString Args;
    int Exit;
    TReach Chosen;
  } cases[] = {
      {"--fuzz 0", 0, {}}, {"--fuzz 100", 0, {100, false, {}}}, {"--fuzz 007", 0, {7, false, {}}},
      {"--connected", 0, {0, true, {}}}, {"--matte black", 0, {0, false, RGBColor(0, 0, 0), true}},
      {"--matte 3A7BD5 --fuzz 20 --connected", 0, {20, true, RGBColor(0x3A, 0x7B, 0xD5), true}},
      {"--matte index:2", 0, {0, false, green, true}}, {"--matte pixel:0,0", 0, {0, false, red, true}},
      {"--matte index:4", 1, {}}, {"--matte pixel:4,0", 1, {}},  // past this file's table, past its picture
      {"--fuzz 101", 2, {}}, {"--fuzz -1", 2, {}}, {"--fuzz 1.5", 2, {}}, {"--fuzz 50%", 2, {}}, {"--fuzz +5", 2, {}},
      {"--fuzz 0x10", 2, {}}, {"--fuzz", 2, {}}, {"--matte nocolour", 2, {}}, {"--matte index:256", 2, {}},
      {"--matte #12345", 2, {}}, {"--matte nocolour --files0-from list", 2, {}}, {"--fuzz 101 --files0-from list", 2, {}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Args.toStdString());
    QStringList args{"--transparent", "white"};
    args << c.Args.split(' ') << "--suffix" << "-t";
    if (!c.Args.contains("list")) args << "in.gif";
    const TCliRun run = Run(args);
    EXPECT_EQ(run.Exit, c.Exit) << run.Err.toStdString();
    EXPECT_TRUE(c.Exit == 0 || !run.Err.isEmpty());
    EXPECT_TRUE(c.Exit != 1 || run.Err.contains(c.Args.mid(8))) << run.Err.toStdString();
    if (c.Exit == 0) {
      EXPECT_EQ(ReadAll(P("in-t.gif")), WindowSave(TwoWhites(), 1, true, P("window"), c.Chosen));
    }
    QFile::remove(P("in-t.gif"));
    EXPECT_EQ(Files(), QStringList({"in.gif", "list"}));
  }
  // Without a colour to reach from they would do nothing.
  for (const char* action : {"--none -o x.gif", "--keep -o x.gif", "--info"})
    for (const char* option : {"--fuzz 5", "--connected", "--matte white", "--soft-edges"}) {
      const QString args = QString(action) + " " + option + " in.gif";
      const TCliRun run = Run(args.split(' '));
      EXPECT_EQ(run.Exit, 2) << args.toStdString();
      EXPECT_TRUE(run.Err.contains("--transparent")) << run.Err.toStdString();
    }
  EXPECT_EQ(Files(), QStringList({"in.gif", "list"}));
}

TEST_F(CommandLine, UsageErrorsWriteNothing) {
  MakeDirs({"sub"});
  for (const char* name : {"a.gif", "b.gif", "c.gif", "sub/a.gif"}) WriteAll(P(name), TwoWhites());
  QImage small(2, 2, QImage::Format_RGB32);
  small.fill(Qt::white);
  ASSERT_TRUE(small.save(P("s.bmp"), "BMP"));
  ASSERT_EQ(::symlink("sub", N(P("alias")).constData()), 0);
  ASSERT_EQ(::symlink("a.gif", N(P("link.gif")).constData()), 0);
  // No action, an output --info has no use for, a mistyped option (never a window), an empty suffix.
  QList<QStringList> refused{{"--in-place", "a.gif"}, {"--info", "-o", "x.gif", "a.gif"}, {"--inf", "a.gif"},
                             {"--transparent", "white", "--suffix", "", "a.gif"},
                             {"--keep", "--none", "-o", "x.gif", "a.gif"}, {"--keep", "--info", "a.gif"},
                             {"--keep", "--transparent", "white", "-o", "x.gif", "a.gif"}, {"--keep", "a.gif"}};
  for (const char* colour : {"#12345", "index:256", "nocolour", "transparent", "index: +1 ", "index:+1"})
    refused.append({"--transparent", colour, "-o", "x.gif", "a.gif"});
  for (const QString args : {
           "a.gif", "-o out", "--in-place --suffix x a.gif", "--none --in-place a.gif",  // none or two of one kind
           "--colors 3 -o x.gif a.gif", "--dither --no-dither -o x.gif a.gif", "--no-such-option a.gif",
           "-o missing a.gif b.gif", "-o missing/x.gif a.gif", "-o c.gif a.gif b.gif",  // no such folder, not one
           "-o a.gif a.gif", "-o . b.gif", "--in-place s.bmp",  // over an input; a BMP in place
           "-o sub a.gif sub/a.gif", "--suffix -t sub/a.gif alias/a.gif", "--in-place a.gif link.gif",  // one target twice
           // Soft edges in a GIF need a page colour; WebP and PNG take none; a type never changes in place.
           "--soft-edges -o x.gif a.gif", "--soft-edges --suffix -t a.gif", "--matte black -o x.webp a.gif",
           "--matte black --format png -o x.gif a.gif", "--in-place --format webp a.gif", "--format jpeg -o x.gif a.gif"})
    refused << QStringList{"--transparent", "white"} + args.split(' ');
  const QStringList before = Files();
  for (const QStringList& args : refused) {
    const TCliRun run = Run(args);
    EXPECT_EQ(run.Exit, 2) << args.join(' ').toStdString();
    EXPECT_FALSE(run.Err.isEmpty());
  }
  EXPECT_EQ(Files(), before);
  EXPECT_EQ(Files("sub"), QStringList({"a.gif"}));
  EXPECT_EQ(ReadAll(P("a.gif")), TwoWhites());
  EXPECT_TRUE(Run({"--transparent", "white", "-o", "c.gif", "a.gif", "b.gif"}).Err.contains("フォルダではありません"));
}

// The same runs speak Japanese under a Japanese locale and English under any
// other; help and version need no file.
TEST_F(CommandLine, HelpAndMessagesFollowTheLocale) {
  WriteAll(P("a.gif"), TwoWhites());
  // The help's description, a missing file, a usage error.
  const QStringList ja{"GIF の背景色を透過にします。", "ファイル「gone.gif」が存在しませんでした。\n",
                       "-o、--suffix、--in-place のどれか一つを指定してください。"};
  const QStringList en{"Makes a GIF's background colour transparent.", "File \"gone.gif\" does not exist.\n",
                       "Give exactly one of -o, --suffix and --in-place."};
  for (const auto& [lang, texts] : {std::pair{QString("ja_JP.UTF-8"), ja}, std::pair{QString("en_US.UTF-8"), en},
                                    std::pair{QString("de_DE.UTF-8"), en}}) {
    SCOPED_TRACE(lang.toStdString());
    const TCliRun help = RunTomaru({"--help"}, Dir.path(), lang);
    EXPECT_EQ(help.Exit, 0);
    for (const QString& text : {texts[0], QString("--transparent"), QString("--no-dither"), QString("auto"),
                                QString("--keep"), QString("--files0-from"), QString("--fuzz"), QString("--matte")})
      EXPECT_TRUE(help.Out.contains(text)) << text.toStdString();
    EXPECT_EQ(RunTomaru({"--info", "gone.gif"}, Dir.path(), lang).Err, texts[1]);
    EXPECT_TRUE(RunTomaru({"--transparent", "white", "a.gif"}, Dir.path(), lang).Err.contains(texts[2]));
  }
  const TCliRun version = Run({"--version"});
  EXPECT_TRUE(version.Exit == 0 && !version.Out.isEmpty());
}

}  // namespace
