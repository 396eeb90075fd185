// Loading pictures through plug-ins: the order of decoders, the padding and
// retry rules, progress, and refusing plug-in output that does not add up.
#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <stdexcept>

#include "PluginTestFiles.h"
#include "plugins/DibConvert.h"
#include "plugins/SPIBmp.h"
#include "plugins/SPIs.h"

namespace {

class SPIBmpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    A = TSPI::Create<TInSPI>(TestSpi("tp_a"));
    Log = LogOf(*A);
  }
  void TearDown() override { TPictureFormats::Instance().UnregisterClass(&TSPIBitmap::Class); }

  // Loads data under a name through plug-in A only.
  void Load(TSPIBitmap& bitmap, const QByteArray& data, const QString& name = "x.tsa") {
    QByteArray copy = data;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    bitmap.SPI = A.get();
    bitmap.LoadFromStreamWithName(buffer, name);
  }
  static QByteArray BmpFile() {
    QImage image(5, 2, QImage::Format_RGB32);
    image.fill(qRgb(10, 20, 30));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
  }

  std::unique_ptr<TInSPI> A;
  TestCallLog* Log = nullptr;
};

}  // namespace

TEST_F(SPIBmpTest, PluginPictureBecomesTheBitmap) {
  TSPIBitmap bitmap;
  Load(bitmap, ScriptData(PictureScript()));
  ASSERT_EQ(bitmap.Image().size(), QSize(4, 3));
  EXPECT_EQ(bitmap.Image().pixel(3, 2), TestTableEntry(0, 7) | 0xFF000000u);
}

TEST_F(SPIBmpTest, ShortDataIsPaddedForTheHeadButNotForTheLength) {
  TSPIBitmap bitmap;
  Load(bitmap, ScriptData(PictureScript(), 0, 100), "/some/dir/x.tsa");
  EXPECT_EQ(Log->HeadZerosFrom, 100);
  EXPECT_EQ(Log->LastLength, 100);
  EXPECT_STREQ(Log->LastName, "/some/dir/x.tsa");
}

TEST_F(SPIBmpTest, DataAcceptedOnlyAt128IsFoundByTheRetry) {
  const QByteArray data = ScriptData(PictureScript(), 128, 3000);
  TSPIBitmap bitmap;
  Load(bitmap, data);
  EXPECT_EQ(bitmap.Image().size(), QSize(4, 3));
  EXPECT_EQ(Log->LastLength, 3000 - 128);

  TSPIBitmap noRetry;
  noRetry.RetrySkip128 = false;
  EXPECT_THROW(Load(noRetry, data), EInvalidGraphic);

  // Exactly 128 bytes: nothing is left to retry on.
  const int before = Log->IsSupportedCalls;
  EXPECT_THROW(Load(noRetry, QByteArray(128, 'x')), EInvalidGraphic);
  TSPIBitmap retry;
  EXPECT_THROW(Load(retry, QByteArray(128, 'x')), EInvalidGraphic);
  EXPECT_EQ(Log->IsSupportedCalls - before, 2);
}

TEST_F(SPIBmpTest, PluginFailingInGetPictureGivesWayToTheNext) {
  TScopedConfig config;
  TSPIs spis;
  spis.Add(CreateSPI(TestSpi("tp_a")));
  spis.Add(CreateSPI(TestSpi("tp_b")));
  TestScript script = PictureScript();
  script.FailMask = 1u << 0;  // A says yes, then fails
  QByteArray data = ScriptData(script);
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  TSPIBitmap bitmap;
  bitmap.LoadFromStreamWithName(buffer, "x.tsa");
  EXPECT_EQ(bitmap.Image().pixel(0, 0), TestTableEntry(1, 7) | 0xFF000000u);  // B's colours
}

