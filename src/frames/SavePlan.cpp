#include "frames/SavePlan.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <utility>

#include "frames/ReachTarget.h"
#include "frames/FrameDecoder.h"
#include "frames/OutFrame.h"
#include "frames/Screen.h"
#include "frames/WorkAhead.h"

namespace {

// The last frame drawn on the saved screen while its bytes may still change:
// as opened, or written anew, its bytes made here or encoded on a second
// thread while the next frame is judged.
class TPendingFrame {
 public:
  explicit TPendingFrame(bool ahead) : Encoder(ahead) {}
  const TOutFrame& Frame() const { return Out; }
  bool Written() const { return IsWritten; }

  // Holds the next frame; the last one's pixel memory goes to spare.
  void Hold(TOutFrame frame, bool written, std::optional<QByteArray> bytes, std::vector<uint8_t>& spare) {
    if (Encoder.InHand()) Encoder.Wait();
    spare.swap(Out.Indices);
    Out = std::move(frame), IsWritten = written, Bytes = std::move(bytes);
    if (IsWritten && !Bytes) Encoder.Start([this] { Bytes = EncodeReadable(Out); });
  }
  // The same frame made wider, its bytes made.
  void Widen(TOutFrame frame, QByteArray bytes) {
    if (Encoder.InHand()) Encoder.Wait();  // the frame it encodes is replaced
    Out = std::move(frame), IsWritten = true, Bytes = std::move(bytes);
  }
  // Once nothing can change them: its bytes, none where they did not read back.
  std::optional<QByteArray> TakeBytes() {
    if (Encoder.InHand()) Encoder.Wait();
    IsWritten = false;
    return std::exchange(Bytes, std::nullopt);
  }

 private:
  TOutFrame Out;
  bool IsWritten = false;
  std::optional<QByteArray> Bytes;
  // Last, so that it is destroyed first and waits for its job.
  TWorkAhead Encoder;
};

class TJudge {
 public:
  // ahead: frames written anew are encoded on a second thread, trusted to
  // read back until they are seen not to.
  TJudge(const QByteArray& source, const TFrameWalk& walk, const TRect& bounds, std::vector<TFrameControl>& controls,
         TPixel chosen, TFrameRewrite rewrite, bool ahead, const TReach& background, size_t judged)
      : Source(source), Walk(walk), Controls(controls), Opened(SourceControls(source, walk)), Chosen(chosen),
        Rewrite(rewrite), Ahead(ahead), Judged(std::min(judged, walk.Frames.size())), Shown(bounds), Saved(bounds),
        Pending(ahead) {
    if (!background.IsDefault()) Beyond.emplace(chosen, background);
  }
  // Also asks, within a frame, whether to go on: the answer no throws TPlanStopped.
  void AskWithin(const TPlanProgress& progress) {
    if (progress) Poll = TStopPoll([this, progress] { return progress(int(Current), int(Judged)); });
  }

  enum class TRun { Done, Stopped, Unreadable };
  // Unreadable: a frame encoded ahead did not read back, so the plan built
  // on it is void; planned again without encoding ahead, it keeps its patch.
  TRun Run(TFramePatchResult& result, TGifEdits& edits, const TPlanProgress& progress);

