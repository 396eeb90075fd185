#include <gtest/gtest.h>

#include "common/GifFactory.h"
#include "document/GifDocument.h"

namespace {

std::vector<TRgb> Greys(int n) {
  std::vector<TRgb> c;
  for (int i = 0; i < n; ++i) c.push_back({uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)});
  return c;
}

TGifDocument Read(const QByteArray& bytes) {
  TGifDocument doc;
  EXPECT_TRUE(doc.ReadGifHeader(bytes));
  return doc;
}

// The bytes differ from the original at most at the given offsets.
void ExpectOnlyChanged(const QByteArray& before, const QByteArray& after, std::initializer_list<int> allowed) {
  ASSERT_EQ(before.size(), after.size());
  for (int i = 0; i < before.size(); ++i) {
    if (before[i] == after[i]) continue;
    EXPECT_NE(std::find(allowed.begin(), allowed.end(), i), allowed.end()) << "byte " << i << " changed";
  }
}

}  // namespace

TEST(Powered, RepeatedMultiplication) {
  EXPECT_EQ(Powered(2, 8), 256);
  EXPECT_EQ(Powered(2, 1), 2);
  EXPECT_EQ(Powered(3, 0), 1);
  EXPECT_EQ(Powered(3, -2), 1);
}

TEST(ReadGifHeader, FieldsAtTheirOffsetsWhenTheExtensionFollowsTheTable) {
  TGifPlan s;
  s.Width = 300;
  s.Height = 2;
  s.Colors = Greys(256);
  s.GceFlags = 0x09;  // disposal 2, transparent
  s.GceIndex = 5;
  const QByteArray file = MakeGif(s);
  ASSERT_EQ(uint8_t(file[6]), 0x2C);
  ASSERT_EQ(uint8_t(file[7]), 0x01);
  const TGifDocument doc = Read(file);
  EXPECT_EQ(doc.ImageWidth, 300);
  EXPECT_EQ(doc.ImageHeight, 2);
  EXPECT_EQ(doc.ColorCount, 256);
  EXPECT_EQ(doc.GceFlagsOffset, 784);
  EXPECT_EQ(doc.TransparentIndexOffset, 787);
  EXPECT_EQ(doc.PaletteColors[7], RGBColor(7, 248, 3));
  EXPECT_TRUE(doc.LoadedTransparent);
  EXPECT_TRUE(doc.TransparentOn);
  EXPECT_EQ(doc.TransparentIndex, 5);
  EXPECT_EQ(doc.GifData, file);
}

TEST(ReadGifHeader, TwoColourTable) {
  TGifPlan s;
  s.GceFlags = 0x04;
  s.GceIndex = 1;
  QByteArray file = MakeGif(s);
  file[10] = char(0x80);
  const TGifDocument doc = Read(file);
  EXPECT_EQ(doc.ColorCount, 2);
  EXPECT_EQ(doc.GceFlagsOffset, 22);
  EXPECT_EQ(doc.TransparentIndexOffset, 25);
  // Not transparent: the index starts at 0 whatever the byte holds.
  EXPECT_FALSE(doc.LoadedTransparent);
  EXPECT_EQ(doc.LoadedTransIndex, 1);
  EXPECT_EQ(doc.TransparentIndex, 0);
}

TEST(PatchTransparency, RebuildsTheFlagFromTheLoadedByteAndTouchesOnlyTwoBytes) {
  TGifPlan s;
  s.Colors = Greys(16);
  s.GceFlags = 0x09;
  s.GceIndex = 5;
  const QByteArray file = MakeGif(s);
  TGifDocument doc = Read(file);
  const int flag = doc.GceFlagsOffset, index = doc.TransparentIndexOffset;

  QByteArray off = file;
  doc.TransparentOn = false;
  doc.PatchTransparency(off);
  EXPECT_EQ(uint8_t(off[flag]), 0x08);
  EXPECT_EQ(uint8_t(off[index]), 5);
  ExpectOnlyChanged(file, off, {flag});

  QByteArray on = file;
  doc.TransparentOn = true;
  doc.TransparentIndex = 7;
  doc.PatchTransparency(on);
  EXPECT_EQ(uint8_t(on[flag]), 0x09);
  EXPECT_EQ(uint8_t(on[index]), 7);
  ExpectOnlyChanged(file, on, {flag, index});

  // Patching twice gives the second choice alone (the index byte keeps the last "on" value).
  doc.TransparentOn = false;
  doc.PatchTransparency(on);
  EXPECT_EQ(uint8_t(on[flag]), 0x08);
  EXPECT_EQ(uint8_t(on[index]), 7);
}

