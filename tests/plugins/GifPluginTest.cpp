// The GIF plug-in that ships with Tomaru, on GIFs written here with giflib's
// encoder: every displayed pixel must match giflib's own decode.
#include <QFile>
#include <QTemporaryDir>
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "PluginTestFiles.h"
#include "plugins/SPIBmp.h"
#include "plugins/SPIs.h"

namespace {

struct TGifPlan {
  int Width, Height;
  int Colours;        // size of the colour table
  bool Interlaced = false;
  bool LocalOnly = false;
  int Left = 0, Top = 0, ScreenWidth = 0, ScreenHeight = 0;  // a frame smaller than the screen
  int Background = 0;
};

int WriteToArray(GifFileType* gif, const GifByteType* data, int n) {
  static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), n);
  return n;
}

// Colour i of a table: spread over the cube so that neighbours differ.
GifColorType TableColour(int i) {
  return GifColorType{GifByteType(i * 37 % 256), GifByteType(255 - i), GifByteType(i * 91 % 256)};
}

int SourceIndex(int x, int y, int colours) { return (x * 7 + y * 13 + x * y) % colours; }

QByteArray EncodeGif(const TGifPlan& s) {
  QByteArray out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, &WriteToArray, &error);
  EXPECT_TRUE(gif);
  std::vector<GifColorType> colours(size_t(s.Colours));
  for (int i = 0; i < s.Colours; ++i) colours[size_t(i)] = TableColour(i);
  ColorMapObject* map = GifMakeMapObject(s.Colours, colours.data());
  const int screenW = s.ScreenWidth ? s.ScreenWidth : s.Width, screenH = s.ScreenHeight ? s.ScreenHeight : s.Height;
  EGifSetGifVersion(gif, true);
  EXPECT_EQ(EGifPutScreenDesc(gif, screenW, screenH, map->BitsPerPixel, s.Background, s.LocalOnly ? nullptr : map),
            GIF_OK);
  EXPECT_EQ(EGifPutImageDesc(gif, s.Left, s.Top, s.Width, s.Height, s.Interlaced, s.LocalOnly ? map : nullptr),
            GIF_OK);
  std::vector<GifPixelType> line(size_t(s.Width));
  auto putRow = [&](int y) {
    for (int x = 0; x < s.Width; ++x) line[size_t(x)] = GifPixelType(SourceIndex(x, y, s.Colours));
    EXPECT_EQ(EGifPutLine(gif, line.data(), s.Width), GIF_OK);
  };
  if (s.Interlaced) {
    const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
      for (int y = start[pass]; y < s.Height; y += step[pass]) putRow(y);
  } else {
    for (int y = 0; y < s.Height; ++y) putRow(y);
  }
  EXPECT_EQ(EGifCloseFile(gif, &error), GIF_OK);
  GifFreeMapObject(map);
  return out;
}

struct TReadState {
  const QByteArray* Data;
  int Pos;
};
int ReadFromArray(GifFileType* gif, GifByteType* out, int n) {
  auto* st = static_cast<TReadState*>(gif->UserData);
  n = std::min(n, int(st->Data->size()) - st->Pos);
  memcpy(out, st->Data->constData() + st->Pos, size_t(n));
  st->Pos += n;
  return n;
}

// giflib's decode of the first frame, as colours: (x, y) inside the frame.
std::function<QRgb(int, int)> GiflibDecode(const QByteArray& file, int* width, int* height) {
  TReadState st{&file, 0};
  int error = 0;
  GifFileType* gif = DGifOpen(&st, &ReadFromArray, &error);
  EXPECT_TRUE(gif);
  EXPECT_EQ(DGifSlurp(gif), GIF_OK);
  const SavedImage& image = gif->SavedImages[0];
  const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
  *width = image.ImageDesc.Width;
  *height = image.ImageDesc.Height;
  std::vector<QRgb> pixels;
  for (int i = 0; i < *width * *height; ++i) {
    const GifColorType c = map->Colors[image.RasterBits[i]];
    pixels.push_back(qRgb(c.Red, c.Green, c.Blue));
  }
  const int w = *width;
  DGifCloseFile(gif, &error);
  return [pixels, w](int x, int y) { return pixels[size_t(y * w + x)]; };
}

class GifPluginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Spis.Search(QStringLiteral(TOMARU_BIN_DIR "/*.spi"));
    for (int i = 0; i < Spis.Count(); ++i)
      if (Spis.Items(i)->Filters().contains("*.gif")) Gif = Spis.Items(i);
    ASSERT_TRUE(Gif) << "the GIF plug-in is not beside the program";
  }
  void TearDown() override { TPictureFormats::Instance().UnregisterClass(&TSPIBitmap::Class); }

  QString Write(const QString& name, const QByteArray& bytes) {
    const QString path = Dir.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
  }
  QImage Show(const QString& path) {
    TPicture picture;
    picture.LoadFromFile(path);
    return picture.Image();
  }

  TScopedConfig Config;
  QTemporaryDir Dir;
  TSPIs Spis;
  TSPI* Gif = nullptr;
};

}  // namespace

