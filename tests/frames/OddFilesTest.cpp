// Odd but valid GIFs, built at test time: each saved with the default save
// and with control bytes only, and every frame judged by the tests' own
// compositor, in both readings of several control blocks before one image.
#include <functional>
#include <gtest/gtest.h>

#include "FramePlans.h"
#include "SaveOracle.h"
#include "common/GifAnimation.h"
#include "common/OddGifs.h"
#include "document/FramesPanel.h"
#include "document/GifFrames.h"
#include "frames/OutFrame.h"
#include "frames/SavePlan.h"

namespace {

// Red over white, then a partial frame painting white (the colour chosen)
// over the red, and a blue one beside it: the second must be written anew.
TAnimPlan PaintsTheColourOverRed() {
  std::vector<uint8_t> first = Filled(W, H, 1);
  Paint(first, W, 0, 0, 4, 4, 0);
  return Plan({kWhite, kRed, kBlue, kGreen}, {Full(first, Packed(1)), Part(2, 2, 4, 3, Filled(4, 3, 0), Packed(1)),
                                               Part(8, 4, 2, 2, Filled(2, 2, 2), Packed(1))});
}

// The second frame instead one pixel of white at (x, y) drawn with a full
// table of its own, transparent on another entry.
TAnimPlan DotOnTheColourOverRed(int x, int y) {
  TAnimPlan plan = PaintsTheColourOverRed();
  TAnimFrame& dot = plan.Frames[1] = Part(x, y, 1, 1, {17}, Packed(1, true));
  dot.TransparentIndex = 200;
  for (int i = 0; i < 256; ++i) dot.LocalColors.push_back(i == 17 ? kWhite : TRgb{uint8_t(i), 40, 40});
  return plan;
}

// The same frames on a screen of w x h, the first as large as before.
TAnimPlan OnAScreenOf(int w, int h) {
  TAnimPlan plan = PaintsTheColourOverRed();
  plan.Width = w, plan.Height = h;
  plan.Frames[0] = Part(0, 0, W, H, plan.Frames[0].Pixels, Packed(1));
  return plan;
}

// Pixels whose indices lie past their table keep them in the saved file.
std::string PastTableIndicesKept(const QByteArray& opened, const QByteArray& saved) {
  const std::vector<TRaster> before = Rasters(opened), after = Rasters(saved);
  for (size_t k = 0; k < std::min(before.size(), after.size()); ++k) {
    const TRaster &b = before[k], &a = after[k];
    for (int y = b.Rect.Top; y < b.Rect.Bottom; ++y)
      for (int x = b.Rect.Left; x < b.Rect.Right; ++x) {
        const int was = b.Indices[size_t(y - b.Rect.Top) * b.Rect.Width() + (x - b.Rect.Left)];
        if (was < b.Colors || !a.Rect.Contains(x, y)) continue;
        const int now = a.Indices[size_t(y - a.Rect.Top) * a.Rect.Width() + (x - a.Rect.Left)];
        if (now != was)
          return "frame " + std::to_string(k) + " pixel (" + std::to_string(x) + "," + std::to_string(y) + ") was " +
                 std::to_string(was) + ", now " + std::to_string(now);
      }
  }
  return {};
}

struct TOddCase {
  const char* Name;
  std::function<QByteArray()> Make;
  bool PatchAlone;                   // control bytes alone make it right
  int DamagedFrom = -1;              // first frame whose image data is damaged
  bool Rewritable = true;            // the default save makes it right
};

const std::vector<TOddCase>& OddCases() {
  static const std::vector<TOddCase> cases = {
      {"a table shorter than the indices its frames use",
       [] {
         TAnimPlan plan = PaintsTheColourOverRed();
         plan.Colors.resize(16, kBlack);
         Paint(plan.Frames[0].Pixels, W, 6, 6, 12, 8, 13);
         // Over the colour chosen, where nothing is left to paint.
         plan.Frames[1].Pixels[4] = 13, plan.Frames[1].Pixels[5] = 9;
         return ShortenGlobalTable(MakeAnimation(plan), 2);
       },
       false},
      {"an index past a short table where the frame must paint",
       [] {
         TAnimPlan plan = PaintsTheColourOverRed();
         plan.Colors.resize(16, kBlack);
         plan.Frames[1].Pixels[11] = 9;  // over red
         return ShortenGlobalTable(MakeAnimation(plan), 2);
       },
       false, -1, false},
      {"two control blocks, the second with its own user-input and reserved bits and delay",
       [] {
         return SecondControlBlocks(MakeAnimation(PaintsTheColourOverRed()), [](QByteArray& b) {
           b[3] = char(uint8_t(b[3]) | 0xE2);
           b[4] = 7;
         });
       },
       false},
      {"two control blocks, the second saying transparent on another entry and cleared",
       [] {
         return SecondControlBlocks(MakeAnimation(PaintsTheColourOverRed()), [](QByteArray& b) {
           b[3] = char(Packed(2, true));
           b[6] = 3;
         });
       },
       false},
      {"a 1 x 1 frame whose second control block makes its index 151 transparent",
       [] {
         TAnimPlan plan = PaintsTheColourOverRed();
         plan.Colors.resize(256, kBlue), plan.Frames = {plan.Frames[0], Part(6, 6, 1, 1, {151}, Packed(1))};
         return SecondControlBlocks(MakeAnimation(plan), [](QByteArray& b) { b[3] = char(Packed(1, true)), b[6] = char(151); });
       },
       true},
      {"a first frame reaching past the screen", [] { return MakeAnimation(OnAScreenOf(8, 5)); }, false},
      {"a 0 x 0 screen", [] { return MakeAnimation(OnAScreenOf(0, 0)); }, false},
      {"a 0 x 0 frame, drawing nothing, between others",
       [] {
         TAnimPlan plan = PaintsTheColourOverRed();
         plan.Frames.insert(plan.Frames.begin() + 2, Part(3, 3, 1, 1, {2}, Packed(2)));
         QByteArray gif = MakeAnimation(plan);
         return gif.replace(WalkGifFrames(gif).Frames.at(2).Descriptor + 5, 4, QByteArray(4, 0));
       },
       false},
      {"a last frame wholly off the screen, at (65535, 65535)",
       [] {
         TAnimPlan plan = PaintsTheColourOverRed();
         return plan.Frames[2].Left = plan.Frames[2].Top = 65535, MakeAnimation(plan);
       },
       false},
      {"a 0 x 0 screen and full frames",
       [] {
         std::vector<uint8_t> p = Filled(W, H, 1);
         Paint(p, W, 0, 0, 4, 4, 0);
         TAnimPlan plan = Plan({kWhite, kRed, kBlue, kGreen}, {Part(0, 0, W, H, p, Packed(2)), Part(0, 0, W, H, p, Packed(2))}, 0, 0);
         return MakeAnimation(plan);
       },
       true},
      {"disposal 4 restores the previous picture", [] { return MakeAnimation(DisposedSquares(1, 4, 1)); }, false},
      {"disposals 5 to 7 keep the frame", [] { return MakeAnimation(DisposedSquares(5, 6, 7)); }, false},
      {"image data damaged inside a frame",
       [] { return DamageImageData(MakeAnimation(PaintsTheColourOverRed()), 2); }, false, 2},
      {"image data damaged inside a full frame",
       [] {
         std::vector<TAnimFrame> frames;
         for (int k = 0; k < 4; ++k) {
           std::vector<uint8_t> p = Filled(W, H, 0);
           Paint(p, W, 2 * k, 2, 2 * k + 3, 5, 1);
           frames.push_back(Full(p, Packed(2)));
         }
         return DamageImageData(MakeAnimation(Plan({kWhite, kRed, kBlue, kGreen}, frames)), 2);
       },
       true, 2},
      {"no colour table at all",
       [] {
         TAnimPlan plan = PaintsTheColourOverRed();
         plan.Frames.pop_back();
         plan.Frames[1].Packed = Packed(1);
         plan.Frames[1].Pixels = Filled(4, 3, 2);
         return WithoutGlobalTable(MakeAnimation(plan));
       },
       true},
      {"a huge screen whose frames are small, near its corner",
       [] {
         TAnimPlan plan = PaintsTheColourOverRed();
         plan.Width = 49173, plan.Height = 49429;
         for (TAnimFrame& f : plan.Frames) {
           if (!f.Width) f.Width = W, f.Height = H;
           f.Left += 49173 - W, f.Top += 49429 - H;
         }
         return MakeAnimation(plan);
       },
       false},
      {"a full local table first, then partial frames on a full global table",
       [] {
         // 240 colours in the first frame, its table full; the second draws
         // the colour chosen from its global table, transparent elsewhere.
         std::vector<TRgb> local, global;
         for (int i = 0; i < 256; ++i) local.push_back({uint8_t(i), 100, 50}), global.push_back({uint8_t(i), 7, 200});
         global[5] = local[0];
         TAnimFrame first = Part(0, 0, 16, 16, {}, Packed(1));
         for (int i = 0; i < 256; ++i) first.Pixels.push_back(uint8_t(i % 240));
         first.LocalColors = local;
         TAnimFrame second = Part(4, 4, 4, 4, Filled(4, 4, 255), Packed(1, true));
         second.TransparentIndex = 255;
         second.Pixels[5] = 5, second.Pixels[6] = 9;
         return MakeAnimation(Plan(global, {first, second}, 16, 16));
       },
       false},
      {"a local table mostly unused that lacks what the frame must repaint",
       [] {
         std::vector<TRgb> global, local;
         for (int i = 0; i < 256; ++i) global.push_back({uint8_t(i), 30, 90});
         for (int i = 0; i < 128; ++i) local.push_back({uint8_t(i), 220, 10});
         local[3] = global[0];
         TAnimFrame first = Part(0, 0, 16, 16, {}, Packed(1));
         for (int i = 0; i < 256; ++i) first.Pixels.push_back(uint8_t(i % 200));
         TAnimFrame second = Part(5, 5, 2, 2, Filled(2, 2, 3), Packed(1, true));
         second.TransparentIndex = 100;
         second.LocalColors = local;
         return MakeAnimation(Plan(global, {first, second}, 16, 16));
       },
       false},
      {"a 1 x 1 frame of only the colour chosen, its own full table transparent elsewhere",
       // As gifsicle -O2 and -O3 leave a frame that changes nothing.
       [] { return MakeAnimation(DotOnTheColourOverRed(1, 1)); }, false},
      {"a 1 x 1 frame turning red to the colour chosen, its own full table lacking red",
       [] { return MakeAnimation(DotOnTheColourOverRed(6, 6)); }, false},
      {"a dot of the colour over one of twelve tiles of 256 colours each: the screen cleared under it cannot be painted again",
       [] {
         // The dot can only turn transparent with the full-screen frame
         // before it cleared, which leaves 3072 colours to paint in one frame.
         TAnimPlan plan = Plan({kWhite, kBlack}, {Full(Filled(64, 48, 0), Packed(1))}, 64, 48);
         for (int k = 0; k < 12; ++k) {
           TAnimFrame tile = Part(k % 4 * 16, k / 4 * 16, 16, 16, {}, Packed(1));
           for (int i = 0; i < 256; ++i) tile.Pixels.push_back(uint8_t(i)), tile.LocalColors.push_back({uint8_t(k * 20), uint8_t(i), 9});
           plan.Frames.push_back(tile);
         }
         TAnimFrame clear = Full(Filled(64, 48, 1), Packed(1, true));
         clear.TransparentIndex = 1;
         plan.Frames.push_back(clear);
         plan.Frames.push_back(Part(0, 0, 1, 1, {0}, Packed(1)));
         return MakeAnimation(plan);
       },
       false, -1, false},
  };
  return cases;
}

bool Named(const TFramePatchResult& r) { return r.NotRight > 0 || r.UndecodedFrom >= 0 || r.TooLargeToJudge; }

}  // namespace

