#include <gtest/gtest.h>

#include "common/TestFiles.h"
#include "common/GifAnimation.h"
#include "choice/Choice.h"
#include "document/GifDocument.h"
#include "document/GifFrames.h"
#include "frames/SavePlan.h"

namespace {

const TRgb kWhite{255, 255, 255}, kBlack{0, 0, 0}, kRed{220, 0, 0}, kBlue{0, 0, 200};
constexpr uint32_t kWhitePixel = 0xFFFFFFFF;
constexpr int W = 8, H = 6;

// White with a 2x2 red square whose top-left corner is at x.
std::vector<uint8_t> SquareAt(int x, uint8_t white = 0, uint8_t red = 2) {
  std::vector<uint8_t> p(W * H, white);
  for (int dy = 0; dy < 2; ++dy)
    for (int dx = 0; dx < 2; ++dx) p[size_t((2 + dy) * W + x + dx)] = red;
  return p;
}

// Full-screen frames of a square moving on white, none disposed: the usual
// editor output, and the one that leaves ghosts once white is transparent.
TAnimPlan MovingSquare() {
  TAnimPlan plan;
  plan.Width = W;
  plan.Height = H;
  plan.Colors = {kWhite, kBlack, kRed, kBlue};
  for (int k = 0; k < 4; ++k) {
    TAnimFrame f;
    f.Pixels = SquareAt(2 * k);
    f.Packed = Packed(1);
    plan.Frames.push_back(f);
  }
  return plan;
}

TGifDocument Opened(const QByteArray& file) {
  TGifDocument doc;
  EXPECT_TRUE(doc.ReadGifHeader(file));
  return doc;
}

// The save with control bytes only, as --patch-only writes it.
struct TPatched {
  QByteArray Data;
  TFramePatchResult Frames;
};

TPatched Patched(const TGifDocument& doc, bool allFrames = true) {
  const TSavePlan plan = PlanSave(doc, allFrames, TFrameRewrite::Never);
  return {plan.Edits.Apply(doc.GifData), plan.Frames};
}

TPatched Choose(const QByteArray& file, uint8_t index, bool allFrames = true) {
  TGifDocument doc = Opened(file);
  doc.TransparentOn = true;
  doc.TransparentIndex = index;
  return Patched(doc, allFrames);
}

// Outside control blocks, inserted control blocks and the version, the saved
// file is the opened one byte for byte.
void ExpectOnlyControlBlocksChanged(const QByteArray& opened, const QByteArray& saved) {
  const TFrameWalk before = WalkGifFrames(opened), after = WalkGifFrames(saved);
  ASSERT_EQ(before.Frames.size(), after.Frames.size());
  QByteArray stripped = saved;
  for (size_t k = after.Frames.size(); k-- > 0;)
    if (before.Frames[k].Gce < 0) {
      ASSERT_EQ(after.Frames[k].Gce + 8, after.Frames[k].Descriptor) << "frame " << k;
      stripped.remove(after.Frames[k].Gce, 8);
    }
  ASSERT_EQ(stripped.size(), opened.size());
  QByteArray masked = opened;
  for (const TGifFrame& f : before.Frames)
    if (f.Gce >= 0) masked[f.Gce + 3] = stripped[f.Gce + 3], masked[f.Gce + 6] = stripped[f.Gce + 6];
  masked.replace(3, 3, stripped.mid(3, 3));
  EXPECT_EQ(stripped, masked);
}

// What a browser shows, frame by frame: where the opened file showed the
// colour the saved one is transparent (but where a frame left alone drew
// it), every other pixel is as it was, so nothing of an earlier frame shows.
void ExpectShownTransparent(const QByteArray& opened, const QByteArray& saved, uint32_t color,
                            const std::vector<int>& leftAlone = {}) {
  const auto before = ComposeFrames(opened), after = ComposeFrames(saved);
  ASSERT_TRUE(before && after);
  ASSERT_EQ(before->Canvases.size(), after->Canvases.size());
  for (size_t k = 0; k < before->Canvases.size(); ++k)
    for (size_t i = 0; i < before->Canvases[k].size(); ++i) {
      const uint32_t was = before->Canvases[k][i], now = after->Canvases[k][i];
      const int painter = after->Painter[k][i];
      const bool drawnByOneLeftAlone =
          std::find(leftAlone.begin(), leftAlone.end(), painter) != leftAlone.end();
      if (was == color && !drawnByOneLeftAlone)
        EXPECT_EQ(now, 0u) << "frame " << k << " pixel " << i;
      else if (was != color)
        EXPECT_EQ(now, was) << "frame " << k << " pixel " << i;
    }
}

int Disposal(const QByteArray& bytes, const TGifFrame& f) { return (uint8_t(bytes[f.Gce + 3]) >> 2) & 7; }

}  // namespace

