// The GIF writer against giflib's EGifPutLine path on the same index buffers,
// and the colour census.
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <cstring>
#include <map>

#include "BenchImages.h"
#include "reduce/ColorCount.h"
#include "reduce/GIFImage.h"
#include "reduce/PicturePalette.h"

namespace {

const TIndexImage& Input(int which) {
  static std::map<int, TIndexImage> cache;
  auto it = cache.find(which);
  if (it != cache.end()) return it->second;
  TIndexImage image = which == 0 ? NoiseIndices(1000, 1000)
                      : which == 1 ? FlatIndices(1000, 1000)
                                   : PhotoIndices(4000, 3000);
  return cache.emplace(which, std::move(image)).first->second;
}

const char* Name(int which) { return which == 0 ? "noise" : which == 1 ? "flat" : "photo4000x3000"; }

// Output size and throughput, the same figures for both encoders.
void ReportEncoding(benchmark::State& state, const TIndexImage& in, size_t bytes) {
  state.SetLabel(Name(int(state.range(0))));
  state.counters["bytes"] = double(bytes);
  state.counters["Mpix/s"] = benchmark::Counter(double(in.Indices.size()) * double(state.iterations()) / 1e6,
                                                benchmark::Counter::kIsRate);
}

void BM_TomaruWriter(benchmark::State& state) {
  const TIndexImage& in = Input(int(state.range(0)));
  size_t bytes = 0;
  for (auto _ : state) {
    QByteArray out;
    WriteGIFStream(out, in.Width, in.Height, in.Palette, in.Indices.data());
    bytes = size_t(out.size());
    benchmark::DoNotOptimize(out.data());
  }
  ReportEncoding(state, in, bytes);
}

int AppendToBuffer(GifFileType* gif, const GifByteType* data, int length) {
  auto* out = static_cast<QByteArray*>(gif->UserData);
  out->append(reinterpret_cast<const char*>(data), length);
  return length;
}

void BM_Giflib(benchmark::State& state) {
  const TIndexImage& in = Input(int(state.range(0)));
  const int bits = BitsForColorCount(in.Palette.Count);
  GifColorType colors[256];
  for (int i = 0; i < (1 << bits); ++i)
    colors[i] = {in.Palette.Rgb[size_t(i) * 3], in.Palette.Rgb[size_t(i) * 3 + 1],
                 in.Palette.Rgb[size_t(i) * 3 + 2]};
  size_t bytes = 0;
  for (auto _ : state) {
    QByteArray out;
    out.reserve(qsizetype(in.Indices.size() / 2));
    int error = 0;
    GifFileType* gif = EGifOpen(&out, AppendToBuffer, &error);
    ColorMapObject* map = GifMakeMapObject(1 << bits, colors);
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, in.Width, in.Height, bits, 0, map);
    EGifPutImageDesc(gif, 0, 0, in.Width, in.Height, false, nullptr);
    for (int y = 0; y < in.Height; ++y)
      EGifPutLine(gif, const_cast<GifPixelType*>(in.Indices.data()) + size_t(y) * size_t(in.Width),
                  in.Width);
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    bytes = size_t(out.size());
    benchmark::DoNotOptimize(out.data());
  }
  ReportEncoding(state, in, bytes);
}

void BM_GetColorCount(benchmark::State& state) {
  static const QImage image = ManyColourImage(4000, 3000, 100000);
  int count = 0;
  for (auto _ : state) benchmark::DoNotOptimize(count = GetColorCount(image));
  state.counters["colours"] = count;
  state.counters["Mpix/s"] = benchmark::Counter(12.0 * double(state.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace

// The palette made for a 12-megapixel photo and the mapping onto it, the
// part of a conversion that the fixed palettes do not have; arg 1 dithers.
void BM_PicturePalette(benchmark::State& state) {
  static const QImage photo = PhotoImage(4000, 3000);
  for (auto _ : state) {
    const TIndexedPicture result = QuantizeToPicturePalette(photo, state.range(0) != 0, false);
    benchmark::DoNotOptimize(result.Image.constBits());
  }
  state.SetItemsProcessed(state.iterations() * int64_t(photo.width()) * photo.height());
}

BENCHMARK(BM_TomaruWriter)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Giflib)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetColorCount)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PicturePalette)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
