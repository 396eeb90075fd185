#include "frames/Background.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <unordered_set>

#include "reduce/FewerColors.h"

namespace {

constexpr uint8_t kKept = 0, kTaken = 1, kCleared = 2;
// Near: 1 within kRadius of a pixel the choice cleared, 2 once recoloured.
constexpr uint8_t kNear = 1, kRecoloured = 2;

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
int64_t Distance2(TPixel a, TPixel b) {
  const int64_t dr = R(a) - R(b), dg = G(a) - G(b), db = B(a) - B(b);
  return dr * dr + dg * dg + db * db;
}

}  // namespace

TBackgroundTarget::TBackgroundTarget(TPixel chosen, const TBackground& settings)
    : Chosen(chosen), Settings(settings) {
  // Distance squared times 100^2 against (tolerance * black-to-white)^2.
  const int64_t t = std::clamp(settings.Tolerance, 0, kMaxTolerance);
  MaxDistance = t * t * 3 * 255 * 255;
  if (settings.Matte) Page = OpaquePixel(uint8_t(RedOf(*settings.Matte)), uint8_t(GreenOf(*settings.Matte)),
                                         uint8_t(BlueOf(*settings.Matte)));
}

bool TBackgroundTarget::Taken(TPixel p) const {
  return p == 0 || p == Chosen || (MaxDistance > 0 && Distance2(p, Chosen) * 10000 <= MaxDistance);
}

