// The conversion road for PNG and JPEG and the palette made for the picture.
// Pictures in unusual encodings are made by ImageMagick's convert at test
// time.
#include <QPainter>
#include <QProcess>
#include <QtEndian>
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "common/TestFiles.h"
#include "reduce/BmpFiles.h"
#include "reduce/BmpToGif.h"
#include "reduce/GifDecode.h"
#include "reduce/Reduction.h"
#include "reduce/TestImages.h"
#include "ConversionRoad.h"

namespace {

// The entry the control block after the global colour table marks
// transparent, if any.
std::optional<int> TransparentEntry(const QByteArray& gif) {
  const int at = 13 + (3 << ((uint8_t(gif[10]) & 7) + 1));
  EXPECT_EQ(gif.mid(at, 3), QByteArray("\x21\xF9\x04", 3));
  if (!(uint8_t(gif[at + 3]) & 1)) return std::nullopt;
  return uint8_t(gif[at + 6]);
}

// Over the red, green and blue of every pixel: the largest difference and
// the sum of squares.
std::pair<int, double> Difference(const QImage& a, const TDecodedGif& b) {
  std::pair<int, double> d{0, 0.0};
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      for (int shift : {0, 8, 16}) {
        const int e = int((a.pixel(x, y) >> shift) & 255) - int((b.Pixel(x, y) >> shift) & 255);
        d = {std::max(d.first, std::abs(e)), d.second + double(e) * e};
      }
  return d;
}

double Psnr(const QImage& a, const TDecodedGif& b) {
  const double mse = Difference(a, b).second / (3.0 * a.width() * a.height());
  return 10 * std::log10(255.0 * 255.0 / std::max(mse, 1e-9));
}

class PictureRoad : public TConversionRoadTest {
 protected:
  // ImageMagick's convert from a PNG of image into name, with its options.
  QString Convert(const QImage& image, const QStringList& options, const QString& name) {
    const QStringList arguments = QStringList{Put("source.png", image)} + options + QStringList{Dir.filePath(name)};
    EXPECT_EQ(QProcess::execute(QStringLiteral("convert"), arguments), 0) << name.toStdString();
    return arguments.last();
  }
};

// PNG's chunk checksum.
quint32 Crc32(const QByteArray& bytes) {
  quint32 crc = 0xFFFFFFFFu;
  for (char byte : bytes) {
    crc ^= uint8_t(byte);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

}  // namespace

// Up to 256 colours convert exactly and unasked, the panel only cleared;
// alpha below 128 is one transparent entry whichever reduction runs, and the
// opaque pixels never land on it.
TEST_F(PictureRoad, EachRoadKeepsSeeThroughPixelsApart) {
  std::mt19937 rng(3);
  QImage opaque = RandomImage(40, 30, DistinctColors(256), rng);
  for (int i = 0; i < 256; ++i) opaque.setPixel(i % 40, i / 40, DistinctColors(256)[i]);
  // Some pixels fully see-through, some barely, the rest opaque; few colours.
  QImage few(33, 21, QImage::Format_ARGB32);
  const int alpha[] = {0, 40, 127, 128, 200, 255, 255, 255};
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 33; ++x)
      few.setPixel(x, y, (DistinctColors(255)[(x * 7 + y * 3) % 255] & 0xFFFFFFu) | uint(alpha[(x + 2 * y) % 8]) << 24);
  QImage many = PhotoLikeImage(64, 48, 3).convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x)
      if ((x / 8 + y / 8) % 3 == 0) many.setPixel(x, y, qRgba(10, 20, 30, (x * 5) % 128));
  const std::tuple<const char*, QImage, std::optional<int>, bool> cases[] = {
      {"opaque.png", opaque, std::nullopt, true},          {"opaque.bmp", opaque, std::nullopt, true},
      {"exact.png", few, std::nullopt, true},              {"dithered.png", many, ReducePicturePalette, true},
      {"flat.png", many, ReducePicturePalette, false},     {"fixed8.png", many, 8, false},
      {"fixed4.png", many, 4, false},                      {"fixed1.png", many, 1, false}};
  for (const auto& [name, image, answer, dither] : cases) {
    SCOPED_TRACE(name);
    View.Answer = answer;
    View.DitherOn = dither;
    View.Msgs.clear();
    ASSERT_TRUE(Road(Put(name, image)));
    const std::optional<int> clear = TransparentEntry(ReadAll(TempGif()));
    EXPECT_EQ(bool(clear), image.hasAlphaChannel());
    const TDecodedGif gif = DecodeGif(TempGif());
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const QRgb source = image.pixel(x, y);
        const int index = gif.Indices[size_t(y * image.width() + x)];
        ASSERT_EQ(clear == index, qAlpha(source) < 128) << x << "," << y;
        if (!answer && qAlpha(source) >= 128) ASSERT_EQ(gif.Colors[index], source | 0xFF000000u) << x << "," << y;
      }
    if (!answer) EXPECT_EQ(View.Msgs, (QList<QPair<int, QString>>{{0, QString()}}));
  }
  EXPECT_EQ(View.Asked.size(), 5);
}

