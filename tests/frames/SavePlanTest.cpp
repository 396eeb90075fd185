#include <functional>
#include <gtest/gtest.h>

#include "FramePlans.h"
#include "SaveOracle.h"
#include "common/GifAnimation.h"
#include "document/FramesPanel.h"
#include "document/GifFrames.h"
#include "frames/SavePlan.h"

namespace {

// A red square moving over white, one full frame each: the editor's output.
std::vector<TAnimFrame> MovingSquareFrames() {
  std::vector<TAnimFrame> frames;
  for (int k = 0; k < 5; ++k) {
    std::vector<uint8_t> p = Filled(W, H, 0);
    Paint(p, W, 2 * k, 2, 2 * k + 3, 5, 2);
    frames.push_back(Full(p, Packed(1)));
  }
  return frames;
}

// Two identical control blocks before the second image.
QByteArray DoubledControlBlock(QByteArray gif) {
  const TGifFrame second = WalkGifFrames(gif).Frames.at(1);
  gif.insert(second.Gce, gif.mid(second.Gce, 8));
  return gif;
}

struct TCase {
  const char* Name;
  std::function<QByteArray()> Make;
  int Entry;                    // made transparent
  std::vector<int> WrittenAnew;  // frames whose image data must change
  bool PatchAlone;              // the control bytes alone make it right
};

const std::vector<TCase>& Cases() {
  static const std::vector<TCase> cases = {
      {"single picture, colour listed once",
       [] {
         std::vector<uint8_t> p = Filled(W, H, 0);
         Paint(p, W, 3, 3, 6, 6, 1);
         return MakeAnimation(Plan({kWhite, kRed}, {Full(p, Packed(0))}));
       },
       0, {}, true},
      {"full frames of a moving square on the colour",
       [] { return MakeAnimation(Plan({kWhite, kBlack, kRed, kBlue}, MovingSquareFrames())); }, 0, {}, true},
      {"frames stacked on the chosen entry, each adding a pixel",
       [] {
         std::vector<TAnimFrame> frames{Full(Filled(W, H, 0), Packed(1))};
         for (int k = 1; k < 6; ++k) {
           std::vector<uint8_t> p = Filled(W, H, 0);
           p[size_t(k * 13)] = uint8_t(1 + k % 3);
           TAnimFrame f = Full(p, Packed(1, true));
           frames.push_back(f);
         }
         return MakeAnimation(Plan({kWhite, kRed, kBlue, kGreen}, frames));
       },
       0, {}, true},
      {"a partial frame paints the colour over earlier content",
       [] {
         std::vector<uint8_t> p = Filled(W, H, 2);
         Paint(p, W, 0, 0, 4, 4, 1);
         return MakeAnimation(Plan({kWhite, kRed, kBlue}, {Full(p, Packed(1)), Part(2, 2, 4, 3, Filled(4, 3, 0), Packed(1))}));
       },
       0, {1}, false},
      {"copies of black, drawn with several of them",
       [] {
         std::vector<TRgb> colors(26, kBlack);
         colors.insert(colors.end(), {kWhite, kRed});
         std::vector<uint8_t> p = Filled(W, H, 26);
         Paint(p, W, 0, 0, 3, 3, 3);
         Paint(p, W, 5, 0, 8, 3, 17);
         Paint(p, W, 0, 5, 3, 8, 27);
         return MakeAnimation(Plan(colors, {Full(p, Packed(0)), Full(Filled(W, H, 7), Packed(1))}));
       },
       0, {0, 1}, false},
      {"two control blocks before one image",
       [] { return DoubledControlBlock(MakeAnimation(Plan({kWhite, kBlack, kRed, kBlue}, MovingSquareFrames()))); },
       0, {}, true},
      {"87a frames without control blocks",
       [] {
         TAnimPlan plan = Plan({kWhite, kRed, kBlue, kGreen}, MovingSquareFrames());
         plan.Gif89 = false;
         for (TAnimFrame& f : plan.Frames) f.Packed.reset();
         return MakeAnimation(plan);
       },
       0, {}, true},
      {"restore to previous over the colour", [] { return MakeAnimation(DisposedSquares(1, 3, 1)); }, 0, {1, 2}, false},
      {"a local table lacking the colour the frame must repaint",
       [] {
         std::vector<uint8_t> p = Filled(W, H, 2);
         Paint(p, W, 0, 0, 3, 3, 0);
         TAnimFrame second = Part(4, 2, 3, 3, Filled(3, 3, 0), Packed(1));
         second.LocalColors = {kWhite, kGreen};
         return MakeAnimation(Plan({kWhite, kRed, kBlue, kBlack}, {Full(p, Packed(1)), second}));
       },
       0, {1}, false},
      {"interlaced full frame with a local table",
       [] {
         std::vector<uint8_t> p = Filled(W, H, 1);
         Paint(p, W, 0, 0, 12, 4, 2);
         TAnimFrame second = Part(0, 0, W, H, Filled(W, H, 0), Packed(1));
         Paint(second.Pixels, W, 0, 6, 12, 8, 1);
         second.LocalColors = {kWhite, kGreen};
         second.Interlaced = true;
         return MakeAnimation(Plan({kWhite, kRed, kBlue, kBlack}, {Full(p, Packed(1)), second}));
       },
       0, {}, true},
      {"full frames seeing through to the frame before on another entry",
       [] {
         std::vector<uint8_t> first = Filled(W, H, 1);
         Paint(first, W, 0, 0, 4, 4, 0);
         TAnimFrame second = Full(Filled(W, H, 3), Packed(1, true));
         second.TransparentIndex = 3;
         Paint(second.Pixels, W, 6, 2, 9, 5, 0);
         Paint(second.Pixels, W, 0, 6, 2, 8, 2);
         return MakeAnimation(Plan({kWhite, kRed, kBlue, kGreen}, {Full(first, Packed(1)), second}));
       },
       0, {1}, false},
      {"a full frame over a frame restored to the one before",
       [] {
         std::vector<uint8_t> first = Filled(W, H, 1);
         Paint(first, W, 0, 0, 4, 4, 0);
         TAnimFrame second = Full(Filled(W, H, 1), Packed(3));  // its own table, without the colour
         second.LocalColors = {kBlue, kGreen, kBlack, kRed};
         std::vector<uint8_t> third = Filled(W, H, 2);
         Paint(third, W, 8, 4, 12, 8, 0);
         return MakeAnimation(Plan({kWhite, kRed, kBlue, kGreen}, {Full(first, Packed(1)), second, Full(third, Packed(1))}));
       },
       0, {}, true},
      {"a full frame over a partial one cleared to the page, older content beside it",
       [] {
         std::vector<uint8_t> first = Filled(W, H, 1);
         Paint(first, W, 0, 0, 4, 4, 0);
         TAnimFrame second = Part(0, 0, 6, 4, Filled(6, 4, 0), Packed(2));
         second.LocalColors = {kBlue, kGreen, kBlack, kRed};
         std::vector<uint8_t> third = Filled(W, H, 2);
         Paint(third, W, 8, 4, 12, 8, 0);
         return MakeAnimation(Plan({kWhite, kRed, kBlue, kGreen}, {Full(first, Packed(1)), second, Full(third, Packed(1))}));
       },
       0, {1}, false},
  };
  return cases;
}

}  // namespace

