#include "frames/SavePlan.h"

#include "frames/FrameDecoder.h"
#include "frames/OutFrame.h"

namespace {

constexpr int kToBackground = 2, kToPrevious = 3;

std::vector<TPixel> TableColors(const QByteArray& source, const TGifFrame& frame) {
  std::vector<TPixel> colors(size_t(std::max(frame.ColorCount, 0)));
  const auto* t = reinterpret_cast<const uint8_t*>(source.constData()) + frame.Table;
  for (size_t i = 0; i < colors.size(); ++i) colors[i] = OpaquePixel(t[3 * i], t[3 * i + 1], t[3 * i + 2]);
  return colors;
}

int TransparentOf(const TFrameControl& c) {
  return c.Packed && (*c.Packed & kGceTransparentFlag) ? c.Index : -1;
}

int DisposalOf(const TFrameControl& c) { return c.Packed ? ::DisposalOf(*c.Packed) : 0; }

// A canvas and the last frame drawn on it, whose disposal comes before the next.
struct TScreen {
  TCanvas Canvas;
  int Last = -1;                // frame drawn last, or -1
  TRect Drawn;                  // its rectangle on the screen
  std::vector<TPixel> Under;    // what it covered, for restoring

  explicit TScreen(const TFrameWalk& w) : Canvas(w.ScreenWidth, w.ScreenHeight) {}

  void Dispose(int disposal, const TRect& cleared) {
    if (disposal == kToBackground) Canvas.Clear(cleared.Intersected(Canvas.Bounds()));
    if (disposal == kToPrevious) Canvas.Paste(Drawn, Under);
  }
  // keepUnder: the frame is to be disposed to what was there before it.
  void Draw(int frame, const TOutFrame& out, bool keepUnder) {
    Last = frame;
    Drawn = out.Rect.Intersected(Canvas.Bounds());
    if (keepUnder) Under = Canvas.Copy(Drawn);
    DrawFrame(Canvas, out);
  }
  // What the screen shows at (x, y) once the last frame is disposed so.
  TPixel After(int x, int y, int disposal, const TRect& cleared) const {
    if (disposal == kToBackground && cleared.Contains(x, y)) return 0;
    if (disposal == kToPrevious && Drawn.Contains(x, y))
      return Under[size_t(y - Drawn.Top) * Drawn.Width() + (x - Drawn.Left)];
    return Canvas.At(x, y);
  }
};

class TJudge {
 public:
  TJudge(const QByteArray& source, const TFrameWalk& walk, std::vector<TFrameControl>& controls, TPixel chosen,
         TFrameRewrite rewrite)
      : Source(source), Walk(walk), Controls(controls), Opened(SourceControls(source, walk)), Chosen(chosen),
        Rewrite(rewrite), Shown(walk), Saved(walk) {}

  void Run(TFramePatchResult& result, TGifEdits& edits);

 private:
  // Decides how frame k (as the patch leaves it) is saved; answers the frame
  // as saved and whether it was written anew.
  std::pair<TOutFrame, bool> Judge(size_t k, TOutFrame frame, TFramePatchResult& result);
  void ComposeTarget(size_t k, TOutFrame& frame);
  // The saved screen over the region before the frame, the last frame disposed so.
  void Base(int disposal, const TRect& cleared);
  bool Shows(const TOutFrame& frame) const;
  TRect MustClear() const;