TEST_F(GifPluginTest, DescribesItself) {
  EXPECT_EQ(Gif->APIVersion, "00IN");
  EXPECT_TRUE(Gif->PluginName.startsWith("Tomaru GIF decoder (giflib 5."));
  EXPECT_EQ(Gif->Filters(), QStringList{"*.gif"});
  EXPECT_FALSE(Gif->Descriptions().at(0).isEmpty());
  EXPECT_EQ(TPictureFormats::Instance().Find("GIF"), &TSPIBitmap::Class);
}

TEST_F(GifPluginTest, EveryPixelMatchesGiflib) {
  struct Case {
    const char* name;
    TGifPlan plan;
  };
  const Case cases[] = {
      {"2 colours", {17, 13, 2}},
      {"16 colours", {31, 20, 16}},
      {"256 colours", {64, 40, 256}},
      {"interlaced", {23, 37, 16, true}},
      {"local table only", {19, 11, 8, false, true}},
      {"interlaced, local table, 256", {40, 9, 256, true, true}},
  };
  for (const Case& c : cases) {
    const QByteArray file = EncodeGif(c.plan);
    const QImage shown = Show(Write(QString(c.name) + ".gif", file));
    int w = 0, h = 0;
    const auto expected = GiflibDecode(file, &w, &h);
    ASSERT_EQ(shown.size(), QSize(w, h)) << c.name;
    int mismatches = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        mismatches += shown.pixel(x, y) != expected(x, y);
        // giflib agrees with what was written, so neither side is wrong alike.
        const GifColorType c2 = TableColour(SourceIndex(x, y, c.plan.Colours));
        mismatches += expected(x, y) != qRgb(c2.Red, c2.Green, c2.Blue);
      }
    EXPECT_EQ(mismatches, 0) << c.name;
  }
}

TEST_F(GifPluginTest, FrameSmallerThanTheScreenSitsOnTheBackground) {
  TGifPlan plan{5, 4, 16};
  plan.Left = 3;
  plan.Top = 2;
  plan.ScreenWidth = 10;
  plan.ScreenHeight = 8;
  plan.Background = 9;
  const QImage shown = Show(Write("framed.gif", EncodeGif(plan)));
  ASSERT_EQ(shown.size(), QSize(10, 8));
  const GifColorType bg = TableColour(9);
  EXPECT_EQ(shown.pixel(0, 0), qRgb(bg.Red, bg.Green, bg.Blue));
  EXPECT_EQ(shown.pixel(9, 7), qRgb(bg.Red, bg.Green, bg.Blue));
  const GifColorType inside = TableColour(SourceIndex(1, 1, 16));
  EXPECT_EQ(shown.pixel(4, 3), qRgb(inside.Red, inside.Green, inside.Blue));
}

TEST_F(GifPluginTest, BrokenGifsAreNotDecoded) {
  const QByteArray good = EncodeGif({31, 20, 16});
  const QByteArray broken[] = {
      QByteArray("GIF89a"),
      good.left(13),                        // screen descriptor, then nothing
      good.left(13 + 48 + 10),              // image descriptor, then nothing
      QByteArray(5000, '\x5A'),             // not a GIF at all
  };
  int i = 0;
  for (const QByteArray& bytes : broken) {
    try {
      Show(Write(QString("broken%1.gif").arg(i++), bytes));
      ADD_FAILURE() << "accepted #" << i;
    } catch (const EInvalidGraphic& e) {
      EXPECT_EQ(e.message(), "認識できない画像形式です");
    }
  }
  // Cut short inside the pixel data: what was decoded is shown.
  const QImage part = Show(Write("cut.gif", good.left(good.size() - 40)));
  EXPECT_EQ(part.size(), QSize(31, 20));
}

TEST_F(GifPluginTest, ReportsProgressWhileDecoding) {
  const QString path = Write("progress.gif", EncodeGif({64, 200, 256}));
  TPicture picture;
  std::vector<int> running;
  picture.OnProgress = [&](TGraphic&, TProgressStage stage, int percent, bool, const QRect&, const QString&) {
    if (stage == TProgressStage::psRunning) running.push_back(percent);
  };
  picture.LoadFromFile(path);
  ASSERT_FALSE(running.empty());
  EXPECT_TRUE(std::is_sorted(running.begin(), running.end()));
  EXPECT_GE(running.front(), 1);
  EXPECT_EQ(running.back(), 99);
}

TEST_F(GifPluginTest, AScreenTooLargeToShowGivesWayToTheFrameAndAnEmptyFrameShowsTheScreen) {
  TGifPlan plan{6, 5, 16};
  plan.Left = 40000;
  plan.Top = 30000;
  plan.ScreenWidth = 49173;
  plan.ScreenHeight = 49429;
  const QImage shown = Show(Write("huge-screen.gif", EncodeGif(plan)));
  ASSERT_EQ(shown.size(), QSize(6, 5));
  const GifColorType c = TableColour(SourceIndex(2, 3, 16));
  EXPECT_EQ(shown.pixel(2, 3), qRgb(c.Red, c.Green, c.Blue));

  // A frame of no width on a small screen: the screen's background.
  QByteArray empty = EncodeGif({3, 2, 16});
  const int image = empty.indexOf(char(0x2C), 13 + 48);
  empty[image + 5] = 0;  // width 0
  const QImage bare = Show(Write("empty-frame.gif", empty));
  EXPECT_EQ(bare.size(), QSize(3, 2));
}
