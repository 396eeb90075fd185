#include <QBuffer>
#include <gtest/gtest.h>

#include "preview/DataBind.h"
#include "preview/PreviewColor.h"

TEST(PreviewColor, StyleSheetAndHintTexts) {
  EXPECT_EQ(BackgroundCss(RGBColor(255, 0, 0)), QByteArray("body { background-color: #FF0000; }"));
  EXPECT_EQ(ColorHintText(RGBColor(255, 0, 0)), QStringLiteral("clRed"));
  EXPECT_EQ(BackgroundCss(RGBColor(1, 2, 3)), QByteArray("body { background-color: #010203; }"));
  EXPECT_EQ(ColorHintText(RGBColor(1, 2, 3)), QStringLiteral("$00030201"));
  EXPECT_EQ(ColorHintText(RGBColor(0, 128, 255)), QStringLiteral("$00FF8000"));
  EXPECT_EQ(BackgroundCss(RGBColor(255, 255, 255)).size(), 35);
  EXPECT_EQ(ColorHintText(RGBColor(192, 192, 192)), QStringLiteral("clSilver"));
}

// A kept hint gives its colour back; a hint text of either language, a
// system colour or a spelling of another program names none.
TEST(PreviewColor, HintTextsReadBack) {
  for (const TColor c : {RGBColor(255, 0, 0), RGBColor(1, 2, 3), RGBColor(0, 128, 255), RGBColor(255, 255, 255),
                         RGBColor(0, 0, 0), RGBColor(192, 192, 192)})
    EXPECT_EQ(ColorFromHintText(ColorHintText(c)), std::optional<TColor>(c)) << ColorHintText(c).toStdString();
  const std::pair<const char*, std::optional<TColor>> cases[] = {
      {"clred", RGBColor(255, 0, 0)}, {" $00FF8000 ", RGBColor(0, 128, 255)}, {"$ff", RGBColor(255, 0, 0)},
      {"", std::nullopt},             {"$01000000", std::nullopt},          {"$80000005", std::nullopt},
      {"$-1", std::nullopt},          {"$0x12", std::nullopt},              {"#FF0000", std::nullopt},
      {"clRedd", std::nullopt},       {"$１２", std::nullopt},
      {"黒背景とかの場合はﾌﾟﾚﾋﾞｭｰ時の背景を黒にしてください。", std::nullopt}};
  for (const auto& [text, colour] : cases) EXPECT_EQ(ColorFromHintText(QString::fromUtf8(text)), colour) << text;
}

TEST(PreviewColor, SystemColoursAreResolvedFirst) {
  const auto resolver = [](int index) { return index == 15 ? RGBColor(0xD4, 0xD0, 0xC8) : 0u; };
  EXPECT_EQ(ChangeHTMLColor(0x8000000F, resolver), QStringLiteral("#D4D0C8"));
  EXPECT_EQ(ChangeHTMLColor(RGBColor(0xAB, 0xCD, 0xEF)), QStringLiteral("#ABCDEF"));
}

TEST(DataBind, BlockRoundTripAndChangeNotice) {
  TBindData a, b;
  int changes = 0;
  b.OnChange = [&] { ++changes; };
  QByteArray source = PreviewTemplate;
  QBuffer in(&source);
  in.open(QIODevice::ReadOnly);
  in.seek(100);  // loading always starts from the beginning
  a.LoadDataFromStream(in);
  b.Assign(a);
  EXPECT_EQ(changes, 1);
  QByteArray out("prefix");
  QBuffer target(&out);
  target.open(QIODevice::ReadWrite);
  target.seek(6);
  b.SaveDataToStream(target);
  EXPECT_EQ(out, QByteArray("prefix") + PreviewTemplate);
}
