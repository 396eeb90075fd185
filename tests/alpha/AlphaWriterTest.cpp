// Frames built here are written, then read back by libwebp's animation
// decoder and Qt's PNG reader: what a viewer shows must be what went in.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <webp/demux.h>

#include "alpha/AlphaWriter.h"
#include "alpha/SaveWithAlpha.h"
#include "common/TestFiles.h"
#include "document/GifFrames.h"
#include "frames/FramePlans.h"

namespace {

constexpr int kW = 9, kH = 7;  // odd, so changed rectangles do not start on even pixels

// Frame k: a fading band, a transparent corner, and a square that moves.
std::vector<TPixel> Frame(int k) {
  std::vector<TPixel> p(kW * kH);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const uint32_t alpha = x > 5 && y < 3 ? 0 : 40 + 25 * x;
      const bool square = x >= k && x < k + 3 && y >= 3 && y < 6;
      p[y * kW + x] = alpha << 24 | (square ? 0x00FF8000u : uint32_t(y * 30) << 8 | uint32_t(k * 50));
    }
  return p;
}

// What a viewer sees the same: alpha everywhere, colour where it shows.
bool Looks(const std::vector<TPixel>& a, const std::vector<TPixel>& b) {
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i] >> 24 != b[i] >> 24 || (a[i] >> 24 && a[i] != b[i])) return false;
  return true;
}

struct TShown {
  std::vector<TPixel> Pixels;
  int Ms;
};

// What libwebp's animation decoder shows of a file: each picture with its
// time, consecutive pictures that look the same merged; the canvas's size.
std::vector<TShown> Timeline(const QByteArray& file, QSize& canvas, unsigned& loops) {
  const WebPData data{reinterpret_cast<const uint8_t*>(file.constData()), size_t(file.size())};
  WebPAnimDecoderOptions options;
  WebPAnimDecoderOptionsInit(&options);
  options.color_mode = MODE_BGRA;  // little-endian words of 0xAARRGGBB
  std::unique_ptr<WebPAnimDecoder, void (*)(WebPAnimDecoder*)> decoder(WebPAnimDecoderNew(&data, &options),
                                                                       WebPAnimDecoderDelete);
  WebPAnimInfo info;
  if (!decoder || !WebPAnimDecoderGetInfo(decoder.get(), &info)) return {};
  canvas = QSize(int(info.canvas_width), int(info.canvas_height));
  loops = info.loop_count;
  std::vector<TShown> shown;
  int before = 0;
  while (WebPAnimDecoderHasMoreFrames(decoder.get())) {
    uint8_t* bytes = nullptr;
    int timestamp = 0;
    if (!WebPAnimDecoderGetNext(decoder.get(), &bytes, &timestamp)) return {};
    const auto* words = reinterpret_cast<const TPixel*>(bytes);
    std::vector<TPixel> got(words, words + size_t(canvas.width()) * canvas.height());
    if (!shown.empty() && Looks(shown.back().Pixels, got)) shown.back().Ms += timestamp - before;
    else shown.push_back({std::move(got), timestamp - before});
    before = timestamp;
  }
  return shown;
}

std::unique_ptr<TAlphaWriter> Writer(TAlphaFormat format, const QString& target, size_t frames, QString& error) {
  TAlphaSave save{format, target, kW, kH, frames, uint16_t(3)};
  return NewAlphaWriter(save, error);
}

}  // namespace

TEST(AlphaWriter, WebpShowsEveryFrameForItsTimeAndLoops) {
  QTemporaryDir dir;
  const QString target = dir.filePath(QStringLiteral("a.webp"));
  // Delays in hundredths with what browsers play; frame 2 repeats frame 1.
  const std::vector<std::pair<int, int>> frames{{0, 0}, {1, 1}, {1, 7}, {3, 25}, {4, 2}};
  QString error;
  auto writer = Writer(TAlphaFormat::WebP, target, frames.size(), error);
  ASSERT_TRUE(writer) << error.toStdString();
  std::vector<TShown> expected;
  for (auto [k, delay] : frames) {
    ASSERT_TRUE(writer->Add(Frame(k).data(), delay, error)) << error.toStdString();
    const int ms = delay <= 1 ? 100 : delay * 10;
    if (!expected.empty() && Looks(expected.back().Pixels, Frame(k))) expected.back().Ms += ms;
    else expected.push_back({Frame(k), ms});
  }
  ASSERT_TRUE(SaveAlphaFile(*writer, target, error)) << error.toStdString();

  QSize canvas;
  unsigned loops = 0;
  const std::vector<TShown> shown = Timeline(ReadAll(target), canvas, loops);
  EXPECT_EQ(loops, 4u);  // the first play and three repeats
  EXPECT_EQ(canvas, QSize(kW, kH));
  ASSERT_EQ(shown.size(), expected.size());
  for (size_t k = 0; k < shown.size(); ++k) {
    EXPECT_TRUE(Looks(shown[k].Pixels, expected[k].Pixels)) << "frame " << k;
    EXPECT_EQ(shown[k].Ms, expected[k].Ms) << "frame " << k;
  }
}