TEST_F(SPIBmpTest, OutputThatDoesNotAddUpIsRefused) {
  struct Case {
    const char* what;
    void (*lie)(TestScript&);
  };
  const Case cases[] = {
      {"header block without its colour table", [](TestScript& s) { s.HeaderAlloc = 40; }},
      {"header block shorter than a header", [](TestScript& s) { s.HeaderAlloc = 39; }},
      {"pixel block one byte short", [](TestScript& s) { s.BitsAlloc = 11; }},
      {"negative width", [](TestScript& s) { s.Width = -4; }},
      {"zero height", [](TestScript& s) { s.Height = 0; }},
      {"three colours for one bit", [](TestScript& s) { s.BitCount = 1; s.ClrUsed = 3; }},
      {"300 colours for eight bits", [](TestScript& s) { s.ClrUsed = 300; }},
      {"unknown depth", [](TestScript& s) { s.BitCount = 7; }},
      {"compressed rows", [](TestScript& s) { s.Compression = 1; }},
      {"other header size", [](TestScript& s) { s.BiSize = 108; s.HeaderAlloc = 2000; }},
  };
  for (const Case& c : cases) {
    TestScript script = PictureScript();
    c.lie(script);
    TSPIBitmap bitmap;
    try {
      Load(bitmap, ScriptData(script));
      ADD_FAILURE() << c.what << ": accepted";
    } catch (const EInvalidGraphic& e) {
      EXPECT_EQ(e.message(), "認識できない画像形式です") << c.what;
    }
    EXPECT_TRUE(bitmap.Image().isNull()) << c.what;
  }
}

TEST_F(SPIBmpTest, DepthsAndOrientationsConvert) {
  TestScript four = PictureScript();
  four.BitCount = 4;
  four.Fill = 0x12;
  TSPIBitmap bitmap;
  Load(bitmap, ScriptData(four));
  EXPECT_EQ(bitmap.Image().colorCount(), 256);
  EXPECT_EQ(bitmap.Image().pixel(0, 0), TestTableEntry(0, 1) | 0xFF000000u);
  EXPECT_EQ(bitmap.Image().pixel(1, 0), TestTableEntry(0, 2) | 0xFF000000u);

  TestScript oneColour = PictureScript();
  oneColour.BitCount = 1;
  oneColour.ClrUsed = 1;
  oneColour.Fill = 0xFF;  // every pixel names entry 1, which the table lacks
  Load(bitmap, ScriptData(oneColour));
  EXPECT_EQ(bitmap.Image().pixel(0, 0), qRgb(0, 0, 0));

  TestScript topDown = PictureScript();
  topDown.Height = -3;
  topDown.BitCount = 24;
  topDown.Fill = 0x44;
  Load(bitmap, ScriptData(topDown));
  EXPECT_EQ(bitmap.Image().size(), QSize(4, 3));
  EXPECT_EQ(bitmap.Image().pixel(3, 2), qRgb(0x44, 0x44, 0x44));
}

TEST_F(SPIBmpTest, NativeDecoderFirstOnlyForBmpOrNoName) {
  TSPIBitmap bitmap;
  const int before = Log->IsSupportedCalls;
  Load(bitmap, BmpFile(), "picture.BMP");
  EXPECT_EQ(Log->IsSupportedCalls, before);
  QByteArray data = BmpFile();
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  bitmap.LoadFromStream(buffer);
  EXPECT_EQ(Log->IsSupportedCalls, before);
  EXPECT_EQ(bitmap.Image().pixel(4, 1), qRgb(10, 20, 30));

  Load(bitmap, BmpFile(), "picture.gif");  // plug-in asked first; too short for a retry
  EXPECT_EQ(Log->IsSupportedCalls, before + 1);
  EXPECT_EQ(bitmap.Image().size(), QSize(5, 2));
}

TEST_F(SPIBmpTest, WithoutManagerOrPluginOnlyBmpDecodes) {
  ASSERT_EQ(TSPIs::SPIsInstance, nullptr);
  TSPIBitmap bitmap;
  QByteArray script = ScriptData(PictureScript());
  QBuffer scriptBuffer(&script);
  scriptBuffer.open(QIODevice::ReadOnly);
  EXPECT_THROW(bitmap.LoadFromStreamWithName(scriptBuffer, "x.tsa"), EInvalidGraphic);
  QByteArray bmp = BmpFile();
  QBuffer bmpBuffer(&bmp);
  bmpBuffer.open(QIODevice::ReadOnly);
  bitmap.LoadFromStreamWithName(bmpBuffer, "x.tsa");
  EXPECT_EQ(bitmap.Image().size(), QSize(5, 2));
}