TEST_F(PictureRoad, PicturePaletteBeatsTheFixedOneAndKeepsItsSize) {
  const QImage photo = PhotoLikeImage(160, 120, 11);
  const QString png = Put("photo.png", photo);
  View.Answer = 8;
  ASSERT_TRUE(Road(png));
  const double fixed = Psnr(photo, DecodeGif(TempGif()));
  for (bool dither : {false, true}) {
    View.Answer = ReducePicturePalette;
    View.DitherOn = dither;
    ASSERT_TRUE(Road(png));
    EXPECT_EQ(ReduceBits, ReducePicturePalette);
    EXPECT_GT(Psnr(photo, DecodeGif(TempGif())), fixed + 3) << "dither " << dither;
  }
  // A picture needing few colours gets a small palette: 300 colours, all
  // within one step of 20.
  QImage near(50, 40, QImage::Format_RGB32);
  const QVector<QRgb> base = DistinctColors(20);
  for (int i = 0; i < 2000; ++i) near.setPixel(i % 50, i / 50, base[i % 20] ^ uint(i % 15));
  View.DitherOn = false;
  ASSERT_TRUE(Road(Put("near.png", near)));
  EXPECT_LT(DecodeGif(TempGif()).Colors.size(), 256);
  // A picture too thin for the sampling grid still gets its palette.
  ASSERT_TRUE(Road(Put("thin.png", PhotoLikeImage(2, 40000, 4))));
  EXPECT_EQ(DecodeGif(TempGif()).Height, 40000);
}

// Every encoding Qt reads comes out as the same picture, upright.
TEST_F(PictureRoad, ReadsEachEncodingOfAPicture) {
  std::mt19937 rng(9);
  const QImage colour = RandomImage(24, 16, DistinctColors(12), rng);
  QVector<QRgb> greys;
  for (int i = 0; i < 12; ++i) greys.append(qRgb(i * 20, i * 20, i * 20));
  const QImage grey = RandomImage(24, 16, greys, rng);
  // The name, convert's options, the tolerance per channel (JPEG is lossy).
  const std::tuple<const char*, QStringList, int> cases[] = {
      {"deep.png", {"-depth", "16"}, 0},
      {"grey.png", {"-colorspace", "Gray"}, 0},
      {"palette.png", {"-type", "Palette"}, 0},
      {"interlaced.png", {"-interlace", "PNG"}, 0},
      {"progressive.jpg", {"-quality", "100", "-interlace", "JPEG"}, 40},
      {"cmyk.jpg", {"-quality", "100", "-colorspace", "CMYK"}, 60}};
  for (const auto& [name, options, tolerance] : cases) {
    SCOPED_TRACE(name);
    const QImage& image = QByteArray(name).startsWith("grey") ? grey : colour;
    ASSERT_TRUE(Road(Convert(image, options, QString::fromLatin1(name))));
    const TDecodedGif gif = DecodeGif(TempGif());
    ASSERT_EQ(QSize(gif.Width, gif.Height), image.size());
    EXPECT_LE(Difference(image, gif).first, tolerance);
  }
  EXPECT_TRUE(View.Messages.isEmpty()) << View.Messages.join("\n").toStdString();
}

