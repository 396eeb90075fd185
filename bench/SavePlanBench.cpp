// The judged save against giflib: judging and planning every frame of a
// 1000-frame, 50 MB animation against decoding it once; one click's preview of
// an optimised 2 MB animation; and how much files grow where frames are
// written anew, over a set of optimised animations.
#include <benchmark/benchmark.h>

#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdlib>
#include <random>
#include <sys/resource.h>

#include "common/GifAnimation.h"
#include "common/GifBuffers.h"
#include "document/FileOps.h"
#include "frames/SaveOracle.h"
#include "frames/SavePlan.h"

namespace {

std::vector<TRgb> Palette(std::mt19937& random) {
  std::vector<TRgb> colors{{255, 255, 255}};
  while (colors.size() < 256) colors.push_back({uint8_t(random()), uint8_t(random()), uint8_t(random())});
  return colors;
}

// 1000 full frames of noise, 200 x 200: about 50 MB of image data that every
// decoder must work through. The patch alone makes it right, which a save
// knows without decoding; with the first frame a column short, it does not
// know it and judges every frame.
QByteArray MakeLargeAnimation(bool firstFrameShort) {
  std::mt19937 random(3);
  TAnimPlan plan;
  plan.Width = plan.Height = 200;
  plan.Colors = Palette(random);
  for (int k = 0; k < 1000; ++k) {
    TAnimFrame f;
    f.Packed = Packed(1);
    if (k == 0 && firstFrameShort) f.Width = 199, f.Height = 200;
    f.Pixels.resize(200 * 200);
    for (uint8_t& p : f.Pixels) p = uint8_t(random());
    plan.Frames.push_back(std::move(f));
  }
  return MakeAnimation(plan);
}

const QByteArray& LargeAnimation(bool firstFrameShort = false) {
  static const QByteArray whole = MakeLargeAnimation(false), judged = MakeLargeAnimation(true);
  return firstFrameShort ? judged : whole;
}

QByteArray Optimised(const QByteArray& gif) {
  QProcess p;
  p.start(QStringLiteral("gifsicle"), {QStringLiteral("-O2")});
  p.write(gif);
  p.closeWriteChannel();
  p.waitForFinished(-1);
  return p.exitCode() == 0 ? p.readAllStandardOutput() : QByteArray();
}

// Patterned shapes (each carries its pattern) moving over a white
// background, through gifsicle's optimiser: partial frames with an
// "unchanged" entry. Every third shape has a
// white centre, so white also turns up in the areas that change. With band,
// a still many-coloured band at the top that frames spanning it must repaint
// once they clear what is under them: the worst case for growth.
QByteArray MovingShapes(int seed, int width, int height, int frames, int shapes, bool band = false) {
  std::mt19937 random(seed);
  TAnimPlan plan;
  plan.Width = width;
  plan.Height = height;
  plan.Colors = Palette(random);
  std::vector<uint8_t> background(size_t(width) * height, 0);
  for (int y = 0; y < (band ? height / 4 : 0); ++y)
    for (int x = 0; x < width; ++x) background[size_t(y) * width + x] = uint8_t(1 + (x * 7 + y * 3) % 40);
  for (int k = 0; k < frames; ++k) {
    TAnimFrame f;
    f.Packed = Packed(1);
    f.Pixels = background;
    for (int s = 0; s < shapes; ++s) {
      const int size = 8 + s * 5 % 30, x0 = (s * 37 + k * (2 + s % 5)) % (width - size),
                y0 = (s * 53 + k * (1 + s % 3)) % (height - size);
      for (int y = y0; y < y0 + size; ++y)
        for (int x = x0; x < x0 + size; ++x) {
          const bool centre = s % 3 == 0 && std::abs(2 * (x - x0) - size) < size / 2 && std::abs(2 * (y - y0) - size) < size / 2;
          f.Pixels[size_t(y) * width + x] = uint8_t(centre ? 0 : 50 + (s * 13 + (x - x0) * (y - y0) / 3) % 200);
        }
    }
    plan.Frames.push_back(std::move(f));
  }
  return Optimised(MakeAnimation(plan));
}

// One noisy sprite, white inside, bouncing over a white background: the
// usual optimised animation, about 2 MB after gifsicle.
QByteArray Sprite(int width, int height, int frames, int size) {
  std::mt19937 random(9);
  TAnimPlan plan;
  plan.Width = width;
  plan.Height = height;
  plan.Colors = Palette(random);
  for (int k = 0; k < frames; ++k) {
    TAnimFrame f;
    f.Packed = Packed(1);
    f.Pixels.assign(size_t(width) * height, 0);
    const int x0 = (k * 7) % (2 * (width - size)), y0 = (k * 5) % (2 * (height - size));
    const int left = x0 < width - size ? x0 : 2 * (width - size) - x0;
    const int top = y0 < height - size ? y0 : 2 * (height - size) - y0;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        const bool hole = std::abs(2 * x - size) < size / 3 && std::abs(2 * y - size) < size / 3;
        f.Pixels[size_t(top + y) * width + left + x] = uint8_t(hole ? 0 : 1 + random() % 255);
      }
    plan.Frames.push_back(std::move(f));
  }
  return Optimised(MakeAnimation(plan));
}