 private:
  // A frame as saved, and whether it is written anew: its bytes, or, when
  // they are made ahead, none yet.
  struct TJudged {
    TOutFrame Frame;
    bool Right = false;  // it shows the target over Region
    bool Written = false;
    std::optional<QByteArray> Bytes;
  };
  // Decides how frame k (as the patch leaves it) is saved, in steps below.
  TJudged Judge(size_t k, TOutFrame frame, TFramePatchResult& result);
  // How the frame before is disposed, over what it clears.
  struct TDisposal {
    int Disposal = 0;
    TRect Cleared;
  };
  std::vector<int> Disposals(int planned) const;
  std::optional<TDisposal> DisposalShowing(const TOutFrame& frame, const std::vector<int>& disposals);
  std::optional<TDisposal> CheapestToPaint(const TOutFrame& frame, const std::vector<int>& disposals);
  void MarkRewritten(size_t k, const TOutFrame& frame, const TOutFrame& rewritten, TFramePatchResult& result);
  void WidenLast(TOutFrame widened, QByteArray bytes, TFramePatchResult& result);
  void ComposeTarget(size_t k, TOutFrame& frame);
  void ComposeWholeTarget(const TRect& touched);
  // The saved screen over the region before the frame, the last frame disposed so.
  void Base(int disposal, const TRect& cleared);
  // Whether the frame shows the target over the base; not exact: or a
  // colour near it where the target shows one.
  bool Shows(const TOutFrame& frame, bool exact = true) const;
  // The frame written anew to show the target over the base, if it can be.
  std::optional<TOutFrame> WrittenAnew(size_t k, const TOutFrame& frame);
  struct TDifference {
    int64_t Paint = 0;
    TRect PaintBounds, MustClear;
    // Adds a span of a row, from (x, y) on: before is the screen there (null:
    // transparent), target what it must show.
    void AddSpan(const TPixel* before, const TPixel* target, int n, int x, int y);
  };
  TDifference Difference() const;
  // Difference() for each disposal of the frame before, from the saved
  // screen itself: only where it drew do they differ.
  std::vector<TDifference> Differences(const std::vector<int>& disposals) const;

