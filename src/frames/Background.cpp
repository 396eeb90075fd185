#include "frames/Background.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "document/Color.h"
#include "reduce/FewerColors.h"

namespace {

constexpr uint8_t kKept = 0, kTaken = 1, kCleared = 2;

// The figures below were chosen on antialiased art whose truth is known
// (tests/frames/BackgroundTest.cpp), by the worst frame's PSNR on a dark and
// a blue page. How far from what turned transparent a pixel may be a blend
// with the background: smooth edges spread over one pixel, two where the
// faintest share of the art is not taken (a radius of 1 lost 5-9 dB on text,
// 3 lost 5 dB on the face).
constexpr int kRadius = 2;
// An edge pixel is read as a blend of the background and an art colour next
// to it only when it lies this close (RGB distance) to the line between them:
// the table the picture was reduced to moves blends off that line a little
// (48 read some art as blends and lost 5 dB on the animation).
constexpr double kOffLine = 16;
// Art shares below this turn transparent (0.12 lost 3-5 dB against 0.04, 0.25
// lost 10): on the page they would show little. Above kWhole the pixel is
// art; keeping it as it is saves new colours for under 0.5 dB.
constexpr double kFaintest = 0.04, kWhole = 0.97;
// A table holds 256 entries, one of them kept for transparency.
constexpr size_t kMaxOpaqueColors = 255;

int R(TPixel p) { return int(p >> 16 & 0xFF); }
int G(TPixel p) { return int(p >> 8 & 0xFF); }
int B(TPixel p) { return int(p & 0xFF); }
// The program's one colour distance (squared), on screen pixels.
int64_t Distance2(TPixel a, TPixel b) { return ColorDistance(R(a), G(a), B(a), R(b), G(b), B(b)); }

TRect Grown(const TRect& r, int by) { return r.Empty() ? r : TRect{r.Left - by, r.Top - by, r.Right + by, r.Bottom + by}; }

}  // namespace

void TBackgroundTarget::TTally::Add(TPixel c, int64_t n) {
  size_t s = Slot(c);
  while (Keys[s] != 0 && Keys[s] != c) s = (s + 1) & (Keys.size() - 1);
  if (Keys[s] == 0) {
    if ((Used + 1) * 2 > Keys.size()) {
      Grow();
      return Add(c, n);
    }
    Keys[s] = c, ++Used;
  }
  const bool was = Counts[s] > 0;
  Counts[s] += n;
  Shown += size_t(Counts[s] > 0) - size_t(was);
}

int64_t TBackgroundTarget::TTally::Of(TPixel c) const {
  for (size_t s = Slot(c); Keys[s] != 0; s = (s + 1) & (Keys.size() - 1))
    if (Keys[s] == c) return Counts[s];
  return 0;
}

std::vector<TPixel> TBackgroundTarget::TTally::Colors() const {
  std::vector<TPixel> colors;
  for (size_t s = 0; s < Keys.size(); ++s)
    if (Counts[s] > 0) colors.push_back(Keys[s]);
  return colors;
}

// Twice as many slots while colours shown fill a quarter; colours no longer
// shown are dropped.
void TBackgroundTarget::TTally::Grow() {
  TTally grown;
  const size_t slots = Shown * 4 + 4 > Keys.size() ? Keys.size() * 2 : Keys.size();
  grown.Keys.assign(slots, 0), grown.Counts.assign(slots, 0);
  for (size_t s = 0; s < Keys.size(); ++s)
    if (Counts[s] > 0) grown.Add(Keys[s], Counts[s]);
  *this = std::move(grown);
}

TBackgroundTarget::TBackgroundTarget(TPixel chosen, const TBackground& settings)
    : Chosen(chosen), Settings(settings) {
  // Distance squared times 100^2 against (tolerance * black-to-white)^2.
  const int64_t t = std::clamp(settings.Tolerance, 0, kMaxTolerance);
  MaxDistance = t * t * 3 * 255 * 255;
  if (settings.Matte)
    Page = OpaquePixel(uint8_t(RedOf(*settings.Matte)), uint8_t(GreenOf(*settings.Matte)), uint8_t(BlueOf(*settings.Matte)));
}

