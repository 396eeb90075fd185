#include <QCryptographicHash>
#include <QImageReader>
#include <QtEndian>
#include <gtest/gtest.h>

#include <random>

#include "common/TestFiles.h"
#include "reduce/BmpFiles.h"
#include "reduce/BmpLoader.h"
#include "reduce/BmpToGif.h"
#include "reduce/FixedPalettes.h"
#include "reduce/GifDecode.h"
#include "reduce/TestImages.h"
#include "ConversionRoad.h"
#include "plugins/PictureLimits.h"

namespace {

using BmpToGif = TConversionRoadTest;

QImage WithColours(int width, int height, int colours, uint32_t seed) {
  std::mt19937 rng(seed);
  QImage image = RandomImage(width, height, DistinctColors(colours), rng);
  for (int i = 0; i < colours; ++i) image.setPixel(i % width, i / width, DistinctColors(colours)[i]);
  return image;
}

}  // namespace

TEST_F(BmpToGif, LoadsEveryDepthRowOrderAndRunLengthCoding) {
  const QImage mono = WithColours(13, 5, 2, 1), sixteen = WithColours(11, 7, 16, 2),
               many = WithColours(10, 6, 60, 3);
  const std::pair<QImage, int> cases[] = {{mono, 1}, {sixteen, 4}, {many, 8}, {many, 24}, {many, 32}};
  for (const auto& [image, bits] : cases)
    for (bool topDown : {false, true}) {
      SCOPED_TRACE(::testing::Message() << bits << " bits, top-down " << topDown);
      const QImage loaded = LoadBMP(Put("in.bmp", BmpBytes(image, bits, topDown)));
      ASSERT_FALSE(loaded.isNull());
      EXPECT_EQ(Pixels(loaded), Pixels(image));
    }
  const QImage rle = LoadBMP(Put("rle.bmp", SmallRleBmp()));
  ASSERT_FALSE(rle.isNull());
  EXPECT_EQ(rle.pixel(0, 0) & 0xFFFFFFu, 0x0000FFu);
  EXPECT_EQ(rle.pixel(3, 0) & 0xFFFFFFu, 0xFFFFFFu);
  EXPECT_EQ(rle.pixel(0, 1) & 0xFFFFFFu, 0xFFFFFFu);
}

TEST_F(BmpToGif, CancelLeavesEverythingAsItWas) {
  MarkTempGif();
  View.Answer = std::nullopt;
  ReduceBits = 4;
  EXPECT_FALSE(Road(Put("in.bmp", BmpBytes(WithColours(30, 20, 257, 6), 24))));
  EXPECT_EQ(View.Asked, QList<int>{257});
  EXPECT_EQ(ReduceBits, 4);
  EXPECT_TRUE(View.Msgs.isEmpty());
  EXPECT_TRUE(View.Messages.isEmpty());
  EXPECT_TRUE(TempGifKept());
}

// The dialog and the progress name the picture's own format, by its name.
TEST_F(BmpToGif, ShowsEachPercentageOnceWhileReducing) {
  const QImage photo = PhotoLikeImage(400, 300);
  const std::pair<QString, QString> cases[] = {{Put("in.bmp", BmpBytes(photo, 24)), "BMP"},
                                               {Put("in.png", photo), "PNG"},
                                               {Put("in.JPG", photo), "JPEG"},
                                               {Put("in.jpeg", photo), "JPEG"}};
  for (const auto& [path, format] : cases) {
    SCOPED_TRACE(path.toStdString());
    View.Msgs.clear();
    View.AskedFormats.clear();
    ASSERT_TRUE(Road(path));
    EXPECT_EQ(View.AskedFormats, QStringList{format});
    // About a hundred texts, not one per report, rising; the coder's last
    // reports already round to 100, which clears the panel like the writer's
    // final report.
    ASSERT_GT(View.Msgs.size(), 50);
    ASSERT_LE(View.Msgs.size(), 102);
    const QString prefix = format + QStringLiteral("->GIF ");
    int last = -1;
    for (const auto& [index, text] : View.Msgs) {
      EXPECT_EQ(index, 0);
      if (text.isEmpty()) {
        last = 100;
        continue;
      }
      ASSERT_LT(last, 100);
      ASSERT_TRUE(text.startsWith(prefix) && text.endsWith("% Complete")) << text.toStdString();
      const int percent = text.mid(prefix.size(), text.indexOf('%') - prefix.size()).toInt();
      EXPECT_GE(percent, last);
      last = percent;
    }
    EXPECT_EQ(View.Msgs.back(), (QPair<int, QString>{0, QString()}));
  }
}

// Each fixed choice keeps to its palette, and its files stay byte for byte
// what the program wrote before the picture's own palette came.
TEST_F(BmpToGif, FixedChoicesKeepTheirPalettesAndBytes) {
  const QString bmp = Put("photo.bmp", BmpBytes(PhotoLikeImage(96, 64, 7), 24));
  const std::tuple<int, const char*, QVector<QRgb>> cases[] = {
      {8, "00dfe5d67788c300ed9888aa57233aceaf6ccb70", GeneralPalette()},
      {4, "077b95936c0164954792b7d301866865e6e248f0", VgaPalette()},
      {1, "35ab7c1800abc792da0da5c9b81f0ac3f5455b6d", MonoPalette()}};
  for (const auto& [bits, sha1, palette] : cases) {
    SCOPED_TRACE(bits);
    View.Answer = bits;
    ASSERT_TRUE(Road(bmp));
    EXPECT_EQ(ReduceBits, bits);
    EXPECT_EQ(QCryptographicHash::hash(ReadAll(TempGif()), QCryptographicHash::Sha1).toHex(), QByteArray(sha1));
    const TDecodedGif gif = DecodeGif(TempGif());
    EXPECT_LE(gif.Colors.size(), 1 << bits);
    for (QRgb c : gif.AllPixels()) ASSERT_TRUE(palette.contains(c)) << std::hex << c;
  }
}

TEST(BmpToGifMessages, SaveFailed) {
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
  return RleBmp(width, height, rle.append('\0').append('\x01'));
}

}  // namespace

TEST_F(BmpToGif, LargePicturesLoadUpToTheBoundAndAreNamedBeyondIt) {
  // 144 MB as 8-bit pixels: more than Qt reads by default (128 MiB).
  QImageReader::setAllocationLimit(kPictureAllocationMiB);
  const QImage large = LoadBMP(Put("large.bmp", LargeRleBmp(12000, 12000)));
  EXPECT_EQ(large.size(), QSize(12000, 12000));
  EXPECT_EQ(large.pixel(11999, 0) & 0xFFFFFFu, 0xFFFFFFu);

  QString refusal;
  EXPECT_TRUE(LoadBMP(Put("huge.bmp", LargeRleBmp(20000, 20000).left(62)), &refusal).isNull());
  EXPECT_EQ(refusal, "20000 x 20000 ピクセルの画像は大きすぎるため表示できません");
  const QString junk = Put("junk.bmp", "BMjunk");
  EXPECT_TRUE(LoadBMP(junk, &refusal).isNull());
  EXPECT_EQ(refusal, NotReadableAsBmpMessage(junk));
}