  const QByteArray& Source;
  const TFrameWalk& Walk;
  std::vector<TFrameControl>& Controls;
  const std::vector<TFrameControl> Opened;
  const TPixel Chosen;
  const TFrameRewrite Rewrite;
  const bool Ahead;
  const size_t Judged;  // frames judged, from the first
  TScreen Shown;  // the picture as opened
  TScreen Saved;  // the file as saved
  TRect Dirty;    // where the saved screen may differ from the target
  // The last frame drawn on the saved screen, while its bytes may still change.
  TPendingFrame Pending;
  // For the frame being judged, over the region it may change: the target
  // and the saved screen before it.
  TRect Region;
  std::vector<TPixel> Target, Before;
  std::vector<uint8_t> DrawMask;  // lent to the rewrite with the target
  bool BeforeFresh = false;  // Before holds the saved screen over Region
  TRect Overlaid;            // but for the disposal drawn over this part
  // Beyond one colour: the target is made over the whole screen (the
  // background's region and the edges depend on more than a pixel).
  std::optional<TReachTarget> Beyond;
  TStopPoll Poll;
  size_t Current = 0;  // frames judged
};

void TJudge::Base(int disposal, const TRect& cleared) {
  const int w = Region.Width();
  // The screen over the region is copied once a frame; a disposal changes only
  // its own rectangle, which is put back before another is tried.
  if (!BeforeFresh) {
    Before.resize(size_t(w) * Region.Height());
    for (int y = Region.Top; y < Region.Bottom; ++y)
      std::copy_n(&Saved.Canvas.At(Region.Left, y), w, Before.begin() + size_t(y - Region.Top) * w);
    BeforeFresh = true;
  } else {
    for (int y = Overlaid.Top; y < Overlaid.Bottom; ++y)
      std::copy_n(&Saved.Canvas.At(Overlaid.Left, y), Overlaid.Width(),
                  Before.begin() + size_t(y - Region.Top) * w + (Overlaid.Left - Region.Left));
  }
  // What the disposal changes, where it meets the region.
  const TRect r = (disposal == kToBackground ? cleared : disposal == kToPrevious ? Saved.Drawn : TRect{})
                      .Intersected(Region);
  Overlaid = r;
  for (int y = r.Top; y < r.Bottom; ++y) {
    TPixel* to = &Before[size_t(y - Region.Top) * w + (r.Left - Region.Left)];
    if (disposal == kToBackground)
      std::fill_n(to, r.Width(), TPixel(0));
    else
      std::copy_n(&Saved.Under[size_t(y - Saved.Drawn.Top) * Saved.Drawn.Width() + (r.Left - Saved.Drawn.Left)],
                  r.Width(), to);
  }
}

bool TJudge::Shows(const TOutFrame& frame, bool exact) const {
  const int w = Region.Width();
  const TRect r = frame.Rect.Intersected(Region);
  // Every index's colour, 0 for those that draw nothing (colours are
  // opaque): a row is compared without a branch per pixel.
  TPixel drawn[256] = {};
  for (size_t e = 0; e < std::min<size_t>(frame.Colors.size(), 256); ++e)
    if (int(e) != frame.Transparent) drawn[e] = frame.Colors[e];
  for (int y = Region.Top; y < Region.Bottom; ++y) {
    const TPixel* before = &Before[size_t(y - Region.Top) * w];
    const TPixel* target = &Target[size_t(y - Region.Top) * w];
    // Outside the frame the screen before must already be the target.
    if (y < r.Top || y >= r.Bottom) {
      if (!std::equal(before, before + w, target)) return false;
      continue;
    }
    const int in = r.Left - Region.Left, out = r.Right - Region.Left;
    if (!std::equal(before, before + in, target) || !std::equal(before + out, before + w, target + out)) return false;
    const uint8_t* indices =
        frame.Indices.data() + size_t(y - frame.Rect.Top) * frame.Rect.Width() + (r.Left - frame.Rect.Left);
    bool differs = false;
    for (int x = in; x < out; ++x) {
      const TPixel c = drawn[indices[x - in]], shows = c ? c : before[x];
      differs |= shows != target[x] && (exact || shows == 0 || target[x] == 0);
    }
    if (differs) return false;
  }
  return true;
}

// Where the screen before differs from the target, in one pass: how many
// pixels the frame must paint and their bounds, and the bounds of those where
// the target is transparent but the screen is not: a frame cannot clear what
// is under it, so the frame before must.
void TJudge::TDifference::AddSpan(const TPixel* before, const TPixel* target, int n, int x, int y) {
  // Rows are mostly alike at their ends: find where they differ, then
  // count between, in loops without early exits.
  int first = 0, last = n - 1;
  if (!before) {
    while (first < n && target[first] == 0) ++first;
    if (first == n) return;
    while (target[last] == 0) --last;
    int64_t paint = 0;
    for (int i = first; i <= last; ++i) paint += target[i] != 0;
    Paint += paint;
    PaintBounds = PaintBounds.United({x + first, y, x + last + 1, y + 1});
    return;
  }
  while (first < n && before[first] == target[first]) ++first;
  if (first == n) return;
  while (before[last] == target[last]) --last;
  int64_t paint = 0, clear = 0;
  for (int i = first; i <= last; ++i) {
    paint += before[i] != target[i];
    clear += before[i] != 0 && target[i] == 0;
  }
  Paint += paint;
  PaintBounds = PaintBounds.United({x + first, y, x + last + 1, y + 1});
  if (clear == 0) return;
  while (!(before[first] != 0 && target[first] == 0)) ++first;
  while (!(before[last] != 0 && target[last] == 0)) --last;
  MustClear = MustClear.United({x + first, y, x + last + 1, y + 1});
}

TJudge::TDifference TJudge::Difference() const {
  const int w = Region.Width();
  TDifference d;
  for (int y = 0; y < Region.Height(); ++y)
    d.AddSpan(&Before[size_t(y) * w], &Target[size_t(y) * w], w, Region.Left, Region.Top + y);
  return d;
}

std::vector<TJudge::TDifference> TJudge::Differences(const std::vector<int>& disposals) const {
  const int w = Region.Width();
  const TRect drawn = Saved.Drawn.Intersected(Region);
  TDifference alike;  // outside what the frame before drew
  std::vector<TDifference> inside(disposals.size());
  for (int y = Region.Top; y < Region.Bottom; ++y) {
    const TPixel* screen = &Saved.Canvas.At(Region.Left, y);
    const TPixel* target = &Target[size_t(y - Region.Top) * w];
    if (y < drawn.Top || y >= drawn.Bottom) {
      alike.AddSpan(screen, target, w, Region.Left, y);
      continue;
    }
    const int in = drawn.Left - Region.Left, after = drawn.Right - Region.Left;
    alike.AddSpan(screen, target, in, Region.Left, y);
    alike.AddSpan(screen + after, target + after, w - after, drawn.Right, y);
    for (size_t i = 0; i < disposals.size(); ++i) {
      const TPixel* before = disposals[i] == kToBackground ? nullptr
                             : disposals[i] == kToPrevious
                                 ? &Saved.Under[size_t(y - Saved.Drawn.Top) * Saved.Drawn.Width() +
                                                (drawn.Left - Saved.Drawn.Left)]
                                 : screen + in;
      inside[i].AddSpan(before, target + in, drawn.Width(), drawn.Left, y);
    }
  }
  for (TDifference& d : inside) {
    d.Paint += alike.Paint;
    d.PaintBounds = d.PaintBounds.United(alike.PaintBounds);
    d.MustClear = d.MustClear.United(alike.MustClear);
  }
  return inside;
}

// Draws frame k on the opened picture, its first frame's transparency set
// aside, and reads the target off it over the region.
void TJudge::ComposeTarget(size_t k, TOutFrame& frame) {
  // What the opened picture's screen changes in: the last frame's disposal, this frame.
  const TRect touched = Shown.Last >= 0 ? Shown.Drawn : TRect{};
  if (Shown.Last >= 0) Shown.Dispose(DisposalOf(Opened[size_t(Shown.Last)]), Shown.Drawn);
  TOutFrame opened{frame.Rect, {}, frame.Colors, k == 0 ? -1 : TransparentOf(Opened[k]), false};
  opened.Indices.swap(frame.Indices);  // lent, not copied
  Shown.Draw(int(k), opened, DisposalOf(Opened[k]) == kToPrevious);
  frame.Indices.swap(opened.Indices);
  if (Beyond) return ComposeWholeTarget(touched.United(Shown.Drawn));
  const int w = Region.Width();
  Target.resize(size_t(w) * Region.Height());
  const TPixel chosen = Chosen;  // a local, so that the row loops vectorise
  for (int y = Region.Top; y < Region.Bottom; ++y) {
    const TPixel* from = &Shown.Canvas.At(Region.Left, y);
    TPixel* to = Target.data() + size_t(y - Region.Top) * w;
    for (int x = 0; x < w; ++x) to[x] = from[x] == chosen ? 0 : from[x];
  }
}

void TJudge::ComposeWholeTarget(const TRect& touched) {
  const TRect all = Shown.Canvas.Bounds();
  // Where the target moved since the frame before, the saved screen, which
  // showed that one there, must change too.
  Region = Region.United(Beyond->Make(Shown.Canvas, touched, Poll));
  const std::vector<TPixel>& whole = Beyond->Target();
  Target.resize(size_t(Region.Width()) * Region.Height());
  for (int y = Region.Top; y < Region.Bottom; ++y)
    std::copy_n(&whole[size_t(y - all.Top) * all.Width() + (Region.Left - all.Left)], Region.Width(),
                Target.begin() + size_t(y - Region.Top) * Region.Width());
}

// The disposals of the frame before worth trying: as planned, or changed to
// clear or to restore what it left.
std::vector<int> TJudge::Disposals(int planned) const {
  std::vector<int> disposals{planned};
  if (Saved.Last >= 0)
    for (const int d : {kToBackground, kToPrevious})
      if (d != planned) disposals.push_back(d);
  return disposals;
}

// The first disposal over which the frame as it is shows the target.
std::optional<TJudge::TDisposal> TJudge::DisposalShowing(const TOutFrame& frame, const std::vector<int>& disposals) {
  for (const int d : disposals) {
    Base(d, Saved.Drawn);
    if (Shows(frame)) return TDisposal{d, Saved.Drawn};
  }
  return std::nullopt;
}

// The disposal that leaves the frame written anew least to paint. Where the
// target is transparent the frame cannot clear what is under it: only
// clearing the frame before can, over a rectangle widened as far as needed.
std::optional<TJudge::TDisposal> TJudge::CheapestToPaint(const TOutFrame& frame, const std::vector<int>& disposals) {
  int64_t least = -1;
  TDisposal best;
  const std::vector<TDifference> differences = Differences(disposals);
  for (size_t i = 0; i < disposals.size(); ++i) {
    const int d = disposals[i];
    TRect wider = Saved.Drawn;
    TDifference diff = differences[i];
    if (!diff.MustClear.Empty()) {
      if (d != kToBackground) continue;
      wider = diff.MustClear.United(Saved.Drawn);
      Base(d, wider);
      diff = Difference();
    }
    // Pixels to paint, then the rectangle they need.
    const TRect bounds = frame.Rect.United(diff.PaintBounds);
    const int64_t cost = diff.Paint * 4 + int64_t(bounds.Width()) * bounds.Height();
    if (least < 0 || cost < least) least = cost, best = {d, wider};
  }
  if (least < 0) return std::nullopt;
  return best;
}

// Frame k's control block for the frame written anew in its place.
void TJudge::MarkRewritten(size_t k, const TOutFrame& frame, const TOutFrame& rewritten, TFramePatchResult& result) {
  ++result.Rewritten;
  if (rewritten.MergedColors > 0) ++result.Reduced;
  const int patched = frame.Transparent;
  const bool transparent = rewritten.Transparent >= 0;
  if (transparent && (patched < 0 || patched >= int(frame.Colors.size()) || frame.Colors[size_t(patched)] != Chosen))
    ++result.TransparentFrames;
  TFrameControl& c = Controls[k];
  // A frame that paints every pixel of its rectangle needs no transparent entry.
  c.Packed = uint8_t(transparent ? c.Packed.value_or(0) | kGceTransparentFlag : c.Packed.value_or(0) & ~kGceTransparentFlag);
  if (transparent) c.Index = uint8_t(rewritten.Transparent);
}

// The frame before made wider, so that clearing it clears more.
void TJudge::WidenLast(TOutFrame widened, QByteArray bytes, TFramePatchResult& result) {
  if (!Pending.Written()) ++result.Rewritten;
  Pending.Widen(std::move(widened), std::move(bytes));
  TFrameControl& last = Controls[size_t(Saved.Last)];
  last.Packed = uint8_t(last.Packed.value_or(0) | kGceTransparentFlag);
  last.Index = uint8_t(Pending.Frame().Transparent);
}

TJudge::TJudged TJudge::Judge(size_t k, TOutFrame frame, TFramePatchResult& result) {
  const bool hasLast = Saved.Last >= 0;
  const TDisposal planned{hasLast ? DisposalOf(Controls[size_t(Saved.Last)]) : 0, Saved.Drawn};
  // Outside these the saved screen already equals the target and neither
  // picture changes.
  Region = Dirty.United(Saved.Drawn).United(Shown.Drawn).United(frame.Rect).Intersected(Shown.Canvas.Bounds());
  BeforeFresh = false;
  ComposeTarget(k, frame);

  const auto decided = [&](const TDisposal& how, TOutFrame out, bool right, bool written = false,
                           std::optional<QByteArray> bytes = {}) {
    // A frame painting some colours as their nearest is not exact, but done.
    if (!right && out.MergedColors == 0) ++result.NotRight;
    if (how.Disposal != planned.Disposal) {
      TFrameControl& last = Controls[size_t(Saved.Last)];
      last.Packed = WithDisposal(last.Packed.value_or(0), how.Disposal);
    }
    if (hasLast) Saved.Dispose(how.Disposal, how.Cleared);
    Dirty = right ? TRect{} : Dirty.United(Region);
    return TJudged{std::move(out), right, written, std::move(bytes)};
  };
  // Left as the patch has it, the disposal before as planned.
  const auto notRight = [&] {
    Base(planned.Disposal, planned.Cleared);
    return decided(planned, std::move(frame), false);
  };

  const std::vector<int> disposals = Disposals(planned.Disposal);
  if (const auto how = DisposalShowing(frame, disposals)) return decided(*how, std::move(frame), true);
  if (Rewrite == TFrameRewrite::Never) return notRight();
  const auto how = CheapestToPaint(frame, disposals);
  if (!how) return notRight();
  std::optional<TOutFrame> widened;
  std::optional<QByteArray> widenedBytes;
  if (how->Disposal == kToBackground && !Pending.Frame().Rect.Contains(how->Cleared)) {
    widened = WidenFrame(Pending.Frame(), how->Cleared, Chosen);
    if (widened) widenedBytes = EncodeReadable(*widened);
    if (!widenedBytes) return notRight();
  }
  Base(how->Disposal, how->Cleared);
  // Clearing more of the frame before may be all the frame needed.
  std::optional<TOutFrame> rewritten;
  std::optional<QByteArray> rewrittenBytes;
  if (!widened || !Shows(frame)) {
    rewritten = WrittenAnew(k, frame);
    if (!rewritten) return notRight();
    // Never out unless it reads back: seen here, or while the next frame is judged.
    if (!Ahead) {
      rewrittenBytes = EncodeReadable(*rewritten);
      if (!rewrittenBytes) return notRight();
    }
    MarkRewritten(k, frame, *rewritten, result);
  }
  if (widened) WidenLast(std::move(*widened), std::move(*widenedBytes), result);
  if (!rewritten) return decided(*how, std::move(frame), true);
  const bool exact = rewritten->MergedColors == 0;
  return decided(*how, std::move(*rewritten), exact, true, std::move(rewrittenBytes));
}

std::optional<TOutFrame> TJudge::WrittenAnew(size_t k, const TOutFrame& frame) {
  // The target is lent to the rewrite, not copied.
  TFrameTarget want{Region, {}, {}, Beyond.has_value(), Poll};
  want.Target.swap(Target);
  want.Draw.swap(DrawMask);
  want.Draw.resize(want.Target.size());
  const TPixel* before = Before.data();
  const TPixel* target = want.Target.data();
  uint8_t* draw = want.Draw.data();
  for (size_t j = 0, n = want.Draw.size(); j < n; ++j) draw[j] = before[j] != target[j];
  std::vector<int> preferred{frame.Transparent, k == 0 ? -1 : TransparentOf(Opened[k])};
  for (int e = 0; e < int(frame.Colors.size()); ++e)
    if (frame.Colors[size_t(e)] == Chosen) preferred.push_back(e);
  std::optional<TOutFrame> rewritten = RewriteFrame(frame, want, preferred, Chosen);
  Target.swap(want.Target);
  DrawMask.swap(want.Draw);
  if (rewritten && !Shows(*rewritten, rewritten->MergedColors == 0)) rewritten.reset();
  return rewritten;
}

TJudge::TRun TJudge::Run(TFramePatchResult& result, TGifEdits& edits, const TPlanProgress& progress) {
  TFrameDecoder decoder(Source, Walk, Shown.Canvas.Bounds());
  // Frame k + 1 is decoded while frame k is judged; at any return the
  // decoding ends before what it writes to.
  TDecodedFrame decoded, next;
  bool nextRead = decoder.Next(next);
  TWorkAhead decoding(Ahead);
  // The last frame's bytes, once nothing can change them any more.
  const auto flush = [&] {
    if (!Pending.Written()) return true;
    std::optional<QByteArray> bytes = Pending.TakeBytes();
    if (!bytes) return false;
    const TGifFrame& f = Walk.Frames[size_t(Saved.Last)];
    edits.Replace(f.Descriptor, f.End, std::move(*bytes));
    return true;
  };
  for (size_t k = 0; k < Judged; ++k) {
    const TGifFrame& f = Walk.Frames[k];
    if (decoding.InHand()) decoding.Wait();
    const bool read = nextRead;
    std::swap(decoded, next);
    if (read && k + 1 < Judged) decoding.Start([&] { nextRead = decoder.Next(next); });
    if (!read || decoded.Whole != RectOf(f)) {
      // A frame that cannot be decoded is damaged: it keeps its patch, and
      // so does every later one.
      result.UndecodedFrom = int(k);
      break;
    }
    const bool local = f.Table > f.Descriptor;
    // The whole frame: the canvas holds every frame's rectangle.
    TOutFrame frame{decoded.Rect, std::move(decoded.Indices), TableColors(Source, f), TransparentOf(Controls[k]), local};
    TJudged judged = Judge(k, std::move(frame), result);
    if (!flush()) return TRun::Unreadable;
    // Kept whatever its disposal: the next frame may restore it.
    // A frame that shows the target is drawn by copying it.
    Saved.Draw(int(k), judged.Frame, true, judged.Right ? Target.data() : nullptr, Region);
    // The frame before's memory goes to the frame after next, decoded into it.
    Pending.Hold(std::move(judged.Frame), judged.Written, std::move(judged.Bytes), decoded.Indices);
    Current = k + 1;
    if (progress && !progress(int(Current), int(Judged))) return TRun::Stopped;
  }
  return flush() ? TRun::Done : TRun::Unreadable;
}

}  // namespace