TEST(OddFiles, EverySaveReadsBackAndIsRightInEitherReadingOrSaysWhy) {
  for (const TOddCase& c : OddCases()) {
    SCOPED_TRACE(c.Name);
    const QByteArray file = c.Make();
    const TGifDocument doc = Chosen(file, 0);
    ASSERT_TRUE(doc.GifData.size() > 0);
    for (const bool rewrite : {true, false}) {
      SCOPED_TRACE(rewrite ? "default save" : "control bytes only");
      const TSaved saved = Save(doc, rewrite);
      EXPECT_EQ(saved.Frames.UndecodedFrom, c.DamagedFrom);
      EXPECT_FALSE(saved.Frames.TooLargeToJudge);
      if (c.DamagedFrom >= 0) {
        // Named as damaged, and right up to the damage where frames may be written.
        EXPECT_TRUE(FramesPanelText(saved.Frames).contains(QStringLiteral("破損")));
        EXPECT_EQ(saved.Frames.NotRight > 0, !rewrite && !c.PatchAlone);
        const int cut = WalkGifFrames(saved.Data).Frames.at(size_t(c.DamagedFrom)).Descriptor;
        const int openedCut = WalkGifFrames(doc.GifData).Frames.at(size_t(c.DamagedFrom)).Descriptor;
        for (const int k : FramesWrittenAnew(doc.GifData, saved.Data)) EXPECT_LT(k, c.DamagedFrom);
        if (rewrite) {
          EXPECT_EQ(CompareWithTarget(Chosen(doc.GifData.left(openedCut) + char(0x3B), 0),
                                      saved.Data.left(cut) + char(0x3B)),
                    "");
        }
        continue;
      }
      const auto composed = ComposeFrames(saved.Data);
      ASSERT_TRUE(composed.has_value()) << "the saved file cannot be read back";
      EXPECT_EQ(int(composed->Canvases.size()), saved.Frames.Frames);
      EXPECT_EQ(PastTableIndicesKept(doc.GifData, saved.Data), "");
      for (const TControlReading reading : {TControlReading::First, TControlReading::Last}) {
        SCOPED_TRACE(reading == TControlReading::First ? "first block honoured" : "last block honoured");
        const std::string wrong = CompareWithTarget(doc, saved.Data, reading);
        EXPECT_EQ(wrong.empty(), rewrite ? c.Rewritable : c.PatchAlone) << wrong;
        // Named exactly when not right.
        EXPECT_EQ(Named(saved.Frames), !wrong.empty());
      }
      // Every control block of a frame says the same about transparency and
      // disposal, and keeps its own user-input and reserved bits.
      const std::vector<TGifFrame> opened = WalkGifFrames(doc.GifData).Frames, frames = WalkGifFrames(saved.Data).Frames;
      ASSERT_EQ(frames.size(), opened.size());
      for (size_t k = 0; k < frames.size(); ++k) {
        const TGifFrame& f = frames[k];
        ASSERT_EQ(f.Gces.size(), opened[k].Gces.size());
        for (size_t j = 0; j < f.Gces.size(); ++j) {
          const int gce = f.Gces[j];
          EXPECT_EQ(uint8_t(saved.Data[gce + 3]) & 0x1D, uint8_t(saved.Data[f.Gce + 3]) & 0x1D);
          EXPECT_EQ(uint8_t(saved.Data[gce + 3]) & 0xE2, uint8_t(doc.GifData[opened[k].Gces[j] + 3]) & 0xE2);
          if (saved.Data[gce + 3] & 1) {
            EXPECT_EQ(saved.Data[gce + 6], saved.Data[f.Gce + 6]);
          }
        }
      }
    }
  }
}