TEST(FramePatch, FullScreenFramesBecomeTransparentWithoutGhosts) {
  const QByteArray file = MakeAnimation(MovingSquare());
  const TPatched saved = Choose(file, 0);
  EXPECT_EQ(saved.Frames.Frames, 4);
  EXPECT_EQ(saved.Frames.TransparentFrames, 4);
  EXPECT_FALSE(saved.Frames.Damaged);
  EXPECT_EQ(FramesPanelText(saved.Frames), QStringLiteral("透過 4/4 ﾌﾚｰﾑ"));
  ExpectOnlyControlBlocksChanged(file, saved.Data);
  ExpectShownTransparent(file, saved.Data, kWhitePixel);
  // The last frame keeps its disposal: nothing follows it in the loop.
  const TFrameWalk walk = WalkGifFrames(saved.Data);
  EXPECT_EQ(Disposal(saved.Data, walk.Frames[0]), 2);
  EXPECT_EQ(Disposal(saved.Data, walk.Frames[3]), 1);

  // Only the first frame: the single-picture rule, for the user who asks for it.
  const TPatched first = Choose(file, 0, false);
  EXPECT_EQ(first.Frames.TransparentFrames, 1);
  EXPECT_EQ(FramesPanelText(first.Frames), QStringLiteral("透過 1/4 ﾌﾚｰﾑ"));
  const TFrameWalk firstWalk = WalkGifFrames(first.Data);
  EXPECT_EQ(uint8_t(first.Data[firstWalk.Frames[1].Gce + 3]), Packed(1));
}

TEST(FramePatch, FrameDifferenceAnimationsKeepTheirOwnTransparentEntry) {
  // The first frame whole, then only the changed rectangle with entry 3 for
  // "unchanged", as optimisers write them.
  TAnimPlan plan = MovingSquare();
  for (int k = 1; k < 4; ++k) {
    TAnimFrame& f = plan.Frames[size_t(k)];
    f.Left = 2 * k - 2;
    f.Top = 2;
    f.Width = 4;
    f.Height = 2;
    f.Pixels = {0, 0, 2, 2, 0, 0, 2, 2};
    f.Packed = Packed(1, true);
    f.TransparentIndex = 3;
  }
  const QByteArray file = MakeAnimation(plan);
  const TPatched saved = Choose(file, 0);
  EXPECT_EQ(saved.Frames.TransparentFrames, 1);
  ExpectOnlyControlBlocksChanged(file, saved.Data);
  // The white a later frame draws over the vacated square stays: one frame
  // has one transparent entry, and these use theirs.
  ExpectShownTransparent(file, saved.Data, kWhitePixel, {1, 2, 3});
  // Partial frames rely on what is under them: no disposal changes.
  const TFrameWalk walk = WalkGifFrames(saved.Data);
  for (const TGifFrame& f : walk.Frames) EXPECT_EQ(Disposal(saved.Data, f), 1);
}

TEST(FramePatch, EachFrameTakesTheColourInItsOwnTableOrIsLeftAlone) {
  TAnimPlan plan = MovingSquare();
  plan.Colors = {kBlack, kBlue};  // a global table none of the frames uses
  // White at 0, 1, 3 in the local tables; the third frame has none.
  plan.Frames[0].LocalColors = {kWhite, kBlack, kRed, kBlue};
  plan.Frames[1].LocalColors = {kBlack, kWhite, kRed, kBlue};
  plan.Frames[1].Pixels = SquareAt(2, 1, 2);
  plan.Frames[2].LocalColors = {kBlack, kBlue, kRed, kBlack};
  plan.Frames[2].Pixels = SquareAt(4, 1, 2);
  plan.Frames[3].LocalColors = {kBlack, kBlue, kRed, kWhite};
  plan.Frames[3].Pixels = SquareAt(6, 3, 2);
  plan.Frames[1].Packed.reset();  // and one frame without a control block
  const QByteArray file = MakeAnimation(plan);

  const TGifDocument doc = Opened(file);
  EXPECT_EQ(doc.PaletteColors[0], RGBColor(255, 255, 255));  // the first frame's own table
  const TPatched saved = Choose(file, 0);
  EXPECT_EQ(saved.Frames.TransparentFrames, 3);
  ExpectOnlyControlBlocksChanged(file, saved.Data);
  ExpectShownTransparent(file, saved.Data, kWhitePixel);
  const TFrameWalk walk = WalkGifFrames(saved.Data);
  EXPECT_EQ(uint8_t(saved.Data[walk.Frames[1].Gce + 6]), 1);
  EXPECT_EQ(uint8_t(saved.Data[walk.Frames[3].Gce + 6]), 3);
  EXPECT_FALSE(uint8_t(saved.Data[walk.Frames[2].Gce + 3]) & 1);
}