// Marks what turns transparent: every taken pixel, or with the region the
// background only those joined to the edge through taken pixels. A scanline
// fill: each run of taken pixels is cleared whole, and the runs touching it
// above and below wait on a stack, so depth never grows with the picture.
void TBackgroundTarget::Clear(const TCanvas& shown) {
  const TRect area = shown.Bounds();
  const int w = Width, h = Height;
  State.assign(size_t(w) * h, kKept);
  for (int y = 0; y < h; ++y) {
    const TPixel* row = &shown.At(area.Left, area.Top + y);
    uint8_t* state = &State[size_t(y) * w];
    for (int x = 0; x < w; ++x) state[x] = Taken(row[x]) ? kTaken : kKept;
  }
  if (!Settings.Connected) {
    std::replace(State.begin(), State.end(), kTaken, kCleared);
    return;
  }
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
// F is the colour, among the opaque pixels of the 5 x 5 square around P
// (itself included), farthest from B that still has P on its line to B:
// inside a solid shape that is the shape's own colour just within the edge;
// across a thin line, its darkest pixel. Art colours that are no blend of
// their neighbour and B (a fill beside an outline) are off every such line
// and stay as they are.
void TBackgroundTarget::Matte(const TCanvas& shown, std::vector<TPixel>& target) {
  const TRect area = shown.Bounds();
  const int w = Width, h = Height;
  const auto pixel = [&](int x, int y) { return shown.At(area.Left + x, area.Top + y); };
  // Near: within kRadius (a square) of a pixel that was opaque and is now
  // cleared, in two passes of running counts.
  Across.assign(size_t(w) * h, 0);
  Near.assign(size_t(w) * h, 0);
  for (int y = 0; y < h; ++y) {
    const uint8_t* state = &State[size_t(y) * w];
    uint8_t* across = &Across[size_t(y) * w];
    int count = 0;
    const auto source = [&](int x) { return x >= 0 && x < w && state[x] == kCleared && pixel(x, y) != 0 ? 1 : 0; };
    for (int x = 0; x < kRadius && x < w; ++x) count += source(x);
    for (int x = 0; x < w; ++x) {
      count += source(x + kRadius) - source(x - kRadius - 1);
      across[x] = count > 0;
    }
  }
  for (int x = 0; x < w; ++x) {
    int count = 0;
    const auto source = [&](int y) { return y >= 0 && y < h ? int(Across[size_t(y) * w + x]) : 0; };
    for (int y = 0; y < kRadius && y < h; ++y) count += source(y);
    for (int y = 0; y < h; ++y) {
      count += source(y + kRadius) - source(y - kRadius - 1);
      Near[size_t(y) * w + x] = count > 0 ? kNear : 0;
    }
  }
  const double br = R(Chosen), bg = G(Chosen), bb = B(Chosen);
  const double mr = R(Page) - br, mg = G(Page) - bg, mb = B(Page) - bb;
  Changed.clear();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const size_t i = size_t(y) * w + x;
      const TPixel p = pixel(x, y);
      if (!Near[i] || target[i] == 0) continue;
      const double pr = R(p) - br, pg = G(p) - bg, pb = B(p) - bb;
      const double p2 = pr * pr + pg * pg + pb * pb;
      double share = 1, farthest = p2;
      for (int ny = std::max(0, y - kRadius); ny <= std::min(h - 1, y + kRadius); ++ny)
        for (int nx = std::max(0, x - kRadius); nx <= std::min(w - 1, x + kRadius); ++nx) {
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
      Near[i] = kRecoloured;
      Changed.push_back(uint32_t(i));
      if (share < kFaintest) {
        target[i] = 0;
        continue;
      }
      const auto channel = [&](int c, double m) {
        return uint8_t(std::clamp(std::lround(c + (1 - share) * m), 0L, 255L));
      };
      target[i] = OpaquePixel(channel(R(p), mr), channel(G(p), mg), channel(B(p), mb));
    }
}

// Where the target shows more colours than a table holds beside a
// transparent entry (the recoloured edges', or the chosen colour kept inside
// the art beside a full table), they are reduced with the project's
// quantiser: the edges' new colours alone while the others leave them room,
// else every colour. Each pixel reduced takes the nearest colour left.
bool TBackgroundTarget::FitColors(std::vector<TPixel>& target) {
  std::unordered_set<TPixel> keptSet;
  std::vector<TPixel> memo(1024, 1);  // 1 is no pixel: colours are opaque, transparency 0
  const bool recoloured = !Changed.empty();
  for (size_t i = 0, n = target.size(); i < n; ++i) {
    const TPixel p = target[i];
    if (p == 0 || (recoloured && Near[i] == kRecoloured)) continue;
    TPixel& m = memo[(p * 2654435761u) >> 22];
    if (m != p) m = p, keptSet.insert(p);
  }
  std::unordered_map<TPixel, unsigned> added;
  for (const uint32_t i : Changed)
    if (target[i] != 0 && !keptSet.count(target[i])) ++added[target[i]];
  if (keptSet.size() + added.size() <= kMaxOpaqueColors) return false;
  std::vector<TPixel> kept(keptSet.begin(), keptSet.end()), reduced;
  for (const auto& entry : added) reduced.push_back(entry.first);
  const bool all = kept.size() >= kMaxOpaqueColors;
  if (all) reduced.insert(reduced.end(), kept.begin(), kept.end()), kept.clear();
  std::sort(kept.begin(), kept.end());
  std::sort(reduced.begin(), reduced.end());
  // An animation's frames mostly show the same colours: their reduction is
  // made once, so that what stays still keeps its colours from frame to frame.
  if (!(Last.All == all && Last.Kept == kept && Last.Reduced == reduced)) {
    if (all) {
      added.clear();
      for (const TPixel p : target)
        if (p != 0) ++added[p];
    }
    std::vector<TColorCount> counts;
    for (const TPixel c : reduced) counts.push_back({c & 0xFFFFFF, added[c]});
    std::vector<TPixel> choices;
    for (const uint32_t c : ChooseFewerColors(counts, int(kMaxOpaqueColors - kept.size())))
      choices.push_back(0xFF000000u | c);
    choices.insert(choices.end(), kept.begin(), kept.end());
    Last.Nearest.clear();
    for (const TPixel from : reduced) {
      TPixel best = choices.front();
      for (const TPixel to : choices)
        if (Distance2(from, to) < Distance2(from, best)) best = to;
      Last.Nearest[from] = best;
    }
    Last.All = all, Last.Kept = std::move(kept), Last.Reduced = std::move(reduced);
  }
  // Neighbours mostly share a colour: the last look-up answers again.
  TPixel lastFrom = 0, lastTo = 0;
  const auto nearest = [&](TPixel p) {
    if (p != lastFrom) lastFrom = p, lastTo = Last.Nearest.at(p);
    return lastTo;
  };
  if (all) {
    for (TPixel& p : target)
      if (p != 0) p = nearest(p);
  } else {
    for (const uint32_t i : Changed)
      if (target[i] != 0 && !keptSet.count(target[i])) target[i] = nearest(target[i]);
  }
  return true;
}

bool TBackgroundTarget::Make(const TCanvas& shown, std::vector<TPixel>& target) {
  const TRect area = shown.Bounds();
  Width = area.Width(), Height = area.Height();
  target.resize(size_t(Width) * Height);
  Clear(shown);
  for (int y = 0; y < Height; ++y) {
    const TPixel* row = &shown.At(area.Left, area.Top + y);
    const uint8_t* state = &State[size_t(y) * Width];
    TPixel* to = &target[size_t(y) * Width];
    for (int x = 0; x < Width; ++x) to[x] = state[x] == kCleared ? 0 : row[x];
  }
  Changed.clear();
  if (Settings.Matte) Matte(shown, target);
  return FitColors(target);
}
