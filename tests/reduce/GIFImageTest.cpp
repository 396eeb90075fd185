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
    EXPECT_EQ(QSize(gif.Width, gif.Height), image.size());
    EXPECT_TRUE(gif.AllPixels() == Pixels(image));
    return ReadAll(path);
  }

  QTemporaryDir Dir;
};

QImage Solid(int w, int h, QRgb color) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(color);
  return image;
}

// Each of the colours once, then random ones.
QImage AllOf(int w, int h, const QVector<QRgb>& colors, std::mt19937& rng) {
  QImage image = RandomImage(w, h, colors, rng);
  for (int i = 0; i < colors.size(); ++i) image.setPixel(i % w, i / w, colors[i]);
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

// The colour table is padded to a power of two; the control block follows
// it, then the image and its LZW code size; the credit comment ends the file.
TEST_F(GIFImageTest, LayoutAroundTablesOfEachSize) {
  std::mt19937 rng(1);
  struct TCase {
    QImage Image;
    int Packed;
    QByteArray Table;
    int CodeSize;
  };
  const TCase cases[] = {{Solid(3, 2, qRgb(10, 20, 30)), 0x80, QByteArray("\x0A\x14\x1E\0\0\0", 6), 2},
                         {AllOf(3, 1, {qRgb(1, 2, 3), qRgb(4, 5, 6), qRgb(7, 8, 9)}, rng), 0x81,
                          QByteArray("\x01\x02\x03\x04\x05\x06\x07\x08\x09\0\0\0", 12), 2},
                         {AllOf(40, 40, DistinctColors(256), rng), 0x87, QByteArray(), 8}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Packed);
    const QByteArray gif = SaveAndVerify(c.Image);
    const int gce = 13 + (3 << ((c.Packed & 7) + 1));
    EXPECT_TRUE(gif.startsWith("GIF89a"));
    EXPECT_EQ(Byte(gif, 10), c.Packed);
    EXPECT_EQ(gif.mid(13, c.Table.size()), c.Table);
    EXPECT_EQ(gif.mid(gce, 8), QByteArray("\x21\xF9\x04\0\0\0\0\0", 8));
    EXPECT_EQ(Byte(gif, gce + 8), 0x2C);
    EXPECT_EQ(Byte(gif, gce + 18), c.CodeSize);
    EXPECT_EQ(gif.right(131), QByteArray("\x21\xFE\x7E") + GIFCreditText + QByteArray("\x00\x3B", 2));
  }
}

// The table holds the colours the pixels use, not the source's table with
// its duplicates; a transparent entry stays apart from an opaque one of the
// same colour and the control block names it.
TEST_F(GIFImageTest, TableFollowsThePixelsAndKeepsTheTransparentEntryApart) {
  QImage image(2, 1, QImage::Format_Indexed8);
  image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(0, 0, 0)});
  image.setPixel(0, 0, 1);
  image.setPixel(1, 0, 2);
  const QByteArray gif = SaveAndVerify(image);
  EXPECT_EQ(gif.mid(13, 6), QByteArray("\xFF\xFF\xFF\x00\x00\x00", 6));
  EXPECT_EQ(DecodeGif(File(QStringLiteral("out.gif"))).Indices, (std::vector<unsigned char>{0, 1}));

  QImage clear = image.copy(0, 0, 3, 1);
  clear.setPixel(2, 0, 0);  // black, opaque; entry 2 is transparent
  const QString path = File(QStringLiteral("clear.gif"));
  ASSERT_TRUE(SaveBitmapToGIF(path, clear, 2));
  const QByteArray bytes = ReadAll(path);
  EXPECT_EQ(Byte(bytes, 10), 0x81);  // three entries, four in the table
  EXPECT_EQ(bytes.mid(13 + 12, 8), QByteArray("\x21\xF9\x04\x01\x00\x00\x01\x00", 8));
  EXPECT_EQ(DecodeGif(path).Indices, (std::vector<unsigned char>{0, 1, 2}));
}

// Only the save touches the shared error and handler, reporting 100 once
// the image data is complete; what it refuses leaves the file alone.
TEST_F(GIFImageTest, ErrorsProgressAndRefusals) {
  std::vector<int> shared, own;
  GIFProgressHandler = [&](int p) { shared.push_back(p); };
  GIFLastError = 7;
  std::mt19937 rng(2);
  const QImage tooMany = AllOf(257, 1, DistinctColors(257), rng);
  TGIFPalette palette;
  std::vector<uint8_t> indices;
  EXPECT_EQ(MapPixelsToPalette(tooMany, palette, indices), 4);
  EXPECT_EQ(MapPixelsToPalette(Solid(4, 4, qRgb(9, 9, 9)), palette, indices), 0);
  QByteArray out;
  WriteGIFStream(out, 4, 4, palette, indices.data(), [&](int p) { own.push_back(p); });
  EXPECT_EQ(GIFLastError, 7);
  EXPECT_TRUE(shared.empty());
  EXPECT_EQ(own, std::vector<int>{100});
  SaveAndVerify(Solid(10, 10, qRgb(1, 1, 1)));
  GIFProgressHandler = nullptr;
  EXPECT_EQ(shared, std::vector<int>{100});

  const QString path = File(QStringLiteral("keep.gif"));
  WriteAll(path, "previous");
  EXPECT_FALSE(SaveBitmapToGIF(path, tooMany));
  EXPECT_EQ(GIFLastError, 4);
  EXPECT_FALSE(SaveBitmapToGIF(path, Solid(70000, 1, qRgb(0, 0, 0))));  // sizes a GIF cannot hold
  EXPECT_FALSE(SaveBitmapToGIF(path, QImage()));
  EXPECT_EQ(ReadAll(path), QByteArray("previous"));
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
  SaveAndVerify(PhotoLikeImage(640, 480).convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither));
}