bool TBackgroundTarget::Taken(TPixel p) const {
  return p == 0 || p == Chosen || (MaxDistance > 0 && Distance2(p, Chosen) * 10000 <= MaxDistance);
}

// The background's region: the taken pixels joined to the edge through taken
// pixels. A scanline fill: each run of taken pixels is cleared whole, and the
// runs touching it above and below wait on a stack, so depth never grows with
// the picture.
void TBackgroundTarget::Fill() {
  const int w = Width, h = Height;
  std::memcpy(State.data(), Mask.data(), State.size());
  Seeds.clear();
  for (int x = 0; x < w; ++x) Seeds.push_back(uint32_t(x)), Seeds.push_back(uint32_t(size_t(h - 1) * w + x));
  for (int y = 0; y < h; ++y) Seeds.push_back(uint32_t(size_t(y) * w)), Seeds.push_back(uint32_t(size_t(y) * w + w - 1));
  while (!Seeds.empty()) {
    const size_t i = Seeds.back();
    Seeds.pop_back();
    if (State[i] != kTaken) continue;
    const int y = int(i / size_t(w));
    uint8_t* row = &State[size_t(y) * w];
    int left = int(i % size_t(w)), right = left;
    while (left > 0 && row[left - 1] == kTaken) --left;
    while (right + 1 < w && row[right + 1] == kTaken) ++right;
    std::fill(row + left, row + right + 1, kCleared);
    for (const int ny : {y - 1, y + 1}) {
      if (ny < 0 || ny >= h) continue;
      const uint8_t* next = &State[size_t(ny) * w];
      for (int x = left; x <= right; ++x)
        if (next[x] == kTaken && (x == left || next[x - 1] != kTaken)) Seeds.push_back(uint32_t(size_t(ny) * w + x));
    }
  }
}

