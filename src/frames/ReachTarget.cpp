#include "frames/ReachTarget.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "document/Color.h"

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
// Colours past this many on a screen are read as exact, not a palette's.
constexpr size_t kFewTables = 4 * 256;
constexpr auto R = RedOfPixel;
constexpr auto G = GreenOfPixel;
constexpr auto B = BlueOfPixel;

TRect Grown(const TRect& r, int by) { return r.Empty() ? r : TRect{r.Left - by, r.Top - by, r.Right + by, r.Bottom + by}; }

}  // namespace

TReachTarget::TReachTarget(TPixel chosen, const TReach& settings, TTargetRoad road)
    : Chosen(chosen), Settings(settings), Road(road),
      Soft(settings.SoftEdges && (road == TTargetRoad::Alpha || settings.Matte)) {
  // Distance squared times 100^2 against (tolerance * black-to-white)^2.
  const int64_t t = std::clamp(settings.Tolerance, 0, kMaxTolerance);
  MaxDistance = t * t * 3 * 255 * 255;
  if (settings.Matte) Page = PixelOf(*settings.Matte);
}

bool TReachTarget::Taken(TPixel p) const {
  return p == 0 || p == Chosen || (MaxDistance > 0 && int64_t(PixelDistance2(p, Chosen)) * 10000 <= MaxDistance);
}

// The background's region: the taken pixels joined to the edge through taken
// pixels. A scanline fill: each run of taken pixels is cleared whole, and the
// runs touching it above and below wait on a stack, so depth never grows with
// the picture.
void TReachTarget::Fill(const TStopPoll& poll) {
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
    poll.Done(right - left + 1);
    for (const int ny : {y - 1, y + 1}) {
      if (ny < 0 || ny >= h) continue;
      const uint8_t* next = &State[size_t(ny) * w];
      for (int x = left; x <= right; ++x)
        if (next[x] == kTaken && (x == left || next[x - 1] != kTaken)) Seeds.push_back(uint32_t(size_t(ny) * w + x));
    }
  }
}

// Edge pixels read as blends P = a*F + (1-a)*B of the background colour B and
// an art colour F, and given F with alpha a: on a page colour M they show
// a*F + (1-a)*M. F is unmixed from P itself, (P - B) / a + B, so that on the
// background's own colour the pixel shows what it showed.
// An edge pixel is opaque, kept, and within kRadius (a square) of a pixel
// that was opaque and is now cleared. F is the colour, among the kept opaque
// pixels of the square of kRadius around P (itself included), farthest from
// B that still has P on its line to B: inside a solid shape that is the
// shape's own colour just within the edge; across a thin line, its darkest
// pixel. Art colours that are no blend of their neighbour and B (a fill
// beside an outline) are off every such line and stay as they are. A pixel
// nearer B than F may lie off the line by the palette's error: a small
// palette moves blends far from it (specks left light on a dark page).
void TReachTarget::Unmix(const TCanvas& shown, const TRect& r, const TStopPoll& poll) {
  const int w = Width, h = Height;
  const auto pixel = [&](int x, int y) { return shown.At(Area.Left + x, Area.Top + y); };
  const double br = R(Chosen), bg = G(Chosen), bb = B(Chosen);
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
    poll.Done(rw);
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
          // Nearer the background than the art, P may lie off the line by
          // as much as the palette moves a colour.
          const double off = PixelDistance2(p, f) > p2 ? std::max(kOffLine, PaletteError(p)) : kOffLine;
          if (along <= 0 || p2 - along * along / f2 > off * off) continue;
          farthest = f2, share = along / f2;
        }
      if (share >= kWhole) continue;
      if (share < kFaintest) {
        Raw[i] = 0;
        continue;
      }
      const auto channel = [&](double c, double b) { return TPixel(std::clamp(std::lround(b + (c - b) / share), 0L, 255L)); };
      const TPixel alpha = TPixel(std::lround(share * 255));
      Raw[i] = alpha << 24 | channel(R(p), br) << 16 | channel(G(p), bg) << 8 | channel(B(p), bb);
      Shares.emplace_back(i, share);
    }
  }
}