TEST_F(SPIBmpTest, ProgressRunsFromStartToEnd) {
  TSPIBitmap bitmap;
  QStringList reports;
  bitmap.OnProgress = [&](TGraphic& sender, TProgressStage stage, int percent, bool redraw, const QRect&,
                          const QString&) {
    EXPECT_EQ(&sender, &bitmap);
    reports << QString("%1:%2%3").arg(int(stage)).arg(percent).arg(redraw ? "!" : "");
  };
  TestScript script = PictureScript();
  script.ProgressTotal = 10;
  Load(bitmap, ScriptData(script));
  EXPECT_EQ(reports, (QStringList{"0:0", "1:1", "1:50", "1:99", "2:100!"}));

  reports.clear();
  script.ProgressTotal = -1;  // a total of 0
  Load(bitmap, ScriptData(script));
  EXPECT_EQ(reports, (QStringList{"0:0", "1:0", "2:100!"}));
}

TEST_F(SPIBmpTest, ProgressHandlerCanStopOrFail) {
  TSPIBitmap bitmap;
  TestScript script = PictureScript();
  script.ProgressTotal = 10;
  bitmap.OnProgress = [](TGraphic&, TProgressStage stage, int, bool, const QRect&, const QString&) {
    if (stage == TProgressStage::psRunning) throw EAbort();
  };
  EXPECT_THROW(Load(bitmap, ScriptData(script)), EInvalidGraphic);
  EXPECT_EQ(Log->ProgressAnswers[0], 1);

  bitmap.OnProgress = [](TGraphic&, TProgressStage stage, int, bool, const QRect&, const QString&) {
    if (stage == TProgressStage::psRunning) throw std::runtime_error("handler failed");
  };
  EXPECT_THROW(Load(bitmap, ScriptData(script)), std::runtime_error);
  EXPECT_EQ(Log->ProgressAnswers[0], 1);
  EXPECT_EQ(Log->ProgressCalls, 1);
}

TEST_F(SPIBmpTest, LoaderHandsInfoAndBlocksToItsConverter) {
  TSPIBitmap bitmap;
  TInSPIAble loader(&bitmap);
  loader.SPI = A.get();
  TPictureInfoRec seen;
  size_t headerSize = 0, bitsSize = 0;
  loader.OnDIB = [&](const uint8_t*, size_t h, const uint8_t*, size_t b, const TPictureInfoRec& info, bool& done) {
    seen = info;
    headerSize = h;
    bitsSize = b;
    done = true;
  };
  TestScript script = PictureScript();
  script.WithInfoText = 1;
  QByteArray data = ScriptData(script);
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  loader.LoadFromStream(buffer);
  EXPECT_TRUE(seen.Valid);
  EXPECT_EQ(seen.Info, "info");
  EXPECT_EQ(seen.Width, 4);
  EXPECT_EQ(seen.ColorDepth, 8);
  EXPECT_EQ(headerSize, 40u + 4 * 256);
  EXPECT_EQ(bitsSize, 12u);

  // A failing converter: the failure goes on, no other decoder is tried.
  loader.OnDIB = [](const uint8_t*, size_t, const uint8_t*, size_t, const TPictureInfoRec&, bool&) {
    throw std::runtime_error("converter failed");
  };
  buffer.seek(0);
  EXPECT_THROW(loader.LoadFromStream(buffer), std::runtime_error);
}

TEST_F(SPIBmpTest, AssignCopiesOptionsAndPicture) {
  TSPIBitmap source;
  Load(source, ScriptData(PictureScript()));
  source.RetrySkip128 = false;
  TSPIBitmap copy;
  copy.Assign(source);
  EXPECT_EQ(copy.SPI, A.get());
  EXPECT_FALSE(copy.RetrySkip128);
  EXPECT_EQ(copy.Image(), source.Image());
}