// Edge pixels read as blends P = a*F + (1-a)*B of the background colour B and
// an art colour F, and shown as a*F + (1-a)*M on the page colour M instead.
// An edge pixel is opaque, kept, and within kRadius (a square) of a pixel
// that was opaque and is now cleared. F is the colour, among the kept opaque
// pixels of the square of kRadius around P (itself included), farthest from
// B that still has P on its line to B: inside a solid shape that is the
// shape's own colour just within the edge; across a thin line, its darkest
// pixel. Art colours that are no blend of their neighbour and B (a fill
// beside an outline) are off every such line and stay as they are.
void TBackgroundTarget::Matte(const TCanvas& shown, const TRect& r) {
  const int w = Width, h = Height;
  const auto pixel = [&](int x, int y) { return shown.At(Area.Left + x, Area.Top + y); };
  const double br = R(Chosen), bg = G(Chosen), bb = B(Chosen);
  const double mr = R(Page) - br, mg = G(Page) - bg, mb = B(Page) - bb;
  // Edge: within kRadius of a pixel that was opaque and is now cleared, in
  // two passes of running counts, across the rows around r, then down.
  const int top = std::max(0, r.Top - kRadius), bottom = std::min(h, r.Bottom + kRadius), rw = r.Width();
  if (rw <= 0 || r.Height() <= 0) return;
  Across.assign(size_t(bottom - top) * rw, 0);
  // A row's sources (cleared, opaque as shown) over the reach of r, with
  // kRadius + 1 of nothing either side, so that the window needs no test.
  // (Plain pointers: stores through bytes would otherwise reload the vectors.)
  Sources.assign(size_t(rw) + 2 * kRadius + 1, 0);
  uint8_t* const sources = Sources.data();
  const int reachLeft = std::max(0, r.Left - kRadius), reachRight = std::min(w, r.Right + kRadius);
  for (int y = top; y < bottom; ++y) {
    const uint8_t* state = &State[size_t(y) * w];
    const TPixel* shows = &shown.At(Area.Left, Area.Top + y);
    const int base = r.Left - kRadius - 1;  // sources[x - base] is column x's
    for (int x = reachLeft; x < reachRight; ++x) sources[x - base] = (state[x] == kCleared) & (shows[x] != 0);
    uint8_t* const across = Across.data() + size_t(y - top) * rw;
    int count = 0;
    for (int i = 0; i < 2 * kRadius + 1; ++i) count += sources[i];
    for (int x = 0; x < rw; ++x) {
      count += sources[x + 2 * kRadius + 1] - sources[x];
      across[x] = count > 0;
    }
  }
  std::vector<int> downs(size_t(rw), 0);
  int* const down = downs.data();
  const uint8_t* const acrossAll = Across.data();
  TPixel* const raw = Raw.data();
  for (int y = top; y < std::min(bottom, r.Top + kRadius); ++y)
    for (int x = 0; x < rw; ++x) down[x] += acrossAll[size_t(y - top) * rw + x];
  for (int y = r.Top; y < r.Bottom; ++y) {
    if (y + kRadius < bottom)
      for (int x = 0; x < rw; ++x) down[x] += acrossAll[size_t(y + kRadius - top) * rw + x];
    if (y - kRadius - 1 >= top)
      for (int x = 0; x < rw; ++x) down[x] -= acrossAll[size_t(y - kRadius - 1 - top) * rw + x];
    for (int x = r.Left; x < r.Right; ++x) {
      const size_t i = size_t(y) * w + x;
      if (raw[i] == 0 || down[x - r.Left] == 0) continue;
      const int y0 = std::max(0, y - kRadius), y1 = std::min(h - 1, y + kRadius);
      const int x0 = std::max(0, x - kRadius), x1 = std::min(w - 1, x + kRadius);
      const TPixel p = Raw[i];
      const double pr = R(p) - br, pg = G(p) - bg, pb = B(p) - bb;
      const double p2 = pr * pr + pg * pg + pb * pb;
      double share = 1, farthest = p2;
      for (int ny = y0; ny <= y1; ++ny)
        for (int nx = x0; nx <= x1; ++nx) {
          const TPixel f = pixel(nx, ny);
          if (f == 0 || State[size_t(ny) * w + nx] == kCleared) continue;
          const double fr = R(f) - br, fg = G(f) - bg, fb = B(f) - bb;
          const double f2 = fr * fr + fg * fg + fb * fb;
          if (f2 <= farthest) continue;
          const double along = pr * fr + pg * fg + pb * fb;
          if (along <= 0 || p2 - along * along / f2 > kOffLine * kOffLine) continue;
          farthest = f2, share = along / f2;
        }
      if (share >= kWhole) continue;
      Recoloured[i] = 1;
      if (share < kFaintest) {
        Raw[i] = 0;
        continue;
      }
      const auto channel = [&](int c, double m) { return uint8_t(std::clamp(std::lround(c + (1 - share) * m), 0L, 255L)); };
      Raw[i] = OpaquePixel(channel(R(p), mr), channel(G(p), mg), channel(B(p), mb));
    }
  }
}

// The tallies follow the pixels of r whose target changed since OldRaw:
// each leaves as it was and joins as it is. Neighbours mostly share a
// colour, so each side is counted once a run.
void TBackgroundTarget::Recount(const TRect& r) {
  struct TRun {
    TPixel Color = 0;  // transparent: not counted
    bool Recoloured = false;
    int64_t Length = 0;
  };
  TRun gone, come;
  const auto flush = [this](TRun& run, int sign) {
    if (run.Color != 0 && run.Length > 0) (run.Recoloured ? Added : Kept).Add(run.Color, sign * run.Length);
    run.Length = 0;
  };
  const auto push = [&](TRun& run, TPixel c, bool recoloured, int sign) {
    if (c == run.Color && recoloured == run.Recoloured) {
      ++run.Length;
      return;
    }
    flush(run, sign);
    run = {c, recoloured, 1};
  };
  const size_t rw = size_t(std::max(r.Width(), 0));
  for (int y = r.Top; y < r.Bottom; ++y) {
    const TPixel* raw = &Raw[size_t(y) * Width + r.Left];
    const uint8_t* recoloured = &Recoloured[size_t(y) * Width + r.Left];
    const TPixel* oldRaw = &OldRaw[size_t(y - r.Top) * rw];
    const uint8_t* oldRecoloured = &OldRecoloured[size_t(y - r.Top) * rw];
    for (size_t x = 0; x < rw; ++x) {
      if (raw[x] == oldRaw[x] && recoloured[x] == oldRecoloured[x]) continue;
      push(gone, oldRaw[x], oldRecoloured[x] != 0, -1);
      push(come, raw[x], recoloured[x] != 0, 1);
    }
  }
  flush(gone, -1);
  flush(come, 1);
}