// A JPEG whose EXIF says "rotate 90° clockwise" opens turned.
TEST_F(PictureRoad, AppliesExifOrientation) {
  QImage wide(30, 10, QImage::Format_RGB32);
  wide.fill(Qt::white);
  QPainter(&wide).fillRect(0, 0, 6, 10, Qt::black);  // black at the left
  const QString plain = Put("plain.jpg", wide);
  // APP1 "Exif", a little-endian TIFF header and one IFD entry: orientation 6.
  const QByteArray exif = QByteArray("Exif\0\0II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0\x06\0\0\0\0\0\0\0", 32);
  const QByteArray app1 = QByteArray("\xFF\xE1\0", 3) + char(exif.size() + 2) + exif;
  ASSERT_TRUE(Road(Put("turned.jpg", ReadAll(plain).insert(2, app1))));
  const TDecodedGif gif = DecodeGif(TempGif());
  ASSERT_EQ(gif.Width, 10);
  ASSERT_EQ(gif.Height, 30);
  EXPECT_LT(qRed(gif.Pixel(5, 2)), 60);  // the black end is now at the top
  EXPECT_GT(qRed(gif.Pixel(5, 27)), 200);
}

// Each damaged file is refused with its name and kind, and the last
// conversion stays.
TEST_F(PictureRoad, RefusesDamagedFilesByName) {
  const QImage photo = PhotoLikeImage(64, 48, 2);
  const QByteArray png = ReadAll(Put("good.png", photo)), jpg = ReadAll(Put("good.jpg", photo)),
                   bmp = BmpBytes(photo, 24);
  QByteArray badCrc = png, huge = png, lying = bmp;
  badCrc[png.indexOf("IDAT") + 20] = char(png[png.indexOf("IDAT") + 20] ^ 0x55);
  qToBigEndian<quint32>(70000, huge.data() + 16);  // IHDR claiming 70000 x 70000, with its checksum
  qToBigEndian<quint32>(70000, huge.data() + 20);
  qToBigEndian<quint32>(Crc32(huge.mid(12, 17)), huge.data() + 29);
  lying[23] = char(0x10);  // claims thousands of rows more than it holds
  // The kind each is read as, or the whole text where no file is named.
  const std::tuple<const char*, QByteArray, const char*> cases[] = {
      {"empty.png", QByteArray(), "PNG"},
      {"cut.png", png.left(png.size() / 2), "PNG"},
      {"crc.png", badCrc, "PNG"},
      {"huge.png", huge, "70000 x 70000 ピクセルの画像は大きすぎるため表示できません"},
      {"cut.jpg", jpg.left(jpg.size() * 2 / 3), "JPEG"},
      {"text.jpeg", QByteArray("hello, not a picture"), "JPEG"},
      {"empty.BMP", QByteArray(), "BMP"},
      {"bm.BMP", QByteArray("BM"), "BMP"},
      {"cut.BMP", bmp.left(bmp.size() / 2), "BMP"},
      {"lying.BMP", lying, "BMP"},
      {"rle.BMP", SmallRleBmp().left(64), "BMP"},
      {"png.BMP", QByteArray("\x89PNG\r\n\x1a\n0000000000000000000000", 30), "BMP"}};
  MarkTempGif();
  for (const auto& [name, bytes, says] : cases) {
    SCOPED_TRACE(name);
    View.Messages.clear();
    const QString path = Put(name, bytes), kind = QString::fromUtf8(says);
    EXPECT_FALSE(Road(path));
    ASSERT_EQ(View.Messages.size(), 1);
    const QString whole =
        kind.size() > 4 ? kind : QStringLiteral("ファイル「%1」は%2画像として読み込めませんでした。").arg(path, kind);
    // Only the BMP refusal gives no reason after the text.
    EXPECT_TRUE(kind == "BMP" ? View.Messages[0] == whole : View.Messages[0].contains(whole))
        << View.Messages[0].toStdString();
    EXPECT_TRUE(TempGifKept());
  }
  EXPECT_TRUE(View.Asked.isEmpty());
  EXPECT_TRUE(View.Msgs.isEmpty());
}