// The first frame alone made transparent: both its blocks say so, each
// keeping its own other bits.
TEST(OddFiles, TheFirstFrameAloneSetsEachOfItsControlBlocks) {
  const TGifDocument doc = Chosen(SecondControlBlocks(MakeAnimation(PaintsTheColourOverRed()),
                                                      [](QByteArray& b) { b[3] = char(uint8_t(b[3]) | 0xE2); }),
                                  0);
  const QByteArray first = PlanSave(doc, false).Edits.Apply(doc.GifData);
  const TGifFrame f = WalkGifFrames(first).Frames.at(0);
  ASSERT_EQ(f.Gces.size(), 2u);
  EXPECT_EQ(uint8_t(first[f.Gces[0] + 3]), Packed(1, true));
  EXPECT_EQ(uint8_t(first[f.Gces[1] + 3]), 0xE2 | Packed(1, true));
  EXPECT_EQ(first[f.Gces[1] + 6], 0);
}

// Two small frames at far corners, of the largest screen, or of a smaller
// one with the background's region: their bounds are more than may be held,
// so the save keeps the patch and says so.
TEST(OddFiles, FramesSpreadTooWideAreSaidNotJudged) {
  for (const bool region : {false, true}) {
    const int w = region ? 10000 : 65535, h = region ? 8000 : 65535;
    TGifDocument doc = Chosen(MakeAnimation(Plan({kWhite, kBlack},
                                                 {Part(0, 0, 4, 4, Filled(4, 4, 1), Packed(1)),
                                                  Part(w - 4, h - 4, 4, 4, Filled(4, 4, 0), Packed(1))},
                                                 w, h)),
                              0);
    doc.Reach.Connected = region;
    if (region) doc.Reach.Matte = RGBColor(0x20, 0x20, 0x20), doc.Reach.SoftEdges = true;
    const TSaved saved = Save(doc);
    EXPECT_TRUE(saved.Frames.TooLargeToJudge) << region;
    EXPECT_EQ(saved.Frames.Rewritten, 0) << region;
    EXPECT_EQ(saved.Frames.UndecodedFrom, -1);
    EXPECT_TRUE(FramesPanelText(saved.Frames).contains(QStringLiteral("未確認")));
  }
}

TEST(OddFiles, AFrameThatGiflibWouldNotReadBackIsNeverWritten) {
  TOutFrame frame;
  frame.Colors = {OpaquePixel(1, 2, 3), OpaquePixel(4, 5, 6)};
  frame.Rect = TRect::Sized(0, 0, 3, 1);
  frame.Indices = {0, 1, 13};  // past the table, kept with wider codes
  EXPECT_TRUE(EncodeReadable(frame).has_value());
  frame.Rect = TRect::Sized(65534, 0, 3, 1);  // reaching past 65535 is no fault
  EXPECT_TRUE(EncodeReadable(frame).has_value());
  frame.Rect = TRect::Sized(0, 0, 70000, 1);  // wider than the format can say
  frame.Indices.resize(70000);
  EXPECT_FALSE(EncodeReadable(frame).has_value());
}
