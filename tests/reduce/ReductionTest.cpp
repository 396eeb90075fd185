#include <gtest/gtest.h>

#include <random>

#include "reduce/FixedPalettes.h"
#include "reduce/NearestColor.h"
#include "reduce/Reduction.h"
#include "reduce/TestImages.h"

namespace {

// Grey image whose pixels take the given levels, each levelCount[i] times.
QImage GreyImage(const std::vector<std::pair<int, int>>& levels) {
  int n = 0;
  for (auto [level, count] : levels) n += count;
  QImage image(n, 1, QImage::Format_RGB32);
  int x = 0;
  for (auto [level, count] : levels)
    for (int i = 0; i < count; ++i) image.setPixel(x++, 0, qRgb(level, level, level));
  return image;
}

int Distance2(QRgb a, QRgb b) {
  const int dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
  return dr * dr + dg * dg + db * db;
}

}  // namespace

TEST(Reduction, FixedPalettes) {
  EXPECT_EQ(MonoPalette().size(), 2);
  ASSERT_EQ(VgaPalette().size(), 16);
  for (QRgb c : VgaPalette()) {
    const bool halves = (qRed(c) == 0 || qRed(c) == 128) && (qGreen(c) == 0 || qGreen(c) == 128) &&
                        (qBlue(c) == 0 || qBlue(c) == 128);
    const bool fulls = (qRed(c) == 0 || qRed(c) == 255) && (qGreen(c) == 0 || qGreen(c) == 255) &&
                       (qBlue(c) == 0 || qBlue(c) == 255);
    EXPECT_TRUE(halves || fulls || c == qRgb(192, 192, 192)) << std::hex << c;
  }
  ASSERT_EQ(GeneralPalette().size(), 256);
  // The static system colours hold the ends of the table.
  EXPECT_EQ(GeneralPalette()[8], qRgb(192, 220, 192));
  EXPECT_EQ(GeneralPalette()[246], qRgb(255, 251, 240));
  EXPECT_EQ(GeneralPalette()[255], qRgb(255, 255, 255));
}

TEST(Reduction, NearestColourMatchesAFullSearch) {
  std::mt19937 rng(11);
  for (int bits : {1, 4, 8}) {
    const QVector<QRgb>& palette = bits == 1 ? MonoPalette() : bits == 4 ? VgaPalette() : GeneralPalette();
    for (int i = 0; i < 20000; ++i) {
      const QRgb c = rng() & 0xFFFFFFu;
      int best = 0;
      for (int e = 1; e < palette.size(); ++e)
        if (Distance2(c, palette[e]) < Distance2(c, palette[best])) best = e;
      ASSERT_EQ(NearestColorFor(bits).Index(c), best) << bits << " " << std::hex << c;
    }
  }
}

TEST(Reduction, ChangePixelKeepsFixedPaletteColours) {
  std::mt19937 rng(3);
  // Odd widths make padded rows in every format.
  for (int width : {1, 9, 33}) {
    const QImage vga = RandomImage(width, 5, VgaPalette(), rng);
    const QImage four = ChangePixel(4, vga);
    EXPECT_EQ(four.format(), QImage::Format_Indexed8);
    EXPECT_EQ(four.colorTable(), VgaPalette());
    EXPECT_EQ(Pixels(four), Pixels(vga));
    const QImage general = RandomImage(width, 5, GeneralPalette(), rng);
    EXPECT_EQ(Pixels(ChangePixel(8, general)), Pixels(general));
    const QImage bw = RandomImage(width, 5, MonoPalette(), rng);
    const QImage one = ChangePixel(1, bw);
    EXPECT_EQ(one.format(), QImage::Format_Mono);
    EXPECT_EQ(Pixels(one), Pixels(bw));
  }
}

TEST(Reduction, ChangePixelMapsPhotosOntoThePalette) {
  const QImage photo = PhotoLikeImage(50, 40);
  const QImage eight = ChangePixel(8, photo);
  ASSERT_EQ(eight.size(), photo.size());
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 50; ++x) {
      const QRgb expected = GeneralPalette()[NearestColorFor(8).Index(photo.pixel(x, y))];
      ASSERT_EQ(eight.pixel(x, y), expected);
    }
}