// A large file's frames are shared with a second thread: the walk is most of
// what saving it costs. Frames are taken in order, so once one is found
// damaged only those before it still matter.
int FirstUndecodableFrame(const QByteArray& source, const TFrameWalk& walk) {
  std::atomic<size_t> next{0};
  std::atomic<size_t> first{walk.Frames.size()};  // the first damaged frame found yet
  const auto walkFrames = [&] {
    for (size_t k = next++; k < first; k = next++) {
      const TGifFrame& f = walk.Frames[k];
      if (ImageDataDecodes(source, ImageDataOf(f), f.End, int64_t(f.Width) * f.Height)) continue;
      for (size_t seen = first; k < seen && !first.compare_exchange_weak(seen, k);) {
      }
    }
  };
  constexpr qsizetype kWorthAThread = qsizetype(4) << 20;
  std::thread helper;
  if (source.size() >= kWorthAThread && std::thread::hardware_concurrency() > 1) {
    try {
      helper = std::thread(walkFrames);
    } catch (const std::system_error&) {
      // No thread to be had: this one walks them all.
    }
  }
  walkFrames();
  if (helper.joinable()) helper.join();
  return first < walk.Frames.size() ? int(first) : -1;
}

namespace {

// Whether the patch alone makes every frame right, known from the control
// bytes and tables without decoding a pixel: each frame covers the screen,
// its pixels can only name entries of its table, and the chosen colour is at
// most one entry of it, the one the patch makes transparent, over the frame
// before cleared to the page (the first frame has nothing before it). Such a
// frame shows what the opened one showed, that entry now the page. (A frame
// the patch leaves alone because it was transparent on another entry fails
// the test of the entry.) Full-frame
// animations, the usual editors' and video converters' output, are saved
// without decoding: their codes are only walked (FirstUndecodableFrame), so
// that damage the decoder would refuse is named.
bool PatchAloneIsRight(const QByteArray& source, const TFrameWalk& walk, const std::vector<TFrameControl>& controls,
                       TPixel chosen) {
  if (walk.Damaged) return false;
  const auto* b = reinterpret_cast<const uint8_t*>(source.constData());
  const TRect canvas = TRect{0, 0, walk.ScreenWidth, walk.ScreenHeight}.United(FramesBounds(walk));
  for (size_t k = 0; k < walk.Frames.size(); ++k) {
    const TGifFrame& f = walk.Frames[k];
    if (!RectOf(f).Contains(canvas) || f.Table < 0) return false;
    // LZW codes below 2^size are pixels: none may lie past the table.
    const int data = ImageDataOf(f);
    if (data >= f.End || b[data] < 2 || b[data] > 8 || (1 << b[data]) > f.ColorCount) return false;
    const std::vector<TPixel> colors = TableColors(source, f);
    const int copies = int(std::count(colors.begin(), colors.end(), chosen));
    const int transparent = TransparentOf(controls[k]);
    if (copies == 0) {
      if (transparent >= 0) return false;
      continue;
    }
    if (copies > 1 || transparent < 0 || transparent >= f.ColorCount || colors[size_t(transparent)] != chosen)
      return false;
    if (k > 0 && DisposalOf(controls[k - 1]) != kToBackground) return false;
  }
  return true;
}

}  // namespace

