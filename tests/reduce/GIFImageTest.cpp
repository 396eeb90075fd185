#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <random>

#include "common/TestFiles.h"
#include "reduce/GIFImage.h"
#include "reduce/GifDecode.h"
#include "reduce/TestImages.h"

namespace {

class GIFImageTest : public ::testing::Test {
 protected:
  QString File(const QString& name) const { return Dir.filePath(name); }

  // Writes the image and checks that giflib reads back exactly its pixels.
  QByteArray SaveAndVerify(const QImage& image) {
    const QString path = File(QStringLiteral("out.gif"));
    EXPECT_TRUE(SaveBitmapToGIF(path, image));
    EXPECT_EQ(GIFLastError, 0);
    const TDecodedGif gif = DecodeGif(path);
    EXPECT_EQ(gif.Width, image.width());
    EXPECT_EQ(gif.Height, image.height());
    if (gif.Width == image.width() && gif.Height == image.height()) {
      int mismatches = 0;
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
          if (gif.Pixel(x, y) != (image.pixel(x, y) | 0xFF000000u)) ++mismatches;
      EXPECT_EQ(mismatches, 0);
    }
    return ReadAll(path);
  }

  QTemporaryDir Dir;
};

QImage Solid(int w, int h, QRgb color) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(color);
  return image;
}

int Byte(const QByteArray& data, qsizetype at) { return uint8_t(data[at]); }

}  // namespace

TEST(GIFImage, BitsForColorCountCoversEachTableSize) {
  const std::pair<int, int> cases[] = {{0, 1},  {1, 1},  {2, 1},   {3, 2},   {4, 2},   {5, 3},
                                       {8, 3},  {9, 4},  {16, 4},  {17, 5},  {32, 5},  {33, 6},
                                       {64, 6}, {65, 7}, {128, 7}, {129, 8}, {256, 8}};
  for (auto [n, bits] : cases) EXPECT_EQ(BitsForColorCount(n), bits) << n;
}

TEST(GIFImage, CreditCommentIsFourLinesOf126Bytes) {
  EXPECT_EQ(GIFCreditText.size(), 126);
  EXPECT_EQ(GIFCreditText.count("\r\n"), 3);
  for (char c : GIFCreditText) EXPECT_TRUE(c > 0 && c < 127);
}

TEST_F(GIFImageTest, OneColourLayout) {
  const QByteArray gif = SaveAndVerify(Solid(3, 2, qRgb(10, 20, 30)));
  EXPECT_TRUE(gif.startsWith("GIF89a"));
  EXPECT_EQ(Byte(gif, 6), 3);
  EXPECT_EQ(Byte(gif, 8), 2);
  EXPECT_EQ(Byte(gif, 10), 0x80);
  EXPECT_EQ(gif.mid(13, 6), QByteArray("\x0A\x14\x1E\x00\x00\x00", 6));
  EXPECT_EQ(gif.mid(19, 8), QByteArray("\x21\xF9\x04\x00\x00\x00\x00\x00", 8));
  EXPECT_EQ(Byte(gif, 27), 0x2C);
  EXPECT_EQ(Byte(gif, 37), 2);  // LZW minimum code size
  // The file ends with the 130-byte comment extension and the trailer.
  const QByteArray tail = gif.right(131);
  EXPECT_EQ(tail.left(3), QByteArray("\x21\xFE\x7E"));
  EXPECT_EQ(tail.mid(3, 126), GIFCreditText);
  EXPECT_EQ(tail.right(2), QByteArray("\x00\x3B", 2));
}

TEST_F(GIFImageTest, ThreeColourLayoutPadsTheTable) {
  QImage image = Solid(3, 1, qRgb(1, 2, 3));
  image.setPixel(1, 0, qRgb(4, 5, 6));
  image.setPixel(2, 0, qRgb(7, 8, 9));
  const QByteArray gif = SaveAndVerify(image);
  EXPECT_EQ(Byte(gif, 10), 0x81);
  EXPECT_EQ(gif.mid(13, 12), QByteArray("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x00\x00\x00", 12));
  EXPECT_EQ(Byte(gif, 16 + 12), 0);     // GCE packed byte
  EXPECT_EQ(Byte(gif, 13 + 12), 0x21);  // GCE right after the table
  EXPECT_EQ(Byte(gif, 31 + 12), 2);
}

TEST_F(GIFImageTest, TwoHundredFiftySixColourLayout) {
  std::mt19937 rng(1);
  QImage image = RandomImage(40, 40, DistinctColors(256), rng);
  for (int i = 0; i < 256; ++i) image.setPixel(i % 40, i / 40, DistinctColors(256)[i]);
  const QByteArray gif = SaveAndVerify(image);
  EXPECT_EQ(Byte(gif, 10), 0x87);
  EXPECT_EQ(Byte(gif, 781), 0x21);
  EXPECT_EQ(Byte(gif, 782), 0xF9);
  EXPECT_EQ(Byte(gif, 789), 0x2C);
  EXPECT_EQ(Byte(gif, 799), 8);
}