// A choice saved as WebP, read back by libwebp: each picture is the file as
// giflib composes it (the tests' compositor), its first frame's transparency
// set aside, with every pixel of the chosen colour transparent, for the
// frame's own delay (hundredths; 0 plays as 100 ms). A frame whose data
// cannot be decoded writes nothing.
TEST(AlphaWriter, AChoiceSavedAsWebpShowsEachFrameAsComposedWithTheColourTaken) {
  std::vector<TAnimPlan> plans;
  for (const uint8_t disposal : {1, 2, 3}) plans.push_back(DisposedSquares(disposal, disposal, 1));
  TAnimPlan local = DisposedSquares(1, 2, 3);
  local.Frames[1].LocalColors = {kGreen, kWhite, kBlack, kRed};  // white at 1 in its own table
  local.Frames[2].Interlaced = true;
  plans.push_back(local);
  TAnimPlan clearFirst = DisposedSquares(2, 1, 1);  // a first frame wholly transparent, disposed
  clearFirst.Frames[0] = Full(Filled(clearFirst.Width, clearFirst.Height, 3), Packed(2, true));
  clearFirst.Frames[0].TransparentIndex = 3;
  plans.push_back(clearFirst);
  QTemporaryDir dir;
  for (size_t c = 0; c < plans.size(); ++c) {
    SCOPED_TRACE(c);
    QByteArray file = MakeAnimation(plans[c]);
    const TFrameWalk walk = WalkGifFrames(file);
    for (size_t k = 0; k < walk.Frames.size(); ++k) file[walk.Frames[k].Gce + 4] = char(k * 3);
    TAnimPlan aside = plans[c];
    *aside.Frames[0].Packed &= ~1;
    QByteArray asideFile = MakeAnimation(aside);
    for (size_t k = 0; k < walk.Frames.size(); ++k) asideFile[walk.Frames[k].Gce + 4] = char(k * 3);
    const auto composed = ComposeFrames(asideFile, TControlReading::Last);
    ASSERT_TRUE(composed);
    std::vector<TShown> expected;
    for (size_t k = 0; k < composed->Canvases.size(); ++k) {
      std::vector<TPixel> want = composed->Canvases[k];
      for (TPixel& p : want) p = p == 0xFFFFFFFFu ? 0 : p;
      const int ms = k <= 0 ? 100 : int(k) * 30;
      if (!expected.empty() && Looks(expected.back().Pixels, want)) expected.back().Ms += ms;
      else expected.push_back({want, ms});
    }
    TGifDocument doc;
    ASSERT_TRUE(doc.ReadGifHeader(file));
    doc.TransparentOn = true;
    doc.TransparentIndex = 0;  // white
    const QString target = dir.filePath(QStringLiteral("c%1.webp").arg(c));
    const TAlphaOutcome outcome = SaveChoiceWithAlpha(doc, true, TAlphaFormat::WebP, target);
    ASSERT_TRUE(outcome.Error.isEmpty()) << outcome.Error.toStdString();
    QSize canvas;
    unsigned loops = 0;
    const std::vector<TShown> shown = Timeline(ReadAll(target), canvas, loops);
    EXPECT_EQ(canvas, QSize(plans[c].Width, plans[c].Height));
    ASSERT_EQ(shown.size(), expected.size());
    for (size_t k = 0; k < shown.size(); ++k) {
      EXPECT_TRUE(Looks(shown[k].Pixels, expected[k].Pixels)) << "picture " << k;
      EXPECT_EQ(shown[k].Ms, expected[k].Ms) << "picture " << k;
    }
    // The last frame's data cut short: refused by name, nothing written.
    const QByteArray cut = file.left(walk.Frames.back().End - 3) + char(0) + char(0x3B);
    ASSERT_TRUE(doc.ReadGifHeader(cut));
    doc.TransparentOn = true;
    const QString damaged = dir.filePath(QStringLiteral("d%1.webp").arg(c));
    const TAlphaOutcome refused = SaveChoiceWithAlpha(doc, true, TAlphaFormat::WebP, damaged);
    EXPECT_FALSE(refused.Error.isEmpty());
    EXPECT_FALSE(QFile::exists(damaged));
  }
}

TEST(AlphaWriter, PngHoldsOneFrameAndRefusalsWriteNothing) {
  QTemporaryDir dir;
  const QString still = dir.filePath(QStringLiteral("a.png"));
  QString error;
  auto writer = Writer(TAlphaFormat::Png, still, 1, error);
  ASSERT_TRUE(writer && writer->Add(Frame(2).data(), 0, error) && SaveAlphaFile(*writer, still, error)) << error.toStdString();
  const QImage read = QImage(still).convertToFormat(QImage::Format_ARGB32);
  ASSERT_EQ(read.size(), QSize(kW, kH));
  std::vector<TPixel> got(kW * kH);
  for (int y = 0; y < kH; ++y) std::copy_n(reinterpret_cast<const TPixel*>(read.constScanLine(y)), kW, &got[y * kW]);
  EXPECT_TRUE(Looks(got, Frame(2)));

  // An animation asked for as PNG, named WebP in the message; an animation cut short.
  EXPECT_FALSE(Writer(TAlphaFormat::Png, dir.filePath(QStringLiteral("b.png")), 3, error));
  EXPECT_TRUE(error.contains(QStringLiteral("WebP"))) << error.toStdString();
  const QString cut = dir.filePath(QStringLiteral("c.webp"));
  writer = Writer(TAlphaFormat::WebP, cut, 2, error);
  ASSERT_TRUE(writer && writer->Add(Frame(0).data(), 5, error)) << error.toStdString();
  EXPECT_FALSE(SaveAlphaFile(*writer, cut, error));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.png")});
}
