// Frames built here are written, then read back by libwebp's animation
// decoder and Qt's PNG reader: what a viewer shows must be what went in.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <webp/demux.h>

#include "alpha/AlphaWriter.h"
#include "common/TestFiles.h"

namespace {

constexpr int W = 9, H = 7;  // odd, so changed rectangles do not start on even pixels

// Frame k: a fading band, a transparent corner, and a square that moves.
std::vector<TPixel> Frame(int k) {
  std::vector<TPixel> p(W * H);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      const uint32_t alpha = x > 5 && y < 3 ? 0 : 40 + 25 * x;
      const bool square = x >= k && x < k + 3 && y >= 3 && y < 6;
      p[y * W + x] = alpha << 24 | (square ? 0x00FF8000u : uint32_t(y * 30) << 8 | uint32_t(k * 50));
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

std::unique_ptr<TAlphaWriter> Writer(TAlphaFormat format, const QString& target, size_t frames, QString& error) {
  TAlphaSave save{format, target, W, H, frames, uint16_t(3)};
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

  const QByteArray file = ReadAll(target);
  const WebPData data{reinterpret_cast<const uint8_t*>(file.constData()), size_t(file.size())};
  WebPAnimDecoderOptions options;
  WebPAnimDecoderOptionsInit(&options);
  options.color_mode = MODE_BGRA;  // little-endian words of 0xAARRGGBB
  std::unique_ptr<WebPAnimDecoder, void (*)(WebPAnimDecoder*)> decoder(WebPAnimDecoderNew(&data, &options),
                                                                       WebPAnimDecoderDelete);
  ASSERT_TRUE(decoder);
  WebPAnimInfo info;
  ASSERT_TRUE(WebPAnimDecoderGetInfo(decoder.get(), &info));
  EXPECT_EQ(info.loop_count, 4u);  // the first play and three repeats
  EXPECT_EQ(int(info.canvas_width), W);
  EXPECT_EQ(int(info.canvas_height), H);
  int before = 0;
  size_t shown = 0;
  for (; WebPAnimDecoderHasMoreFrames(decoder.get()); ++shown) {
    uint8_t* bytes = nullptr;
    int timestamp = 0;
    ASSERT_TRUE(WebPAnimDecoderGetNext(decoder.get(), &bytes, &timestamp));
    ASSERT_LT(shown, expected.size());
    const std::vector<TPixel> got(reinterpret_cast<const TPixel*>(bytes), reinterpret_cast<const TPixel*>(bytes) + W * H);
    EXPECT_TRUE(Looks(got, expected[shown].Pixels)) << "frame " << shown;
    EXPECT_EQ(timestamp - before, expected[shown].Ms) << "frame " << shown;
    before = timestamp;
  }
  EXPECT_EQ(shown, expected.size());
}

TEST(AlphaWriter, PngHoldsOneFrameAndRefusalsWriteNothing) {
  QTemporaryDir dir;
  const QString still = dir.filePath(QStringLiteral("a.png"));
  QString error;
  auto writer = Writer(TAlphaFormat::Png, still, 1, error);
  ASSERT_TRUE(writer && writer->Add(Frame(2).data(), 0, error) && SaveAlphaFile(*writer, still, error)) << error.toStdString();
  const QImage read = QImage(still).convertToFormat(QImage::Format_ARGB32);
  ASSERT_EQ(read.size(), QSize(W, H));
  std::vector<TPixel> got(W * H);
  for (int y = 0; y < H; ++y) std::copy_n(reinterpret_cast<const TPixel*>(read.constScanLine(y)), W, &got[y * W]);
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