TEST(PatchTransparency, DisposalBitsSurviveTurningTransparencyOn) {
  TGifPlan s;
  s.GceFlags = 0x04;
  TGifDocument doc = Read(MakeGif(s));
  QByteArray bytes = doc.GifData;
  doc.TransparentOn = true;
  doc.PatchTransparency(bytes);
  EXPECT_EQ(uint8_t(bytes[doc.GceFlagsOffset]), 0x05);
}

TEST(ReadGifHeader, FindsTheExtensionBehindOtherBlocks) {
  TGifPlan s;
  s.Colors = Greys(4);
  s.Netscape = true;
  s.Comment = "made for a test";
  s.GceFlags = 0x01;
  s.GceIndex = 3;
  const QByteArray file = MakeGif(s);
  const TGifDocument doc = Read(file);
  EXPECT_GT(doc.GceFlagsOffset, 16 + 3 * 4);
  EXPECT_EQ(uint8_t(file[doc.GceFlagsOffset - 3]), 0x21);
  EXPECT_EQ(uint8_t(file[doc.GceFlagsOffset - 2]), 0xF9);
  EXPECT_TRUE(doc.LoadedTransparent);
  EXPECT_EQ(doc.TransparentIndex, 3);
  EXPECT_EQ(doc.GifData, file);
}

TEST(ReadGifHeader, InsertsAnExtensionWhenTheFileHasNone) {
  for (bool gif89 : {false, true}) {
    TGifPlan s;
    s.Gif89 = gif89;
    s.Colors = Greys(8);
    s.Pixels = {0, 1, 2, 3, 4, 5, 6, 7, 7, 6, 5, 4};
    const QByteArray file = MakeGif(s);
    TGifDocument doc = Read(file);
    EXPECT_EQ(doc.GifData.size(), file.size() + 8);
    EXPECT_EQ(doc.GifData.left(6), QByteArray("GIF89a"));
    EXPECT_FALSE(doc.LoadedTransparent);
    EXPECT_EQ(doc.GceFlags, 0);
    // Saving it transparent gives a file giflib reads with the same pixels.
    QByteArray saved = doc.GifData;
    doc.TransparentOn = true;
    doc.TransparentIndex = 6;
    doc.PatchTransparency(saved);
    const auto before = DecodeGif(file);
    const auto after = DecodeGif(saved);
    ASSERT_TRUE(before && after);
    EXPECT_EQ(after->Indices, before->Indices);
    EXPECT_EQ(after->TransparentIndex, 6);
  }
}

TEST(ReadGifHeader, LocalTableWhenThereIsNoGlobalOne) {
  TGifPlan s;
  s.LocalTableOnly = true;
  s.Colors = Greys(16);
  s.GceFlags = 0x01;
  s.GceIndex = 9;
  const TGifDocument doc = Read(MakeGif(s));
  EXPECT_EQ(doc.ColorCount, 16);
  EXPECT_EQ(doc.PaletteColors[9], RGBColor(9, 246, 4));
  EXPECT_EQ(doc.TransparentIndex, 9);
}

