#include <gtest/gtest.h>

#include <random>

#include "reduce/ColorCount.h"
#include "reduce/TestImages.h"

TEST(ColorCount, CountsDistinctColoursExactly) {
  std::mt19937 rng(5);
  QImage image = RandomImage(64, 64, DistinctColors(256), rng);
  for (int i = 0; i < 256; ++i) image.setPixel(i % 64, i / 64, DistinctColors(256)[i]);
  EXPECT_EQ(GetColorCount(image), 256);
  image.setPixel(63, 63, qRgb(1, 2, 3));
  image.setPixel(63, 62, qRgb(1, 2, 3));
  EXPECT_EQ(GetColorCount(image), 257);
  EXPECT_EQ(GetColorCount(PhotoLikeImage(4, 3)), 12);
}

TEST(ColorCount, PaletteImagesCountUsedColoursOnce) {
  QImage image(5, 1, QImage::Format_Indexed8);
  // Entries 0 and 2 are the same colour; entry 3 is never used.
  image.setColorTable({qRgb(9, 9, 9), qRgb(200, 0, 0), qRgb(9, 9, 9), qRgb(0, 0, 255)});
  const uchar pixels[] = {0, 1, 2, 2, 0};
  for (int x = 0; x < 5; ++x) image.setPixel(x, 0, pixels[x]);
  EXPECT_EQ(GetColorCount(image), 2);

  QImage mono(17, 3, QImage::Format_Mono);
  mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
  mono.fill(0);
  EXPECT_EQ(GetColorCount(mono), 1);
  mono.setPixel(16, 2, 1);
  EXPECT_EQ(GetColorCount(mono), 2);
}

TEST(ColorCount, IgnoresTheAlphaByte) {
  QImage image(3, 1, QImage::Format_ARGB32);
  image.setPixel(0, 0, qRgba(10, 20, 30, 0));
  image.setPixel(1, 0, qRgba(10, 20, 30, 128));
  image.setPixel(2, 0, qRgba(10, 20, 30, 255));
  EXPECT_EQ(GetColorCount(image), 1);
}

TEST(ColorCount, SmallAndEmptyImages) {
  QImage one(1, 1, QImage::Format_RGB32);
  one.fill(qRgb(0, 0, 0));
  EXPECT_EQ(GetColorCount(one), 1);
  EXPECT_EQ(GetColorCount(QImage()), 0);
  // Other formats are read through a converted copy.
  QImage rgb16(2, 1, QImage::Format_RGB16);
  rgb16.setPixel(0, 0, qRgb(255, 0, 0));
  rgb16.setPixel(1, 0, qRgb(0, 0, 255));
  EXPECT_EQ(GetColorCount(rgb16), 2);
}