// The GIF road: each unmixed edge pixel blended into the page colour M as
// a*F + (1-a)*M, which is P + (1-a)*(M - B), from the pixel as shown.
void TReachTarget::OntoPage(const TCanvas& shown) {
  const double mr = R(Page) - R(Chosen), mg = G(Page) - G(Chosen), mb = B(Page) - B(Chosen);
  for (const auto& unmixed : Shares) {
    const size_t i = unmixed.first;
    const double share = unmixed.second;  // not a structured binding: C++17 lambdas cannot capture one
    const TPixel p = shown.At(Area.Left + int(i % size_t(Width)), Area.Top + int(i / size_t(Width)));
    const auto channel = [&](int c, double m) { return uint8_t(std::clamp(std::lround(c + (1 - share) * m), 0L, 255L)); };
    Raw[i] = OpaquePixel(channel(R(p), mr), channel(G(p), mg), channel(B(p), mb));
  }
}

// Starts a new screen: nothing marked, nothing cleared, the target empty.
// The colours seen stay while the screen is the same: a target must not
// depend on whether it was made whole or around a change.
void TReachTarget::Restart(const TRect& area) {
  if (area != Area) Palette = {}, Errors = {};
  Area = area;
  Width = Area.Width(), Height = Area.Height();
  const size_t n = size_t(Width) * Height;
  Mask.assign(n, kKept), State.assign(n, kKept), LastState.assign(n, kKept);
  Raw.assign(n, 0);
}

// The pixels of c the tolerance takes.
void TReachTarget::Mark(const TCanvas& shown, const TRect& c, const TStopPoll& poll) {
  for (int y = c.Top; y < c.Bottom; ++y) {
    const TPixel* from = &shown.At(Area.Left + c.Left, Area.Top + y);
    uint8_t* mask = &Mask[size_t(y) * Width + c.Left];
    const int n = c.Width();
    poll.Done(n);
    for (int x = 0; x < n; ++x)
      if (from[x] != 0 && (x == 0 || from[x] != from[x - 1]) && Palette.Size() <= kFewTables && !Palette.Find(from[x]))
        Palette[from[x]] = 0, Errors = {};
    if (MaxDistance == 0) {
      // Without a tolerance, a loop the compiler vectorises.
      const TPixel chosen = Chosen;
      for (int x = 0; x < n; ++x) mask[x] = (from[x] == 0) | (from[x] == chosen) ? kTaken : kKept;
    } else {
      for (int x = 0; x < n; ++x) mask[x] = Taken(from[x]) ? kTaken : kKept;
    }
  }
}

// How far the palette may have moved a colour it shows: the distance to its
// nearest other colour on the screen (a colour between them would have
// taken one or the other). A screen of more colours than a few tables is
// read as exact.
double TReachTarget::PaletteError(TPixel p) {
  if (Palette.Size() > kFewTables) return 0;
  if (const float* known = Errors.Find(p)) return *known;
  int nearest = INT32_MAX;
  Palette.ForEach([&](TPixel c, float) {
    if (c != p) nearest = std::min(nearest, PixelDistance2(c, p));
  });
  return Errors[p] = nearest == INT32_MAX ? 0.f : std::sqrt(float(nearest));
}