TEST(SavePlan, EveryFrameShowsThePictureWithTheColourTransparent) {
  for (const TCase& c : Cases()) {
    SCOPED_TRACE(c.Name);
    const QByteArray file = c.Make();
    const TGifDocument doc = Chosen(file, c.Entry);
    const TSaved saved = Save(doc);
    EXPECT_EQ(CompareWithTarget(doc, saved.Data), "");
    EXPECT_EQ(FramesWrittenAnew(doc.GifData, saved.Data), c.WrittenAnew);
    EXPECT_EQ(saved.Frames.Rewritten, int(c.WrittenAnew.size()));
    EXPECT_EQ(saved.Frames.NotRight, 0);
    // Control bytes only: never any image data, and right exactly where the
    // patch alone suffices.
    const TSaved patched = Save(doc, false);
    EXPECT_EQ(FramesWrittenAnew(doc.GifData, patched.Data), std::vector<int>());
    EXPECT_EQ(CompareWithTarget(doc, patched.Data).empty(), c.PatchAlone);
    EXPECT_EQ(patched.Frames.NotRight == 0, c.PatchAlone);
    // A file the patch alone made exact before is saved as it was.
    const QByteArray before = PlanSave(doc, true, TFrameRewrite::Never).Edits.Apply(doc.GifData);
    if (CompareWithTarget(doc, before).empty()) EXPECT_EQ(saved.Data, before);
    // Every control block of a frame says the same.
    for (const TGifFrame& f : WalkGifFrames(saved.Data).Frames)
      for (const int gce : f.Gces) EXPECT_EQ(saved.Data.mid(gce, 8), saved.Data.mid(f.Gce, 8));
  }
}

TEST(SavePlan, AnOptimisedAnimationBecomesTransparentWherePatchingCannotDoIt) {
  const QByteArray file = GifsicleOptimised(MakeAnimation(Plan({kWhite, kBlack, kRed, kBlue}, MovingSquareFrames())));
  if (file.isEmpty()) GTEST_SKIP() << "gifsicle is not installed";
  const TGifDocument doc = Chosen(file, 0);
  EXPECT_FALSE(CompareWithTarget(doc, Save(doc, false).Data).empty());
  const TSaved saved = Save(doc);
  EXPECT_EQ(CompareWithTarget(doc, saved.Data), "");
  EXPECT_GT(saved.Frames.Rewritten, 0);
  EXPECT_LT(saved.Frames.Rewritten, saved.Frames.Frames);
}

