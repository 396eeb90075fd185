// The conversion road for PNG and JPEG, the palette made for the picture and
// the fixed choices' bytes. Pictures in unusual encodings are made by
// ImageMagick's convert at test time.
#include <QCryptographicHash>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "common/TestFiles.h"
#include "reduce/BmpFiles.h"
#include "reduce/BmpToGif.h"
#include "reduce/GifDecode.h"
#include "reduce/PictureLoader.h"
#include "reduce/Reduction.h"
#include "reduce/TestImages.h"
#include "ConversionRoad.h"

namespace {

// The control block the writer puts after the global colour table.
struct TGce {
  bool Transparent = false;
  int Index = 0;
};
TGce ReadGce(const QByteArray& gif) {
  const int table = 3 << ((uint8_t(gif[10]) & 7) + 1);
  const int at = 13 + table;
  EXPECT_EQ(gif.mid(at, 3), QByteArray("\x21\xF9\x04", 3));
  return {(uint8_t(gif[at + 3]) & 1) != 0, uint8_t(gif[at + 6])};
}

double Psnr(const QImage& a, const TDecodedGif& b) {
  double sum = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.Pixel(x, y);
      for (int shift : {0, 8, 16}) {
        const double d = double((p >> shift) & 255) - double((q >> shift) & 255);
        sum += d * d;
      }
    }
  const double mse = sum / (3.0 * a.width() * a.height());
  return 10 * std::log10(255.0 * 255.0 / std::max(mse, 1e-9));
}

class PictureRoad : public TConversionRoadTest {
 protected:
  void SetUp() override {
    TConversionRoadTest::SetUp();
    View.Answer = ReducePicturePalette;
  }
  QString PathOf(const QString& name) const { return Dir.filePath(name); }
  QString Save(const QImage& image, const QString& name) {
    EXPECT_TRUE(image.save(PathOf(name)));
    return PathOf(name);
  }
  // ImageMagick's convert from a PNG of image into name, with its options.
  QString Convert(const QImage& image, const QStringList& options, const QString& name) {
    const QString source = Save(image, QStringLiteral("source.png"));
    const int rc = QProcess::execute(QStringLiteral("convert"), QStringList{source} + options + QStringList{PathOf(name)});
    EXPECT_EQ(rc, 0) << name.toStdString();
    return PathOf(name);
  }
};

// Some pixels fully see-through, some barely, the rest opaque; few colours.
QImage WithAlpha(int w, int h, int colours) {
  QImage image(w, h, QImage::Format_ARGB32);
  const QVector<QRgb> palette = DistinctColors(colours);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      static const int kAlpha[] = {0, 40, 127, 128, 200, 255, 255, 255};
      const QRgb c = palette[(x * 7 + y * 3) % colours];
      image.setPixel(x, y, qRgba(qRed(c), qGreen(c), qBlue(c), kAlpha[(x + 2 * y) % 8]));
    }
  return image;
}

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

// The fixed palettes are older than PNG input and the picture's own palette:
// their files stay byte for byte what they were.
TEST_F(PictureRoad, FixedChoicesKeepTheirBytes) {
  const QString bmp = PathOf("photo.bmp");
  WriteAll(bmp, BmpBytes(PhotoLikeImage(96, 64, 7), 24));
  // Written by the program before the picture's own palette came.
  const std::pair<int, const char*> cases[] = {{8, "00dfe5d67788c300ed9888aa57233aceaf6ccb70"},
                                               {4, "077b95936c0164954792b7d301866865e6e248f0"},
                                               {1, "35ab7c1800abc792da0da5c9b81f0ac3f5455b6d"}};
  for (const auto& [bits, sha1] : cases) {
    View.Answer = bits;
    ASSERT_TRUE(Road(bmp));
    EXPECT_EQ(QCryptographicHash::hash(ReadAll(TempGif()), QCryptographicHash::Sha1).toHex(), QByteArray(sha1))
        << bits << " bits";
  }
}

TEST_F(PictureRoad, FewColoursConvertExactlyWithoutAsking) {
  std::mt19937 rng(3);
  const QImage image = RandomImage(40, 30, DistinctColors(256), rng);
  for (const char* name : {"few.png", "few.bmp"}) {
    ASSERT_TRUE(Road(Save(image, name))) << name;
    const TDecodedGif gif = DecodeGif(TempGif());
    QVector<QRgb> decoded;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40; ++x) decoded.append(gif.Pixel(x, y));
    EXPECT_EQ(decoded, Pixels(image)) << name;
    EXPECT_FALSE(ReadGce(ReadAll(TempGif())).Transparent);
  }
  EXPECT_TRUE(View.Asked.isEmpty());
}

