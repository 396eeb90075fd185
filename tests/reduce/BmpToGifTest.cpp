#include <QDir>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

#include <random>

#include "common/TestFiles.h"
#include "reduce/BmpFiles.h"
#include "reduce/BmpLoader.h"
#include "reduce/BmpToGif.h"
#include "reduce/ColorCount.h"
#include "reduce/FixedPalettes.h"
#include "reduce/GifDecode.h"
#include "reduce/Reduction.h"
#include "reduce/TestImages.h"
#include "ConversionRoad.h"
#include "plugins/PictureLimits.h"

namespace {

class BmpToGif : public TConversionRoadTest {
 protected:
  QString WriteBmp(const QByteArray& bytes, const QString& name = QStringLiteral("in.bmp")) {
    const QString path = Dir.filePath(name);
    WriteAll(path, bytes);
    return path;
  }
};

QImage WithColours(int width, int height, int colours, uint32_t seed) {
  std::mt19937 rng(seed);
  QImage image = RandomImage(width, height, DistinctColors(colours), rng);
  for (int i = 0; i < colours; ++i) image.setPixel(i % width, i / width, DistinctColors(colours)[i]);
  return image;
}

}  // namespace

TEST_F(BmpToGif, LoadsEveryUncompressedDepthAndRowOrder) {
  const QImage mono = WithColours(13, 5, 2, 1), sixteen = WithColours(11, 7, 16, 2),
               many = WithColours(10, 6, 60, 3);
  const std::pair<QImage, int> cases[] = {{mono, 1}, {sixteen, 4}, {many, 8}, {many, 24}, {many, 32}};
  for (const auto& [image, bits] : cases)
    for (bool topDown : {false, true}) {
      SCOPED_TRACE(::testing::Message() << bits << " bits, top-down " << topDown);
      const QImage loaded = LoadBMP(WriteBmp(BmpBytes(image, bits, topDown)));
      ASSERT_FALSE(loaded.isNull());
      EXPECT_EQ(Pixels(loaded), Pixels(image));
      EXPECT_EQ(GetColorCount(loaded), GetColorCount(image));
    }
}

namespace {

// 4 x 2 RLE8: bottom row four times entry 1, top row two of entry 0, two of 1.
QByteArray RleBmp() {
  const QByteArray rle("\x04\x01\x00\x00\x02\x00\x02\x01\x00\x01", 10);
  QByteArray bmp("BM", 2);
  auto put = [&](uint32_t v, int n) {
    for (int i = 0; i < n; ++i) bmp.append(char((v >> (8 * i)) & 0xFF));
  };
  put(54 + 8 + uint32_t(rle.size()), 4);
  put(0, 4);
  put(54 + 8, 4);
  put(40, 4);
  put(4, 4);
  put(2, 4);
  put(1, 2);
  put(8, 2);
  put(1, 4);  // RLE8
  put(uint32_t(rle.size()), 4);
  put(0, 4), put(0, 4), put(2, 4), put(0, 4);
  put(0x0000FF, 4);  // blue
  put(0xFFFFFF, 4);  // white
  return bmp + rle;
}

}  // namespace

TEST_F(BmpToGif, LoadsRunLengthCodedBmps) {
  const QImage image = LoadBMP(WriteBmp(RleBmp()));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFFu, 0x0000FFu);
  EXPECT_EQ(image.pixel(3, 0) & 0xFFFFFFu, 0xFFFFFFu);
  EXPECT_EQ(image.pixel(0, 1) & 0xFFFFFFu, 0xFFFFFFu);
}

TEST_F(BmpToGif, RefusesWhatIsNoBmpAndTouchesNothing) {
  WriteAll(TempGif(), "earlier");
  const QByteArray good = BmpBytes(WithColours(20, 20, 5, 4), 24);
  QByteArray lying = good;
  lying[22] = char(0x30);  // claims 0x30 + ... rows more than it holds
  lying[23] = char(0x10);
  const QByteArray cases[] = {QByteArray(), QByteArray("BM"), good.left(good.size() / 2), lying,
                              RleBmp().left(64),
                              QByteArray("\x89PNG\r\n\x1a\n0000000000000000000000", 30)};
  for (const QByteArray& bytes : cases) {
    View.Messages.clear();
    const QString path = WriteBmp(bytes, QStringLiteral("bad.BMP"));
    EXPECT_FALSE(Road(path));
    EXPECT_EQ(View.Messages,
              QStringList{QStringLiteral("ファイル「") + path + QStringLiteral("」はBMP画像として読み込めませんでした。")});
  }
  EXPECT_TRUE(View.Asked.isEmpty());
  EXPECT_TRUE(View.Msgs.isEmpty());
  EXPECT_EQ(ReadAll(TempGif()), QByteArray("earlier"));
}

TEST_F(BmpToGif, UpTo256ColoursConvertWithoutAsking) {
  const QImage image = WithColours(30, 20, 256, 5);
  ASSERT_TRUE(Road(WriteBmp(BmpBytes(image, 24))));
  EXPECT_TRUE(View.Asked.isEmpty());
  const TDecodedGif gif = DecodeGif(TempGif());
  EXPECT_EQ(gif.Colors.size(), 256);
  QVector<QRgb> decoded;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 30; ++x) decoded.append(gif.Pixel(x, y));
  EXPECT_EQ(decoded, Pixels(image));
  // A small picture reports no progress, only the cleared panel.
  EXPECT_EQ(View.Msgs, (QList<QPair<int, QString>>{{0, QString()}}));
}