TEST(MulDivTest, RoundsAndRefusesZero) {
  EXPECT_EQ(MulDiv(5, 98, 10), 49);
  EXPECT_EQ(MulDiv(1, 98, 3), 33);
  EXPECT_EQ(MulDiv(2, 98, 3), 65);
  EXPECT_EQ(MulDiv(-2, 98, 3), -65);
  EXPECT_EQ(MulDiv(2000000000, 98, 2000000000), 98);
  EXPECT_EQ(MulDiv(1, 2, 0), -1);
}

TEST(PictureFormatsTest, NewestRegistrationWinsWhateverTheCase) {
  TPictureFormats& formats = TPictureFormats::Instance();
  EXPECT_EQ(formats.Find("bmp"), &NativeGraphicClass);
  EXPECT_EQ(formats.Find("JPG"), &NativeGraphicClass);
  EXPECT_EQ(formats.Find("gif"), nullptr);
  formats.Register("BMP", "plug-in bitmaps", &TSPIBitmap::Class);
  EXPECT_EQ(formats.Find("bmp"), &TSPIBitmap::Class);
  EXPECT_EQ(formats.Description("Bmp"), "plug-in bitmaps");
  formats.UnregisterClass(&TSPIBitmap::Class);
  EXPECT_EQ(formats.Find("bmp"), &NativeGraphicClass);
}

TEST_F(SPIBmpTest, PictureLoadsThroughTheRegistry) {
  QTemporaryDir dir;
  const QString path = dir.filePath("pic.TSA");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(ScriptData(PictureScript()));
  file.close();

  TPicture picture;
  try {
    picture.LoadFromFile(path);
    FAIL() << "no error";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.message(), "拡張子 .TSA の画像形式は処理できません");
  }

  TScopedConfig config;
  TSPIs spis;
  spis.Add(CreateSPI(TestSpi("tp_a")));
  int changes = 0;
  picture.OnChange = [&] { ++changes; };
  picture.LoadFromFile(path);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(picture.Image().size(), QSize(4, 3));

  // A failed load keeps the picture shown before.
  EXPECT_THROW(picture.LoadFromFile(dir.filePath("missing.tsa")), EInOutError);
  QFile::resize(path, 10);
  EXPECT_THROW(picture.LoadFromFile(path), EInvalidGraphic);
  EXPECT_EQ(picture.Image().size(), QSize(4, 3));
}

TEST_F(SPIBmpTest, PictureTooLargeToHoldIsRefusedNamingItsSize) {
  const struct {
    int32_t width, height;
    const char* message;
  } cases[] = {{4, 70000, "4 x 70000 ピクセルの画像は大きすぎるため表示できません"},
               {60000, 60000, "60000 x 60000 ピクセルの画像は大きすぎるため表示できません"},
               {16385, 16384, "16385 x 16384 ピクセルの画像は大きすぎるため表示できません"}};
  for (const auto& c : cases) {
    TestScript script = PictureScript();
    script.Width = c.width;
    script.Height = c.height;
    script.BitsAlloc = 16;
    TSPIBitmap bitmap;
    try {
      Load(bitmap, ScriptData(script));
      ADD_FAILURE() << c.message << ": accepted";
    } catch (const EPictureTooLarge& e) {
      EXPECT_EQ(e.message(), c.message);
    }
  }
}

TEST_F(SPIBmpTest, BlocksBreakingTheContractAreNotDecodedNorReadAfterFree) {
  // Each plug-in decodes with a flaw of its own; all but the last are
  // refused, and the sound one behind them still decodes the picture.
  for (const char* name : {"tp_samehandle", "tp_freed", "tp_shortbits"}) {
    auto flawed = TSPI::Create<TInSPI>(TestSpi(name));
    TSPIBitmap bitmap;
    QByteArray data = ScriptData(PictureScript());
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    bitmap.SPI = flawed.get();
    EXPECT_THROW(bitmap.LoadFromStreamWithName(buffer, "x.tsa"), EInvalidGraphic) << name;
    EXPECT_TRUE(bitmap.Image().isNull()) << name;
    TSPIBitmap sound;
    Load(sound, data);
    EXPECT_EQ(sound.Image().size(), QSize(4, 3)) << name;
  }
}