// Alpha below 128 is one transparent entry, whichever reduction runs; the
// opaque pixels never land on it.
TEST_F(PictureRoad, SeeThroughPixelsBecomeTheTransparentEntry) {
  struct TCase {
    const char* Name;
    QImage Image;
    std::optional<int> Answer;
    bool Dither;
  };
  const QImage few = WithAlpha(33, 21, 255);
  QImage many = PhotoLikeImage(64, 48, 3).convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x)
      if ((x / 8 + y / 8) % 3 == 0) many.setPixel(x, y, qRgba(10, 20, 30, (x * 5) % 128));
  const TCase cases[] = {{"exact", few, std::nullopt, true},
                         {"picture dithered", many, ReducePicturePalette, true},
                         {"picture flat", many, ReducePicturePalette, false},
                         {"fixed 256", many, 8, false},
                         {"fixed 16", many, 4, false},
                         {"fixed 2", many, 1, false}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    View.Answer = c.Answer;
    View.DitherOn = c.Dither;
    ASSERT_TRUE(Road(Save(c.Image, QStringLiteral("alpha.png"))));
    const QByteArray bytes = ReadAll(TempGif());
    const TGce gce = ReadGce(bytes);
    ASSERT_TRUE(gce.Transparent);
    const TDecodedGif gif = DecodeGif(TempGif());
    for (int y = 0; y < c.Image.height(); ++y)
      for (int x = 0; x < c.Image.width(); ++x) {
        const QRgb source = c.Image.pixel(x, y);
        const int index = gif.Indices[size_t(y * c.Image.width() + x)];
        ASSERT_EQ(index == gce.Index, qAlpha(source) < 128) << x << "," << y;
        if (!c.Answer && qAlpha(source) >= 128) ASSERT_EQ(gif.Colors[index], source | 0xFF000000u);
      }
  }
  EXPECT_EQ(View.Asked.size(), 5);
}

TEST_F(PictureRoad, PicturePaletteBeatsTheFixedOneAndKeepsItsSize) {
  const QImage photo = PhotoLikeImage(160, 120, 11);
  const QString png = Save(photo, "photo.png");
  View.Answer = 8;
  ASSERT_TRUE(Road(png));
  const double fixed = Psnr(photo, DecodeGif(TempGif()));
  for (bool dither : {false, true}) {
    View.Answer = ReducePicturePalette;
    View.DitherOn = dither;
    ASSERT_TRUE(Road(png));
    EXPECT_EQ(ReduceBits, ReducePicturePalette);
    const TDecodedGif gif = DecodeGif(TempGif());
    EXPECT_LE(gif.Colors.size(), 256);
    EXPECT_GT(Psnr(photo, gif), fixed + 3) << "dither " << dither;
  }
  // A picture needing few colours gets a small palette: 300 colours, all
  // within one step of 20.
  std::mt19937 rng(5);
  QImage near(50, 40, QImage::Format_RGB32);
  const QVector<QRgb> base = DistinctColors(20);
  for (int i = 0; i < 2000; ++i) {
    const QRgb c = base[i % 20];
    near.setPixel(i % 50, i / 50, qRgb(qRed(c), qGreen(c), (qBlue(c) ^ (i % 15))));
  }
  View.DitherOn = false;
  ASSERT_TRUE(Road(Save(near, "near.png")));
  EXPECT_LT(DecodeGif(TempGif()).Colors.size(), 256);
  // A picture too thin for the sampling grid still gets its palette.
  ASSERT_TRUE(Road(Save(PhotoLikeImage(2, 40000, 4), "thin.png")));
  EXPECT_EQ(DecodeGif(TempGif()).Height, 40000);
}