void BM_GiflibDecodeOnce(benchmark::State& state) {
  const QByteArray& gif = LargeAnimation();
  for (auto _ : state) {
    TGifBufferReader reader{&gif};
    int error = 0;
    GifFileType* file = DGifOpen(&reader, ReadGifFromBuffer, &error);
    if (!file || DGifSlurp(file) != GIF_OK || file->ImageCount != 1000) state.SkipWithError("giflib failed");
    DGifCloseFile(file, &error);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * gif.size());
}

// Argument 0: planned without decoding; 1: every frame decoded and judged.
void BM_JudgeAndPlan(benchmark::State& state) {
  const QByteArray& gif = LargeAnimation(state.range(0) == 1);
  const TGifDocument doc = Chosen(gif, 0);
  for (auto _ : state) {
    const TSavePlan plan = PlanSave(doc, true);
    if (plan.Frames.TransparentFrames != 1000 || plan.Frames.NotRight != 0) state.SkipWithError("not judged right");
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * gif.size());
}

// What a click with real-time preview costs: the plan and the preview copy.
// Argument 0: one sprite, the usual case; 1: fourteen shapes whose frames
// span the screen, every frame written anew.
void BM_PreviewClick(benchmark::State& state) {
  static const QByteArray sprite = Sprite(480, 360, 200, 90), shapes = MovingShapes(5, 640, 480, 160, 14);
  const QByteArray& gif = state.range(0) ? shapes : sprite;
  if (gif.isEmpty()) return state.SkipWithError("gifsicle is not installed");
  const TGifDocument doc = Chosen(gif, 0);
  QTemporaryDir dir;
  int rewritten = 0;
  for (auto _ : state) {
    const TSavePlan plan = PlanSave(doc, true);
    SaveToFile(dir.filePath(QStringLiteral("_.gif")), [&](int fd) { return plan.Edits.WriteTo(fd, doc.GifData); });
    rewritten = plan.Frames.Rewritten;
  }
  state.counters["file_MB"] = double(gif.size()) / 1e6;
  state.counters["rewritten"] = rewritten;
}

// Median and largest growth of the files that had frames written anew.
void Growth(benchmark::State& state, bool band) {
  std::vector<QByteArray> set;
  for (int i = 0; i < 24; ++i)
    set.push_back(MovingShapes(100 + i, 80 + 20 * (i % 6), 60 + 15 * (i % 5), 10 + i, 1 + i % 7, band));
  if (set.front().isEmpty()) return state.SkipWithError("gifsicle is not installed");
  std::vector<double> growth;
  for (auto _ : state) {
    growth.clear();
    for (const QByteArray& gif : set) {
      const TGifDocument doc = Chosen(gif, 0);
      const TSavePlan plan = PlanSave(doc, true);
      if (plan.Frames.Rewritten == 0) continue;
      const QByteArray saved = plan.Edits.Apply(doc.GifData);
      if (!CompareWithTarget(doc, saved).empty()) return state.SkipWithError("a saved file is not right");
      growth.push_back(double(saved.size()) / double(doc.GifData.size()) - 1);
    }
  }
  std::sort(growth.begin(), growth.end());
  state.counters["files_rewritten"] = double(growth.size());
  state.counters["median_growth_pct"] = growth.empty() ? 0 : 100 * growth[growth.size() / 2];
  state.counters["max_growth_pct"] = growth.empty() ? 0 : 100 * growth.back();
}