// Clears the taken pixels of c, or, for the background's region, those the
// fill reaches anywhere; answers where what is cleared changed.
TRect TReachTarget::FillRegion(const TRect& c, bool whole, const TStopPoll& poll) {
  const int w = Width;
  if (!Settings.Connected) {
    for (int y = c.Top; y < c.Bottom; ++y) {
      const uint8_t* mask = &Mask[size_t(y) * w + c.Left];
      uint8_t* state = &State[size_t(y) * w + c.Left];
      for (int x = 0; x < c.Width(); ++x) state[x] = mask[x] == kTaken ? kCleared : kKept;
    }
    return c;
  }
  if (c.Empty()) return c;
  std::swap(State, LastState);
  Fill(poll);
  if (whole) return c;
  TRect d = c;
  for (int y = 0; y < Height; ++y) {
    const uint8_t* now = &State[size_t(y) * w];
    const uint8_t* last = &LastState[size_t(y) * w];
    if (std::memcmp(now, last, size_t(w)) == 0) continue;
    int first = 0, end = w;
    while (now[first] == last[first]) ++first;
    while (now[end - 1] == last[end - 1]) --end;
    d = d.United({first, y, end, y + 1});
  }
  return d;
}

// The target over u made again from what is shown and what is cleared, the
// target before kept to tell what changed.
void TReachTarget::Remake(const TCanvas& shown, const TRect& u, bool whole, const TStopPoll& poll) {
  const size_t uw = size_t(std::max(u.Width(), 0));
  OldRaw.resize(whole ? 0 : uw * size_t(std::max(u.Height(), 0)));
  for (int y = u.Top; y < u.Bottom; ++y) {
    const size_t row = size_t(y) * Width + u.Left;
    if (!whole) std::memcpy(&OldRaw[size_t(y - u.Top) * uw], &Raw[row], uw * sizeof(TPixel));
    const TPixel* __restrict from = &shown.At(Area.Left + u.Left, Area.Top + y);
    const uint8_t* __restrict state = &State[row];
    TPixel* __restrict raw = &Raw[row];
    for (int x = 0; x < u.Width(); ++x) raw[x] = state[x] == kCleared ? 0 : from[x];
    poll.Done(u.Width());
  }
}

// The bounds on the screen of the pixels of u whose target changed (made
// whole, of those not transparent).
TRect TReachTarget::Changed(const TRect& u, bool whole) const {
  TRect moved;
  const size_t uw = size_t(std::max(u.Width(), 0));
  for (int y = u.Top; y < u.Bottom; ++y) {
    const TPixel* raw = &Raw[size_t(y) * Width + u.Left];
    const TPixel* old = whole ? nullptr : &OldRaw[size_t(y - u.Top) * uw];
    int from = 0, to = u.Width();
    while (from < to && raw[from] == (old ? old[from] : 0)) ++from;
    while (to > from && raw[to - 1] == (old ? old[to - 1] : 0)) --to;
    if (from < to) moved = moved.United({Area.Left + u.Left + from, Area.Top + y, Area.Left + u.Left + to, Area.Top + y + 1});
  }
  return moved;
}

TRect TReachTarget::Make(const TCanvas& shown, const std::optional<TRect>& changed, const TStopPoll& poll) {
  const bool whole = !changed || shown.Bounds() != Area || Raw.empty();
  if (whole) Restart(shown.Bounds());
  if (Width == 0 || Height == 0) return {};
  const TRect screen = whole ? Area : changed->Intersected(Area);
  const TRect shownChanged = screen.Empty() ? TRect{} : TRect{screen.Left - Area.Left, screen.Top - Area.Top,
                                                              screen.Right - Area.Left, screen.Bottom - Area.Top};
  const size_t seen = Palette.Size();
  Mark(shown, shownChanged, poll);
  const TRect clearedChanged = FillRegion(shownChanged, whole, poll);
  // A pixel's target reads what is shown and cleared up to kRadius away; a
  // colour never seen before changes how far every edge may lie off its line.
  const TRect all{0, 0, Width, Height};
  const TRect remade = Soft && Palette.Size() != seen ? all : Grown(clearedChanged, Soft ? kRadius : 0).Intersected(all);
  Remake(shown, remade, whole, poll);
  Shares.clear();
  if (Soft) Unmix(shown, remade, poll);
  if (Road == TTargetRoad::Gif) OntoPage(shown);
  return Changed(remade, whole);
}