TEST(Reduction, GreyLevelRoundsToNearest) {
  EXPECT_EQ(GreyLevel(qRgb(127, 128, 128)), 128);
  EXPECT_EQ(GreyLevel(qRgb(127, 127, 128)), 127);
  EXPECT_EQ(GreyLevel(qRgb(0, 0, 1)), 0);
  EXPECT_EQ(GreyLevel(qRgb(0, 1, 1)), 1);
  EXPECT_EQ(GreyLevel(qRgb(255, 255, 255)), 255);
}

TEST(Reduction, BandOrThresholdByTheDarkLightRatio) {
  TGreyHistogram h{};
  for (int g : {10, 20, 30}) h[size_t(g)] = 1;
  for (int g = 200; g < 207; ++g) h[size_t(g)] = 1;  // 3 dark, 7 light: 2.33
  EXPECT_TRUE(ChooseWhiteBand(h, 10).Threshold);
  h[207] = 1;  // 3 dark, 8 light: 2.67
  EXPECT_FALSE(ChooseWhiteBand(h, 11).Threshold);
}

TEST(Reduction, BandGrowsFromTheModeUntilHalfThePixels) {
  TGreyHistogram h{};
  h[40] = 6;  // mode, even: the band starts at 40..41
  h[39] = 2;
  h[41] = 1;
  h[60] = 1;
  // half of 10 is 5; the first pass adds 40 and 41 (7), leaving low 39, high 42.
  TWhiteBand band = ChooseWhiteBand(h, 10);
  EXPECT_FALSE(band.Threshold);
  EXPECT_EQ(band.Low, 39);
  EXPECT_EQ(band.High, 42);
  // Odd mode: counted twice in the first pass.
  h = {};
  h[41] = 4;
  h[44] = 3;
  band = ChooseWhiteBand(h, 7);  // half 3.5 goes to 4; 4 + 4 passes it
  EXPECT_EQ(band.Low, 40);
  EXPECT_EQ(band.High, 42);
  // A single pixel: half 0, no pass, band mode..mode|1.
  h = {};
  h[0] = 1;
  band = ChooseWhiteBand(h, 1);
  EXPECT_EQ(band.Low, 0);
  EXPECT_EQ(band.High, 1);
  // 5 pixels: half 2.5 goes to 2.
  h = {};
  h[100] = 2;
  h[90] = 3;
  band = ChooseWhiteBand(h, 5);  // mode 90; first pass 90 + 91 = 3 >= 2
  EXPECT_EQ(band.Low, 89);
  EXPECT_EQ(band.High, 92);
}

TEST(Reduction, CreateBMP_1bitBlackAndWhite) {
  // Balanced tones: split at grey 128.
  const QImage balanced = CreateBMP_1bit(GreyImage({{0, 1}, {127, 1}, {128, 1}, {255, 1}}));
  EXPECT_EQ(balanced.format(), QImage::Format_Mono);
  EXPECT_EQ(Pixels(balanced), (QVector<QRgb>{qRgb(0, 0, 0), qRgb(0, 0, 0), qRgb(255, 255, 255),
                                              qRgb(255, 255, 255)}));
  // Only dark greys: band mode, the mode and its neighbours turn white.
  const QImage dark = CreateBMP_1bit(GreyImage({{50, 5}, {20, 2}, {100, 2}}));
  const QVector<QRgb> p = Pixels(dark);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(p[i], qRgb(255, 255, 255));
  for (int i = 5; i < 9; ++i) EXPECT_EQ(p[i], qRgb(0, 0, 0));
  // 1 x 1: the pixel becomes white.
  EXPECT_EQ(Pixels(CreateBMP_1bit(GreyImage({{77, 1}}))), QVector<QRgb>{qRgb(255, 255, 255)});
}