TEST(SavePlan, AFileCutInsideAFrameIsJudgedUpToItAndKeepsTheRest) {
  const QByteArray whole = MakeAnimation(Plan({kWhite, kRed, kBlue}, MovingSquareFrames()));
  const TFrameWalk walk = WalkGifFrames(whole);
  const int cut = walk.Frames[3].Descriptor + 14;
  const TGifDocument doc = Chosen(whole.left(cut), 0);
  const TSaved saved = Save(doc);
  EXPECT_TRUE(saved.Frames.Damaged);
  EXPECT_EQ(saved.Frames.Frames, 3);
  const int tail = cut - walk.Frames[2].End;
  EXPECT_EQ(saved.Data.right(tail), doc.GifData.right(tail));
  // The whole frames before the cut, closed with a trailer, are right.
  const TGifDocument head = Chosen(whole.left(walk.Frames[2].End) + char(0x3B), 0);
  EXPECT_EQ(CompareWithTarget(head, saved.Data.left(saved.Data.size() - tail) + char(0x3B)), "");
}

TEST(SavePlan, APictureThatNeedsMoreThan256ColoursKeepsItsPatchAndSaysSo) {
  // The second frame draws the colour over blue with all 256 entries of its
  // own table: the blue it would have to repaint has no room there.
  std::vector<TRgb> local;
  for (int i = 0; i < 256; ++i) local.push_back({uint8_t(i), 1, 1});
  TAnimPlan plan;
  plan.Width = 32;
  plan.Height = 9;
  plan.Colors = {kWhite, {0, 1, 1}, kBlue};
  plan.Frames.push_back(Full(std::vector<uint8_t>(32 * 9, 2), Packed(1)));
  TAnimFrame second = Part(0, 1, 32, 8, {}, Packed(1));
  for (int i = 0; i < 256; ++i) second.Pixels.push_back(uint8_t(i));
  second.LocalColors = local;
  plan.Frames.push_back(second);
  const TGifDocument doc = Chosen(MakeAnimation(plan), 1);
  const TSaved saved = Save(doc);
  EXPECT_EQ(saved.Frames.NotRight, 1);
  EXPECT_EQ(FramesWrittenAnew(doc.GifData, saved.Data), std::vector<int>());
  EXPECT_TRUE(FramesPanelText(saved.Frames).endsWith(QStringLiteral("(不可 1)")));
}

TEST(SavePlan, AnEntryPastTheTableIsWrittenAsChosenAndNothingElse) {
  std::vector<uint8_t> p = Filled(W, H, 0);
  Paint(p, W, 0, 0, 4, 4, 2);
  const QByteArray file = MakeAnimation(Plan({kWhite, kBlack, kBlack, kRed}, {Full(p, Packed(0)), Full(p, Packed(1))}));
  const TGifDocument doc = Chosen(file, 9);  // black by the document's table, which ends at 4
  const TSaved saved = Save(doc);
  EXPECT_EQ(saved.Frames.Rewritten, 0);
  EXPECT_EQ(saved.Data, PlanSave(doc, false, TFrameRewrite::Never).Edits.Apply(doc.GifData));
}

TEST(SavePlan, FramesPanelCountsRewrittenFramesAndFitsLargeCounts) {
  TFramePatchResult frames;
  frames.Frames = 9999;
  frames.TransparentFrames = 9999;
  frames.Rewritten = 3;
  EXPECT_EQ(FramesPanelText(frames), QStringLiteral("透過 9999/9999 (書換 3)"));
}

// One large frame with the matte: the plan's stop is asked within the first
// frame, and honoured there.
TEST(SavePlan, AStopIsHonouredWithinALargeFrame) {
  std::vector<uint8_t> p = Filled(2000, 1000, 0);
  Paint(p, 2000, 100, 100, 1900, 900, 1);
  TGifDocument doc = Chosen(MakeAnimation(Plan({kWhite, kRed}, {Full(p, Packed(1)), Full(p, Packed(1))}, 2000, 1000)), 0);
  doc.Reach.Matte = RGBColor(0x20, 0x20, 0x20);
  doc.Reach.SoftEdges = true;
  std::vector<int> asked;  // frames judged when a stop was asked
  PlanSave(doc, true, TFrameRewrite::Allowed, [&](int done, int) { return asked.push_back(done), false; });
  EXPECT_EQ(asked, std::vector<int>{0});
}