TEST(FramePatch, FramesWithoutControlBlocksGetOneAndNothingAccumulates) {
  TAnimPlan plan = MovingSquare();
  for (TAnimFrame& f : plan.Frames) f.Packed.reset();
  plan.Gif89 = false;
  const QByteArray file = MakeAnimation(plan);
  TGifDocument doc = Opened(file);
  doc.TransparentOn = true;
  doc.TransparentIndex = 2;  // red first, then white: only the last choice counts
  const QByteArray red = Patched(doc).Data;
  doc.TransparentIndex = 0;
  const TPatched white = Patched(doc);
  EXPECT_EQ(white.Data, Choose(file, 0).Data);
  EXPECT_EQ(white.Data.size(), file.size() + 4 * 8);
  EXPECT_TRUE(white.Data.startsWith("GIF89a"));
  ExpectOnlyControlBlocksChanged(file, white.Data);
  ExpectShownTransparent(file, white.Data, kWhitePixel);
  ExpectShownTransparent(file, red, 0xFFDC0000);
  // Off again: the opened file, with the block the first frame got at opening.
  doc.TransparentOn = false;
  EXPECT_EQ(Patched(doc).Data, doc.GifData);
}

TEST(FramePatch, AWalkCutInsideTheThirdFramePatchesTheWholeFramesAndKeepsTheRest) {
  const QByteArray whole = MakeAnimation(MovingSquare());
  const TFrameWalk walk = WalkGifFrames(whole);
  const int cut = walk.Frames[2].Descriptor + 14;  // inside its image data
  const QByteArray file = whole.left(cut);
  const TPatched saved = Choose(file, 0);
  EXPECT_TRUE(saved.Frames.Damaged);
  EXPECT_EQ(saved.Frames.Frames, 2);
  EXPECT_EQ(FramesPanelText(saved.Frames), QStringLiteral("透過 2/2 ﾌﾚｰﾑ 以降破損"));
  ASSERT_EQ(saved.Data.size(), file.size());
  // The second frame's disposal may change: the rest from the third block on is as it was.
  const int tail = walk.Frames[2].Gce;
  EXPECT_EQ(saved.Data.mid(tail), file.mid(tail));
  // The two whole frames show as in the intact file.
  ExpectShownTransparent(whole.left(tail) + "\x3B", saved.Data.left(tail) + "\x3B", kWhitePixel);
}

TEST(FramePatch, AnOldVersionFileWithItsOwnControlBlockSaysGif89a) {
  TGifPlan s;
  s.Gif89 = false;
  s.GceFlags = 0x04;
  const QByteArray file = MakeGif(s);
  ASSERT_TRUE(file.startsWith("GIF87a"));
  const TPatched saved = Choose(file, 1);
  EXPECT_TRUE(saved.Data.startsWith("GIF89a"));
  EXPECT_EQ(saved.Data.size(), file.size());
  EXPECT_EQ(FramesPanelText(saved.Frames), QString());  // a single picture says nothing of frames
}

TEST(FramePatch, LaterFramesWithTheFirstFramesTableTakeTheChosenCopyOfAColour) {
  // White at entries 0 and 3; the pictures are drawn with entry 3.
  TAnimPlan plan = MovingSquare();
  plan.Colors = {kWhite, kBlack, kRed, kWhite};
  for (int k = 0; k < 4; ++k) plan.Frames[size_t(k)].Pixels = SquareAt(2 * k, 3);
  const QByteArray file = MakeAnimation(plan);
  const TPatched saved = Choose(file, 3);
  ExpectShownTransparent(file, saved.Data, kWhitePixel);
}