  const QByteArray& Source;
  const TFrameWalk& Walk;
  std::vector<TFrameControl>& Controls;
  const std::vector<TFrameControl> Opened;
  const TPixel Chosen;
  const TFrameRewrite Rewrite;
  TScreen Shown;  // the picture as opened
  TScreen Saved;  // the file as saved
  TRect Dirty;    // where the saved screen may differ from the target
  // The last frame drawn on the saved screen, while its bytes may still change.
  TOutFrame Pending;
  bool PendingRewritten = false;
  TRect PendingCleared;  // what its disposal to the background clears
  // For the frame being judged, over the region it may change: the target
  // and the saved screen before it.
  TRect Region;
  std::vector<TPixel> Target, Before;
};

void TJudge::Base(int disposal, const TRect& cleared) {
  Before.resize(size_t(Region.Width()) * Region.Height());
  size_t i = 0;
  for (int y = Region.Top; y < Region.Bottom; ++y)
    for (int x = Region.Left; x < Region.Right; ++x) Before[i++] = Saved.After(x, y, disposal, cleared);
}

bool TJudge::Shows(const TOutFrame& frame) const {
  const int count = int(frame.Colors.size());
  size_t i = 0;
  for (int y = Region.Top; y < Region.Bottom; ++y)
    for (int x = Region.Left; x < Region.Right; ++x, ++i) {
      TPixel p = Before[i];
      if (frame.Rect.Contains(x, y)) {
        const int index = frame.Indices[size_t(y - frame.Rect.Top) * frame.Rect.Width() + (x - frame.Rect.Left)];
        if (index != frame.Transparent && index < count) p = frame.Colors[size_t(index)];
      }
      if (p != Target[i]) return false;
    }
  return true;
}

// Where the target is transparent but the screen before the frame is not: a
// frame cannot clear what is under it, so the frame before must.
TRect TJudge::MustClear() const {
  TRect clear;
  size_t i = 0;
  for (int y = Region.Top; y < Region.Bottom; ++y)
    for (int x = Region.Left; x < Region.Right; ++x, ++i)
      if (Target[i] == 0 && Before[i] != 0) clear = clear.United(TRect::Sized(x, y, 1, 1));
  return clear;
}

// Draws frame k on the opened picture, its first frame's transparency set
// aside, and reads the target off it over the region.
void TJudge::ComposeTarget(size_t k, TOutFrame& frame) {
  if (Shown.Last >= 0) Shown.Dispose(DisposalOf(Opened[size_t(Shown.Last)]), Shown.Drawn);
  TOutFrame opened{frame.Rect, {}, frame.Colors, k == 0 ? -1 : TransparentOf(Opened[k]), false};
  opened.Indices.swap(frame.Indices);  // lent, not copied
  Shown.Draw(int(k), opened, DisposalOf(Opened[k]) == kToPrevious);
  frame.Indices.swap(opened.Indices);
  Target.resize(size_t(Region.Width()) * Region.Height());
  size_t i = 0;
  for (int y = Region.Top; y < Region.Bottom; ++y)
    for (int x = Region.Left; x < Region.Right; ++x) {
      const TPixel p = Shown.Canvas.At(x, y);
      Target[i++] = p == Chosen ? 0 : p;
    }
}

std::pair<TOutFrame, bool> TJudge::Judge(size_t k, TOutFrame frame, TFramePatchResult& result) {
  const bool hasLast = Saved.Last >= 0;
  const int lastDisposal = hasLast ? DisposalOf(Controls[size_t(Saved.Last)]) : 0;
  // Outside these the saved screen already equals the target and neither
  // picture changes.
  Region = Dirty.United(Saved.Drawn)
               .United(PendingCleared)
               .United(Shown.Drawn)
               .United(frame.Rect)
               .Intersected(Shown.Canvas.Bounds());
  ComposeTarget(k, frame);

  int disposal = lastDisposal;
  TRect cleared = PendingCleared;
  const auto decided = [&](TOutFrame out, bool right, bool rewritten) {
    if (!right) ++result.NotRight;
    if (disposal != lastDisposal) {
      TFrameControl& last = Controls[size_t(Saved.Last)];
      last.Packed = WithDisposal(last.Packed.value_or(0), disposal);
    }
    if (hasLast) Saved.Dispose(disposal, cleared);
    Dirty = right ? TRect{} : Dirty.United(Region);
    return std::pair<TOutFrame, bool>{std::move(out), rewritten};
  };

  Base(lastDisposal, cleared);
  if (Shows(frame)) return decided(std::move(frame), true, false);
  if (hasLast && lastDisposal != kToBackground) {
    // Clearing what the frame before left may be all it takes.
    Base(kToBackground, cleared);
    if (Shows(frame)) {
      disposal = kToBackground;
      return decided(std::move(frame), true, false);
    }
    Base(lastDisposal, cleared);
  }
  if (Rewrite == TFrameRewrite::Never) return decided(std::move(frame), false, false);

  std::optional<TOutFrame> widened;
  const TRect clear = MustClear();
  if (!clear.Empty()) {
    // The frame before clears as far as needed, widened when it must be.
    const TRect wider = clear.United(PendingCleared);
    if (!Pending.Rect.Contains(wider)) {
      widened = WidenFrame(Pending, wider, Chosen);
      if (!widened) return decided(std::move(frame), false, false);
    }
    Base(kToBackground, wider);
    disposal = kToBackground;
    cleared = wider;
  }
  TFrameTarget want{Region, Target, std::vector<uint8_t>(Target.size())};
  for (size_t j = 0; j < Target.size(); ++j) want.Draw[j] = Before[j] != Target[j];
  std::vector<int> preferred{frame.Transparent, k == 0 ? -1 : TransparentOf(Opened[k])};
  for (int e = 0; e < int(frame.Colors.size()); ++e)
    if (frame.Colors[size_t(e)] == Chosen) preferred.push_back(e);
  std::optional<TOutFrame> rewritten = RewriteFrame(frame, want, preferred, Chosen);
  if (!rewritten || !Shows(*rewritten)) {
    disposal = lastDisposal;
    cleared = PendingCleared;
    return decided(std::move(frame), false, false);
  }
  ++result.Rewritten;
  const int patched = frame.Transparent;
  if (patched < 0 || patched >= int(frame.Colors.size()) || frame.Colors[size_t(patched)] != Chosen)
    ++result.TransparentFrames;
  TFrameControl& c = Controls[k];
  c.Packed = uint8_t(c.Packed.value_or(0) | kGceTransparentFlag);
  c.Index = uint8_t(rewritten->Transparent);
  if (widened) {
    if (!PendingRewritten) ++result.Rewritten;
    Pending = std::move(*widened);
    PendingRewritten = true;
    TFrameControl& last = Controls[size_t(Saved.Last)];
    last.Packed = uint8_t(last.Packed.value_or(0) | kGceTransparentFlag);
    last.Index = uint8_t(Pending.Transparent);
  }
  return decided(std::move(*rewritten), true, true);
}

void TJudge::Run(TFramePatchResult& result, TGifEdits& edits) {
  TFrameDecoder decoder(Source);
  TDecodedFrame decoded;
  // The last frame's bytes, once nothing can change them any more.
  const auto flush = [&] {
    if (!PendingRewritten) return;
    const TGifFrame& f = Walk.Frames[size_t(Saved.Last)];
    edits.Replace(f.Descriptor, f.End, EncodeFrame(Pending));
  };
  for (size_t k = 0; k < Walk.Frames.size(); ++k) {
    const TGifFrame& f = Walk.Frames[k];
    const TRect rect = TRect::Sized(f.Left, f.Top, f.Width, f.Height);
    if (f.Table < 0 || !decoder.Next(decoded) || decoded.Rect.Left != rect.Left || decoded.Rect.Top != rect.Top ||
        decoded.Rect.Right != rect.Right || decoded.Rect.Bottom != rect.Bottom) {
      // A frame giflib cannot decode keeps its patch, and so does every later one.
      result.UndecodedFrom = int(k);
      break;
    }
    const bool local = f.Table > f.Descriptor;
    TOutFrame frame{rect, std::move(decoded.Indices), TableColors(Source, f), TransparentOf(Controls[k]), local};
    auto [out, rewritten] = Judge(k, std::move(frame), result);
    flush();
    Saved.Draw(int(k), out, DisposalOf(Controls[k]) == kToPrevious);
    PendingCleared = Saved.Drawn;
    Pending = std::move(out);
    PendingRewritten = rewritten;
    decoded.Indices = {};
  }
  flush();
}

}  // namespace

TSavePlan PlanSave(const TGifDocument& doc, bool allFrames, TFrameRewrite rewrite) {
  TSavePlan plan;
  // The first frame's control block, the version and the frame count, as the
  // patch of the first frame alone makes them.
  plan.Frames = doc.PlanPatch(false, plan.Edits);
  if (!doc.TransparentOn || !allFrames) return plan;
  const QByteArray& source = doc.GifData;
  const TFrameWalk walk = WalkGifFrames(source);
  if (walk.Frames.empty() || walk.Frames[0].Gce < 0) return plan;
  std::vector<TFrameControl> controls = SourceControls(source, walk);
  controls[0] = {plan.Edits.At(source, walk.Frames[0].Gce + 3), plan.Edits.At(source, walk.Frames[0].Gce + 6)};
  const TColor color = doc.PaletteColors[doc.TransparentIndex];
  plan.Frames.TransparentFrames = PlanLaterFrames(source, walk, {color, doc.TransparentIndex}, controls);
  TJudge(source, walk, controls, OpaquePixel(RedOf(color), GreenOf(color), BlueOf(color)), rewrite)
      .Run(plan.Frames, plan.Edits);
  WriteFrameControls(source, walk, controls, plan.Edits);
  return plan;
}