TEST_F(GIFImageTest, PaletteFollowsThePixelsNotTheSourceTable) {
  QImage image(2, 1, QImage::Format_Indexed8);
  image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(0, 0, 0)});
  image.setPixel(0, 0, 1);
  image.setPixel(1, 0, 2);  // a duplicate entry of black
  const QByteArray gif = SaveAndVerify(image);
  EXPECT_EQ(gif.mid(13, 6), QByteArray("\xFF\xFF\xFF\x00\x00\x00", 6));
  const TDecodedGif decoded = DecodeGif(File(QStringLiteral("out.gif")));
  EXPECT_EQ(decoded.Indices, (std::vector<unsigned char>{0, 1}));
}

// The transparent entry keeps an entry of its own even where an opaque one
// has its colour, and the control block names it.
TEST_F(GIFImageTest, TheTransparentEntryStaysApartAndIsMarked) {
  QImage image(3, 1, QImage::Format_Indexed8);
  image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(0, 0, 0)});
  image.setPixel(0, 0, 1);
  image.setPixel(1, 0, 2);  // black, transparent
  image.setPixel(2, 0, 0);  // black, opaque
  const QString path = File(QStringLiteral("clear.gif"));
  ASSERT_TRUE(SaveBitmapToGIF(path, image, 2));
  const QByteArray gif = ReadAll(path);
  EXPECT_EQ(Byte(gif, 10), 0x81);  // three entries, four in the table
  EXPECT_EQ(gif.mid(13 + 12, 8), QByteArray("\x21\xF9\x04\x01\x00\x00\x01\x00", 8));
  EXPECT_EQ(DecodeGif(path).Indices, (std::vector<unsigned char>{0, 1, 2}));
}

TEST_F(GIFImageTest, TooManyColoursFailsAndLeavesTheFileAlone) {
  const QString path = File(QStringLiteral("keep.gif"));
  WriteAll(path, "previous");
  QImage image(257, 2, QImage::Format_RGB32);
  const QVector<QRgb> colors = DistinctColors(257);
  for (int x = 0; x < 257; ++x) image.setPixel(x, 0, colors[x]);
  for (int x = 0; x < 257; ++x) image.setPixel(x, 1, colors[0]);
  EXPECT_FALSE(SaveBitmapToGIF(path, image));
  EXPECT_EQ(GIFLastError, 4);
  EXPECT_STREQ(GIFErrorMessages[4], "Image contains too many Colors (>256)");
  EXPECT_EQ(ReadAll(path), QByteArray("previous"));
}

TEST_F(GIFImageTest, RefusesSizesAGifCannotHold) {
  const QString path = File(QStringLiteral("wide.gif"));
  EXPECT_FALSE(SaveBitmapToGIF(path, Solid(70000, 1, qRgb(0, 0, 0))));
  EXPECT_FALSE(Exists(path));
  EXPECT_FALSE(SaveBitmapToGIF(path, QImage()));
  EXPECT_FALSE(Exists(path));
}

TEST_F(GIFImageTest, ReportsOneHundredOnceTheImageDataIsComplete) {
  std::vector<int> reports;
  GIFProgressHandler = [&](int p) { reports.push_back(p); };
  SaveAndVerify(Solid(10, 10, qRgb(1, 1, 1)));
  GIFProgressHandler = nullptr;
  EXPECT_EQ(reports, std::vector<int>{100});
}

// The helpers answer for themselves; only the save touches the shared state.
TEST_F(GIFImageTest, HelpersLeaveTheSharedErrorAndHandlerAlone) {
  GIFLastError = 7;
  std::vector<int> shared, own;
  GIFProgressHandler = [&](int p) { shared.push_back(p); };
  TGIFPalette palette;
  std::vector<uint8_t> indices;
  QImage wide(257, 1, QImage::Format_RGB32);
  const QVector<QRgb> colors = DistinctColors(257);
  for (int x = 0; x < 257; ++x) wide.setPixel(x, 0, colors[x]);
  EXPECT_EQ(MapPixelsToPalette(wide, palette, indices), 4);
  EXPECT_EQ(MapPixelsToPalette(Solid(4, 4, qRgb(9, 9, 9)), palette, indices), 0);
  QByteArray out;
  WriteGIFStream(out, 4, 4, palette, indices.data(), [&](int p) { own.push_back(p); });
  GIFProgressHandler = nullptr;
  EXPECT_EQ(GIFLastError, 7);
  EXPECT_TRUE(shared.empty());
  EXPECT_EQ(own, std::vector<int>{100});
  GIFLastError = 0;
}

TEST_F(GIFImageTest, EveryFileDecodesToTheSourcePixels) {
  std::mt19937 rng(42);
  std::uniform_int_distribution<int> side(1, 300), colours(1, 256);
  for (int round = 0; round < 40; ++round) {
    const int w = side(rng), h = side(rng) / (round % 4 + 1) + 1, n = colours(rng);
    QImage image = RandomImage(w, h, DistinctColors(n), rng);
    // Some runs and flat areas too, which exercise long strings and key 0.
    if (round % 3 == 0)
      for (int y = 0; y < h / 2; ++y)
        for (int x = 0; x < w; ++x) image.setPixel(x, y, DistinctColors(n)[0]);
    if (round % 5 == 1) image = image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    SCOPED_TRACE(::testing::Message() << w << "x" << h << " colours " << n);
    SaveAndVerify(image);
  }
  // Large enough to clear the string table many times.
  SaveAndVerify(RandomImage(1000, 700, DistinctColors(200), rng));
  SaveAndVerify(PhotoLikeImage(640, 480).convertToFormat(QImage::Format_Indexed8,
                                                          Qt::ThresholdDither));
}