// Frames spread over more than this are patched without being judged:
// judging holds a few canvases of four bytes a pixel over the frames' bounds.
constexpr int64_t kMaxJudgedPixels = int64_t(1) << 26;

TSavePlan PlanSave(const TGifDocument& doc, bool allFrames, TFrameRewrite rewrite, const TPlanProgress& progress,
                   TCodeWalk codeWalk) {
  TSavePlan plan;
  // The first frame's control block, the version and the frame count, as the
  // patch of the first frame alone makes them.
  const QByteArray& source = doc.GifData;
  const TFrameWalk walk = WalkGifFrames(source);
  plan.Frames = doc.PlanPatch(false, plan.Edits, &walk);
  if (walk.Frames.empty() || walk.Frames[0].Gce < 0) return plan;
  std::vector<TFrameControl> controls = SourceControls(source, walk);
  controls[0] = {plan.Edits.At(source, walk.Frames[0].Gce + 3), plan.Edits.At(source, walk.Frames[0].Gce + 6)};
  // Beyond one colour the first frame is judged even when the choice is its
  // alone: its edges and near colours need new image data. Later frames are
  // then left as the patch has them, as they are without those settings.
  const TReach reach = doc.Reach.ForGif();
  const bool beyond = !reach.IsDefault();
  // An entry past the table names no colour: only its control bytes are said.
  if (!doc.TransparentOn || (!allFrames && !beyond) || doc.TransparentIndex >= doc.ColorCount) {
    // Every control block of the first frame says the same.
    WriteFrameControls(source, walk, {controls[0]}, plan.Edits);
    return plan;
  }
  const TColor color = doc.PaletteColors[doc.TransparentIndex];
  if (allFrames) plan.Frames.TransparentFrames = PlanLaterFrames(source, walk, {color, doc.TransparentIndex}, controls);
  const TRect bounds = FramesBounds(walk);
  const TPixel chosen = PixelOf(color);
  const size_t judged = allFrames ? walk.Frames.size() : 1;
  // Without a tolerance, region or matte the patch alone may be known right
  // without decoding; with them the pixels decide. Its codes are walked last,
  // once every cheaper test has passed; damaged image data is then for the
  // judge to find and name, or, walked by the caller, to name.
  bool patchAlone = !beyond && PatchAloneIsRight(source, walk, controls, chosen);
  if (patchAlone && codeWalk == TCodeWalk::Caller)
    plan.Unwalked = walk;
  else if (patchAlone)
    patchAlone = FirstUndecodableFrame(source, walk) < 0;
  if (!patchAlone) {
    // Beyond one colour the whole screen's target, the last one where it is
    // made again, and their masks are held too, 12 bytes a pixel: half as
    // many pixels keep memory near the same bound.
    if (int64_t(bounds.Width()) * bounds.Height() > (beyond ? kMaxJudgedPixels / 2 : kMaxJudgedPixels))
      plan.Frames.TooLargeToJudge = true;
    else {
      const TSavePlan patched = plan;
      const std::vector<TFrameControl> patchedControls = controls;
      const bool twoThreads = std::thread::hardware_concurrency() > 1;
      const auto judge = [&](bool ahead) {
        TJudge judging(source, walk, bounds, controls, chosen, rewrite, ahead, reach, judged);
        judging.AskWithin(progress);
        try {
          return judging.Run(plan.Frames, plan.Edits, progress);
        } catch (const TPlanStopped&) {
          return TJudge::TRun::Stopped;
        }
      };
      TJudge::TRun run = judge(twoThreads);
      if (run == TJudge::TRun::Unreadable) {
        plan = patched;
        controls = patchedControls;
        run = judge(false);
      }
      if (run != TJudge::TRun::Done) return plan;
    }
  }
  if (!allFrames) controls.resize(1);
  WriteFrameControls(source, walk, controls, plan.Edits);
  return plan;
}