// Where the target shows more colours than a table holds beside a
// transparent entry (the recoloured edges', or the chosen colour kept inside
// the art beside a full table), they are reduced with the project's
// quantiser: the edges' new colours alone while the others leave them room
// (none left: each takes the nearest kept colour), else every colour. Each pixel reduced takes the nearest colour left. An
// animation's frames mostly show the same colours: the reduction is made
// again only when those kept as they are change, so that what stays still
// keeps its colours.
// Answers the reduction to show, 0 for none.
int TBackgroundTarget::Mapping() {
  std::vector<TPixel> kept = Kept.Colors(), reduced;
  for (const TPixel c : Added.Colors())
    if (Kept.Of(c) <= 0) reduced.push_back(c);
  if (kept.size() + reduced.size() <= kMaxOpaqueColors) return 0;
  // Only where the colours kept as they are overflow on their own are they
  // reduced too; a full table's worth takes the new ones as they stand.
  const bool all = kept.size() > kMaxOpaqueColors;
  if (all) reduced.insert(reduced.end(), kept.begin(), kept.end()), kept.clear();
  std::sort(kept.begin(), kept.end());
  std::sort(reduced.begin(), reduced.end());
  const auto nearest = [](TPixel from, const std::vector<TPixel>& choices) {
    TPixel best = choices.front();
    for (const TPixel to : choices)
      if (Distance2(from, to) < Distance2(from, best)) best = to;
    return best;
  };
  // The same colours kept as they are: colours new since are matched to the
  // reduction's own, which every colour reduced before keeps.
  if (Generation > 0 && Last.All == all && Last.Kept == kept) {
    for (const TPixel c : reduced)
      if (!Last.Nearest.count(c)) Last.Nearest[c] = nearest(c, Last.Choices);
    return Generation;
  }
  // Sorted, so that the same colours give the same palette in every run.
  std::vector<TColorCount> counts;
  for (const TPixel c : reduced) {
    const int64_t n = Added.Of(c) + (all ? Kept.Of(c) : 0);
    counts.push_back({c & 0xFFFFFF, unsigned(std::min<int64_t>(n, UINT32_MAX))});
  }
  std::vector<TPixel> choices;
  if (kept.size() < kMaxOpaqueColors)
    for (const uint32_t c : ChooseFewerColors(counts, int(kMaxOpaqueColors - kept.size())))
      choices.push_back(0xFF000000u | c);
  choices.insert(choices.end(), kept.begin(), kept.end());
  Last.Nearest.clear();
  for (const TPixel from : reduced) Last.Nearest[from] = nearest(from, choices);
  Last.All = all, Last.Kept = std::move(kept), Last.Choices = std::move(choices);
  return ++Generation;
}