TEST(ReadGifHeader, PatchedFilesDecodeToTheSamePixels) {
  TGifPlan s;
  s.Width = 17;
  s.Height = 9;
  s.Colors = Greys(32);
  s.Netscape = true;
  s.GceFlags = 0x00;
  for (int i = 0; i < s.Width * s.Height; ++i) s.Pixels.push_back(uint8_t((i * 7) % 32));
  const QByteArray file = MakeGif(s);
  TGifDocument doc = Read(file);
  QByteArray bytes = doc.GifData;
  doc.TransparentOn = true;
  doc.TransparentIndex = 31;
  doc.PatchTransparency(bytes);
  const auto a = DecodeGif(file), b = DecodeGif(bytes);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->Indices, b->Indices);
  EXPECT_EQ(b->TransparentIndex, 31);
}

TEST(ReadGifHeader, RefusesWhatIsNotAPatchableGifAndChangesNothing) {
  TGifPlan s;
  s.GceFlags = 0x01;
  s.GceIndex = 1;
  const QByteArray good = MakeGif(s);
  TGifDocument doc = Read(good);
  const int image = good.indexOf(char(0x2C), 13);
  const struct {
    QByteArray Bytes;
    QString Reason;
  } cases[] = {
      {QByteArray(), QStringLiteral("GIFのシグネチャがありません")},
      {QByteArray("GIF89a"), QStringLiteral("最初の画像の前でファイルが終わっています")},
      {QByteArray("PNG89a") + good.mid(6), QStringLiteral("GIFのシグネチャがありません")},
      {good.left(13 + 6 + 4), QStringLiteral("最初の画像の前でファイルが終わっています")},  // inside the control extension
      {good.left(image + 5), QStringLiteral("最初の画像の前でファイルが終わっています")},    // inside the image descriptor
      {QByteArray(good).replace(image, 1, "\x3B"),
       QStringLiteral("位置 %1 (0x%2) のブロックが壊れています").arg(image).arg(image, 0, 16)},  // trailer before any image
  };
  for (const auto& bad : cases) {
    TGifRefusal why;
    EXPECT_FALSE(ParseGifHeader(bad.Bytes, &why));
    EXPECT_EQ(RefusalReason(why), bad.Reason);
    EXPECT_FALSE(doc.ReadGifHeader(bad.Bytes));
    EXPECT_EQ(doc.GifData, good);
    EXPECT_EQ(doc.TransparentIndex, 1);
  }
}

TEST(ReadGifHeader, AGifWithoutAnyColourTableGetsAGreyTableSizedByItsCodeSize) {
  TGifPlan s;
  s.Colors = {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}, {5, 5, 5}, {6, 6, 6}, {7, 7, 7}, {8, 8, 8}};
  s.GceFlags = 0x00;
  QByteArray file = MakeGif(s);
  file[10] = char(uint8_t(file[10]) & 0x70);  // no global table, and the image has none either
  file.remove(13, 24);
  TGifDocument doc = Read(file);
  ASSERT_EQ(doc.ColorCount, 8);  // giflib's code size for eight colours is 3
  EXPECT_EQ(doc.PaletteColors[7], RGBColor(7, 7, 7));
  EXPECT_EQ(doc.PaletteColors[8], 0u);
  // Its transparency can be set like any other's.
  doc.TransparentOn = true;
  doc.TransparentIndex = 5;
  TGifEdits edits;
  doc.PlanPatch(true, edits);
  const auto decoded = DecodeGif(edits.Apply(doc.GifData));
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->TransparentIndex, 5);
}

TEST(ReadGifHeader, AFirstFrameWithItsOwnTableKeepsNoColourOfTheGlobalOne) {
  // The local table of two entries after a global one of eight: found by the
  // open-road fuzz target, entries 2..7 kept the global colours.
  TGifPlan s;
  s.Colors = {{9, 9, 9}, {250, 250, 250}};
  s.LocalTableOnly = true;
  QByteArray file = MakeGif(s);
  file[10] = char((uint8_t(file[10]) & 0xF8) | 0x82);
  file.insert(13, QByteArray(24, '\x77'));
  const TGifDocument doc = Read(file);
  ASSERT_EQ(doc.ColorCount, 2);
  EXPECT_EQ(doc.PaletteColors[1], RGBColor(250, 250, 250));
  for (int i = 2; i < 256; ++i) EXPECT_EQ(doc.PaletteColors[size_t(i)], 0u) << i;
}