void BM_RewriteGrowth(benchmark::State& state) { Growth(state, false); }
void BM_RewriteGrowthWithStillBand(benchmark::State& state) { Growth(state, true); }

}  // namespace

// A save beyond one colour beside today's judged save of the same file.
// First argument 0: the sprite animation, 200 optimised frames of 480 x 360;
// 1: the 1000 frames of noise, the first a column short so that today's save
// judges them too. Second argument 0: today's choice of white; 1: white with
// the matte of a dark page and the background only; 2: the matte alone. Both
// files show every entry of a full table, so with the background only (white
// kept inside) every frame's colours must be reduced and every frame written
// anew: the worst case. Run one case at a time (--benchmark_filter) for its
// own peak memory.
void BM_BackgroundSave(benchmark::State& state) {
  static const QByteArray sprite = Sprite(480, 360, 200, 90);
  const QByteArray& gif = state.range(0) ? LargeAnimation(true) : sprite;
  if (gif.isEmpty()) return state.SkipWithError("gifsicle is not installed");
  TGifDocument doc = Chosen(gif, 0);
  if (state.range(1)) {
    doc.Reach.Connected = state.range(1) == 1;
    doc.Reach.Matte = RGBColor(0x20, 0x20, 0x20), doc.Reach.SoftEdges = true;
  }
  TFramePatchResult frames;
  for (auto _ : state) frames = PlanSave(doc, true).Frames;
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_MB"] = double(usage.ru_maxrss) / 1024;
  state.counters["rewritten"] = frames.Rewritten;
  state.counters["not_right"] = frames.NotRight;
}

// One 4000 x 4000 frame, a red disc on white, saved with the matte of a
// dark page. Argument 0: planned to the end; 1: stopped at the plan's first
// ask, as a window's newer click stops it: the time until it returns.
void BM_LargeFrameMatte(benchmark::State& state) {
  static const QByteArray gif = [] {
    const int n = 4000;
    TAnimPlan plan;
    plan.Width = plan.Height = n;
    plan.Colors = {{255, 255, 255}, {200, 30, 30}, {227, 142, 142}, {0, 0, 0}};
    TAnimFrame f;
    f.Packed = Packed(1);
    f.Pixels.assign(size_t(n) * n, 0);
    for (int y = 0; y < n; ++y)
      for (int x = 0; x < n; ++x) {
        const int64_t d = int64_t(x - n / 2) * (x - n / 2) + int64_t(y - n / 2) * (y - n / 2), r = int64_t(n / 3) * (n / 3);
        f.Pixels[size_t(y) * n + x] = uint8_t(d < r - 4 * n ? 1 : d < r ? 2 : 0);
      }
    plan.Frames.push_back(std::move(f));
    return MakeAnimation(plan);
  }();
  TGifDocument doc = Chosen(gif, 0);
  doc.Reach.Matte = RGBColor(0x20, 0x20, 0x20), doc.Reach.SoftEdges = true;
  const bool stop = state.range(0) == 1;
  for (auto _ : state) PlanSave(doc, true, TFrameRewrite::Allowed, [&](int, int) { return !stop; });
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_MB"] = double(usage.ru_maxrss) / 1024;
}

BENCHMARK(BM_GiflibDecodeOnce)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JudgeAndPlan)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewClick)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BackgroundSave)->ArgsProduct({{0, 1}, {0, 1, 2}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeFrameMatte)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RewriteGrowth)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_RewriteGrowthWithStillBand)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_MAIN();