TRect TBackgroundTarget::Make(const TCanvas& shown, const std::optional<TRect>& changed) {
  const bool whole = !changed || shown.Bounds() != Area || Raw.empty();
  TRect c;
  if (whole) {
    Area = shown.Bounds();
    Width = Area.Width(), Height = Area.Height();
    const size_t n = size_t(Width) * Height;
    Mask.assign(n, kKept), State.assign(n, kKept), LastState.assign(n, kKept), Recoloured.assign(n, 0);
    Raw.assign(n, 0), Out.assign(n, 0);
    Kept.Clear(), Added.Clear();
    c = {0, 0, Width, Height};
  } else {
    const TRect r = changed->Intersected(Area);
    c = r.Empty() ? TRect{} : TRect{r.Left - Area.Left, r.Top - Area.Top, r.Right - Area.Left, r.Bottom - Area.Top};
  }
  const int w = Width;
  if (w == 0 || Height == 0) return {};
  for (int y = c.Top; y < c.Bottom; ++y) {
    const TPixel* from = &shown.At(Area.Left + c.Left, Area.Top + y);
    uint8_t* mask = &Mask[size_t(y) * w + c.Left];
    const int n = c.Width();
    if (MaxDistance == 0) {
      // Without a tolerance, a loop the compiler vectorises.
      const TPixel chosen = Chosen;
      for (int x = 0; x < n; ++x) mask[x] = (from[x] == 0) | (from[x] == chosen) ? kTaken : kKept;
    } else {
      for (int x = 0; x < n; ++x) mask[x] = Taken(from[x]) ? kTaken : kKept;
    }
  }
  // Where what is cleared changed: anywhere, for the background's region.
  TRect d = c;
  if (Settings.Connected) {
    if (!c.Empty()) {
      std::swap(State, LastState);
      Fill();
    }
    for (int y = 0; y < Height && !whole && !c.Empty(); ++y) {
      const uint8_t* now = &State[size_t(y) * w];
      const uint8_t* last = &LastState[size_t(y) * w];
      if (std::memcmp(now, last, size_t(w)) == 0) continue;
      int first = 0, end = w;
      while (now[first] == last[first]) ++first;
      while (now[end - 1] == last[end - 1]) --end;
      d = d.United({first, y, end, y + 1});
    }
  } else {
    for (int y = c.Top; y < c.Bottom; ++y) {
      const uint8_t* mask = &Mask[size_t(y) * w + c.Left];
      uint8_t* state = &State[size_t(y) * w + c.Left];
      for (int x = 0; x < c.Width(); ++x) state[x] = mask[x] == kTaken ? kCleared : kKept;
    }
  }
  // A pixel's target reads what is shown and cleared up to kRadius away.
  const TRect u = Grown(d, Settings.Matte ? kRadius : 0).Intersected({0, 0, Width, Height});
  // The target as it was over u, to count only what changes.
  const size_t uw = size_t(std::max(u.Width(), 0));
  OldRaw.resize(uw * size_t(std::max(u.Height(), 0)));
  OldRecoloured.resize(OldRaw.size());
  for (int y = u.Top; y < u.Bottom; ++y) {
    const size_t row = size_t(y) * w + u.Left, old = size_t(y - u.Top) * uw;
    std::memcpy(&OldRaw[old], &Raw[row], uw * sizeof(TPixel));
    std::memcpy(&OldRecoloured[old], &Recoloured[row], uw);
  }
  for (int y = u.Top; y < u.Bottom; ++y) {
    const size_t row = size_t(y) * w + u.Left;
    const TPixel* __restrict from = &shown.At(Area.Left + u.Left, Area.Top + y);
    const uint8_t* __restrict state = &State[row];
    TPixel* __restrict raw = &Raw[row];
    for (int x = 0; x < u.Width(); ++x) raw[x] = state[x] == kCleared ? 0 : from[x];
    std::memset(&Recoloured[row], 0, size_t(u.Width()));
  }
  if (Settings.Matte) Matte(shown, u);
  Recount(u);
  const int mapping = Mapping();
  const TRect o = mapping != OutMapping ? TRect{0, 0, Width, Height} : u;
  OutMapping = mapping;
  // Neighbours mostly share a colour: the last look-up answers again.
  TPixel lastFrom = 0, lastTo = 0;
  TRect moved;
  for (int y = o.Top; y < o.Bottom; ++y) {
    int first = -1, last = -1;
    if (!mapping) {
      // Shown as made: the row's changed span, then one copy.
      const TPixel* raw = &Raw[size_t(y) * w];
      TPixel* out = &Out[size_t(y) * w];
      int from = o.Left, to = o.Right;
      while (from < to && out[from] == raw[from]) ++from;
      while (to > from && out[to - 1] == raw[to - 1]) --to;
      if (from == to) continue;
      std::copy(raw + from, raw + to, out + from);
      moved = moved.United({Area.Left + from, Area.Top + y, Area.Left + to, Area.Top + y + 1});
      continue;
    }
    for (int x = o.Left; x < o.Right; ++x) {
      const size_t i = size_t(y) * w + x;
      const TPixel p = Raw[i];
      TPixel shows = p;
      if (mapping && p != 0 && (Last.All || Recoloured[i])) {
        if (p != lastFrom) {
          const auto it = Last.Nearest.find(p);
          lastFrom = p, lastTo = it == Last.Nearest.end() ? p : it->second;
        }
        shows = lastTo;
      }
      if (Out[i] == shows) continue;
      Out[i] = shows;
      if (first < 0) first = x;
      last = x;
    }
    if (first >= 0) moved = moved.United({Area.Left + first, Area.Top + y, Area.Left + last + 1, Area.Top + y + 1});
  }
  return moved;
}