TEST_F(BmpToGif, CancelLeavesEverythingAsItWas) {
  WriteAll(TempGif(), "earlier");
  View.Answer = std::nullopt;
  ReduceBits = 4;
  EXPECT_FALSE(Road(WriteBmp(BmpBytes(WithColours(30, 20, 257, 6), 24))));
  EXPECT_EQ(View.Asked, QList<int>{257});
  EXPECT_EQ(ReduceBits, 4);
  EXPECT_TRUE(View.Msgs.isEmpty());
  EXPECT_TRUE(View.Messages.isEmpty());
  EXPECT_EQ(ReadAll(TempGif()), QByteArray("earlier"));
}

TEST_F(BmpToGif, EightBitsShowProgressAndWriteTheReducedPixels) {
  const QImage photo = PhotoLikeImage(400, 300);
  ReduceBits = 1;
  ASSERT_TRUE(Road(WriteBmp(BmpBytes(photo, 24))));
  EXPECT_EQ(ReduceBits, 8);
  ASSERT_EQ(View.Asked.size(), 1);
  EXPECT_GT(View.Asked[0], 10000);

  // Each percentage once: about a hundred texts, not one per report.
  ASSERT_GT(View.Msgs.size(), 50);
  ASSERT_LE(View.Msgs.size(), 102);
  // Rising percentages; the coder's last reports already round to 100, which
  // clears the panel like the writer's final report.
  int last = -1;
  for (int i = 0; i + 1 < View.Msgs.size(); ++i) {
    const QString text = View.Msgs[i].second;
    EXPECT_EQ(View.Msgs[i].first, 0);
    if (text.isEmpty()) {
      last = 100;
      continue;
    }
    ASSERT_LT(last, 100);
    ASSERT_TRUE(text.startsWith("BMP->GIF ") && text.endsWith("% Complete")) << text.toStdString();
    const int percent = text.mid(9, text.indexOf('%') - 9).toInt();
    EXPECT_GE(percent, last);
    last = percent;
  }
  EXPECT_EQ(View.Msgs.back(), (QPair<int, QString>{0, QString()}));

  const QImage expected = ChangePixel(8, photo);
  const TDecodedGif gif = DecodeGif(TempGif());
  ASSERT_EQ(gif.Width, 400);
  for (int y = 0; y < 300; y += 7)
    for (int x = 0; x < 400; ++x) ASSERT_EQ(gif.Pixel(x, y), expected.pixel(x, y));
}

TEST_F(BmpToGif, FourAndOneBitKeepToTheirPalettes) {
  const QString bmp = WriteBmp(BmpBytes(PhotoLikeImage(64, 48), 24));
  View.Answer = 4;
  ASSERT_TRUE(Road(bmp));
  TDecodedGif gif = DecodeGif(TempGif());
  EXPECT_LE(gif.Colors.size(), 16);
  for (unsigned char i : gif.Indices) EXPECT_TRUE(VgaPalette().contains(gif.Colors[i]));

  View.Answer = 1;
  ASSERT_TRUE(Road(bmp));
  EXPECT_EQ(ReduceBits, 1);
  gif = DecodeGif(TempGif());
  EXPECT_EQ(gif.Colors.size(), 2);
  for (unsigned char i : gif.Indices)
    EXPECT_TRUE(gif.Colors[i] == qRgb(0, 0, 0) || gif.Colors[i] == qRgb(255, 255, 255));
}

TEST(BmpToGifMessages, Texts) {
  EXPECT_EQ(GIFImageProgressText(37), QStringLiteral("BMP->GIF 37% Complete"));
  EXPECT_EQ(GIFImageProgressText(100), QString());
  EXPECT_EQ(SaveFailedMessage(4),
            QStringLiteral("Save Failed. Error Code = 4 [Image contains too many Colors (>256)]"));
}

namespace {

// A width x height RLE8 BMP of one colour: tiny on disk, large in memory.
QByteArray LargeRleBmp(int32_t width, int32_t height) {
  QByteArray rle;
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t left = width; left > 0; left -= 255) rle.append(char(std::min(left, 255))).append('\x01');
    rle.append('\0').append('\0');
  }
  rle.append('\0').append('\x01');
  QByteArray bmp = RleBmp().left(54 + 8);
  qToLittleEndian<uint32_t>(uint32_t(bmp.size() + rle.size()), bmp.data() + 2);
  qToLittleEndian<int32_t>(width, bmp.data() + 18);
  qToLittleEndian<int32_t>(height, bmp.data() + 22);
  qToLittleEndian<uint32_t>(uint32_t(rle.size()), bmp.data() + 34);
  return bmp + rle;
}

}  // namespace

TEST_F(BmpToGif, LargePicturesLoadUpToTheBoundAndAreNamedBeyondIt) {
  // 144 MB as 8-bit pixels: more than Qt reads by default (128 MiB).
  QImageReader::setAllocationLimit(kPictureAllocationMiB);
  const QImage large = LoadBMP(WriteBmp(LargeRleBmp(12000, 12000)));
  EXPECT_EQ(large.size(), QSize(12000, 12000));
  EXPECT_EQ(large.pixel(11999, 0) & 0xFFFFFFu, 0xFFFFFFu);

  QString refusal;
  const QString path = WriteBmp(LargeRleBmp(20000, 20000).left(62));
  EXPECT_TRUE(LoadBMP(path, &refusal).isNull());
  EXPECT_EQ(refusal, "20000 x 20000 ピクセルの画像は大きすぎるため表示できません");
  EXPECT_TRUE(LoadBMP(WriteBmp("BMjunk"), &refusal).isNull());
  EXPECT_EQ(refusal, NotReadableAsBmpMessage(WriteBmp("BMjunk")));
}