// Every encoding Qt reads comes out as the same picture, upright.
TEST_F(PictureRoad, ReadsEachEncodingOfAPicture) {
  std::mt19937 rng(9);
  const QImage colour = RandomImage(24, 16, DistinctColors(12), rng);
  QVector<QRgb> greys;
  for (int i = 0; i < 12; ++i) greys.append(qRgb(i * 20, i * 20, i * 20));
  const QImage grey = RandomImage(24, 16, greys, rng);
  struct TCase {
    const char* Name;
    QStringList Options;
    int Tolerance;  // per channel: JPEG is lossy
    bool Grey;      // made from the grey picture
  };
  const TCase cases[] = {{"deep.png", {"-depth", "16"}, 0, false},
                         {"grey.png", {"-colorspace", "Gray"}, 0, true},
                         {"palette.png", {"-type", "Palette"}, 0, false},
                         {"interlaced.png", {"-interlace", "PNG"}, 0, false},
                         {"progressive.jpg", {"-quality", "100", "-interlace", "JPEG"}, 40, false},
                         {"cmyk.jpg", {"-quality", "100", "-colorspace", "CMYK"}, 60, false}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const QImage& image = c.Grey ? grey : colour;
    ASSERT_TRUE(Road(Convert(image, c.Options, QString::fromLatin1(c.Name))));
    const TDecodedGif gif = DecodeGif(TempGif());
    ASSERT_EQ(gif.Width, 24);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 24; ++x) {
        const QRgb want = image.pixel(x, y);
        const QRgb got = gif.Pixel(x, y);
        for (int shift : {0, 8, 16})
          ASSERT_LE(std::abs(int((want >> shift) & 255) - int((got >> shift) & 255)), c.Tolerance)
              << x << "," << y;
      }
  }
  EXPECT_TRUE(View.Messages.isEmpty()) << View.Messages.join("\n").toStdString();
}

// A JPEG whose EXIF says "rotate 90° clockwise" opens turned.
TEST_F(PictureRoad, AppliesExifOrientation) {
  QImage wide(30, 10, QImage::Format_RGB32);
  wide.fill(Qt::white);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 6; ++x) wide.setPixel(x, y, qRgb(0, 0, 0));  // black at the left
  const QString plain = PathOf("plain.jpg");
  ASSERT_TRUE(wide.save(plain, "jpg", 100));
  // APP1 "Exif", a little-endian TIFF header and one IFD entry: orientation 6.
  const QByteArray exif = QByteArray("Exif\0\0II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0\x06\0\0\0\0\0\0\0", 32);
  QByteArray app1("\xFF\xE1", 2);
  app1.append(char(0)).append(char(exif.size() + 2)).append(exif);
  QByteArray jpeg = ReadAll(plain);
  jpeg.insert(2, app1);
  const QString turned = PathOf("turned.jpg");
  WriteAll(turned, jpeg);
  ASSERT_TRUE(Road(turned));
  const TDecodedGif gif = DecodeGif(TempGif());
  ASSERT_EQ(gif.Width, 10);
  ASSERT_EQ(gif.Height, 30);
  EXPECT_LT(qRed(gif.Pixel(5, 2)), 60);    // the black end is now at the top
  EXPECT_GT(qRed(gif.Pixel(5, 27)), 200);
}

// Each damaged file is refused by name, and the last conversion stays.
TEST_F(PictureRoad, RefusesDamagedFilesByName) {
  const QImage photo = PhotoLikeImage(64, 48, 2);
  const QByteArray png = ReadAll(Save(photo, "good.png"));
  ASSERT_TRUE(photo.save(PathOf("good.jpg"), "jpg", 90));
  const QByteArray jpg = ReadAll(PathOf("good.jpg"));
  QByteArray badCrc = png;
  badCrc[png.indexOf("IDAT") + 20] = char(badCrc[png.indexOf("IDAT") + 20] ^ 0x55);
  QByteArray huge = png;  // IHDR claiming 70000 x 70000, with its checksum
  qToBigEndian<quint32>(70000, huge.data() + 16);
  qToBigEndian<quint32>(70000, huge.data() + 20);
  qToBigEndian<quint32>(Crc32(huge.mid(12, 17)), huge.data() + 29);
  struct TCase {
    const char* Name;
    QByteArray Bytes;
    const char* Says;
  };
  const TCase cases[] = {{"cut.png", png.left(png.size() / 2), "PNG"},
                         {"crc.png", badCrc, "PNG"},
                         {"huge.png", huge, "70000 x 70000"},
                         {"cut.jpg", jpg.left(jpg.size() * 2 / 3), "JPEG"},
                         {"text.jpeg", QByteArray("hello, not a picture"), "JPEG"},
                         {"empty.png", QByteArray(), "PNG"}};
  WriteAll(TempGif(), "earlier");
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    View.Messages.clear();
    const QString path = PathOf(QString::fromLatin1(c.Name));
    WriteAll(path, c.Bytes);
    EXPECT_FALSE(Road(path));
    ASSERT_EQ(View.Messages.size(), 1);
    EXPECT_TRUE(View.Messages[0].contains(QString::fromLatin1(c.Says))) << View.Messages[0].toStdString();
    if (QByteArray(c.Name) != "huge.png") EXPECT_TRUE(View.Messages[0].contains(path));
    EXPECT_EQ(ReadAll(TempGif()), QByteArray("earlier"));
  }
  EXPECT_TRUE(View.Asked.isEmpty());
}
