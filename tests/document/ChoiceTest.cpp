#include <gtest/gtest.h>

#include "document/Eyedropper.h"
#include "document/SaveName.h"

namespace {

TGifDocument WithPalette(std::initializer_list<TColor> colors) {
  TGifDocument doc;
  int i = 0;
  for (TColor c : colors) doc.PaletteColors[i++] = c;
  doc.ColorCount = i;
  return doc;
}

}  // namespace

TEST(Eyedropper, NearestEntryWithTiesToTheLowestIndex) {
  TGifDocument doc = WithPalette({RGBColor(0, 0, 0), RGBColor(200, 0, 0), RGBColor(10, 10, 10), RGBColor(1, 2, 3),
                                  RGBColor(50, 60, 70), RGBColor(1, 2, 3), RGBColor(255, 255, 255),
                                  RGBColor(10, 10, 30)});
  // Exact matches: the first of two equal entries wins.
  auto m = NearestPaletteEntry(doc, 1, 2, 3);
  EXPECT_EQ(m.Index, 3);
  EXPECT_TRUE(m.Exact);
  EXPECT_EQ(MatchPanelText(m), QStringLiteral("3"));
  // (10,10,20) is 100 from entries 2 and 7: the lower index.
  m = NearestPaletteEntry(doc, 10, 10, 20);
  EXPECT_EQ(m.Index, 2);
  EXPECT_FALSE(m.Exact);
  EXPECT_EQ(MatchPanelText(m), QStringLiteral("*2"));
  m = NearestPaletteEntry(doc, 250, 250, 250);
  EXPECT_EQ(MatchPanelText(m), QStringLiteral("*6"));
  // Entries beyond the colour count are never chosen.
  doc.ColorCount = 2;
  EXPECT_EQ(NearestPaletteEntry(doc, 1, 2, 3).Index, 0);
}

TEST(Eyedropper, DistanceAndHint) {
  EXPECT_EQ(ColorDistance(255, 0, 0, 0, 0, 255), 2 * 255 * 255);
  EXPECT_EQ(ColorDistance(7, 7, 7, 7, 7, 7), 0);
  EXPECT_EQ(PickedColorHint(255, 0, 128), QStringLiteral("R255 G0 B128"));
}

TEST(SaveName, ProposalFollowsWhatWasOpened) {
  const QString temp = QStringLiteral("/opt/tomaru/data/temp.gif");
  // A converted BMP: its own folder and name, as a GIF.
  EXPECT_EQ(ProposedSaveName(temp, temp, QStringLiteral("/img/photo.bmp"), QStringLiteral("/x/old.gif")),
            QStringLiteral("/img/photo.gif"));
  EXPECT_EQ(ProposedSaveName(temp, temp, QStringLiteral("/img/PHOTO.BMP"), QString()), QStringLiteral("/img/PHOTO.gif"));
  EXPECT_EQ(ProposedSaveName(temp, temp, QStringLiteral("/img/a.png"), QString()), QStringLiteral("/img/a.gif"));
  EXPECT_EQ(ProposedSaveName(temp, temp, QStringLiteral("/img/b.Jpeg"), QString()), QStringLiteral("/img/b.gif"));
  // An opened GIF: the same file; only the last extension is replaced.
  EXPECT_EQ(ProposedSaveName(QStringLiteral("/img/logo.gif"), temp, QStringLiteral("/img/logo.gif"), QString()),
            QStringLiteral("/img/logo.gif"));
  EXPECT_EQ(ProposedSaveName(QStringLiteral("/img/a.b.gif"), temp, QStringLiteral("/img/a.b.gif"), QString()),
            QStringLiteral("/img/a.b.gif"));
  // temp.gif itself opened as a GIF: the dialog keeps its name.
  EXPECT_EQ(ProposedSaveName(temp, temp, temp, QStringLiteral("/x/old.gif")), QStringLiteral("/x/old.gif"));
}
