// Making every frame of a large animation transparent, against reading the
// file once: the walk skips image data block by block and the patch touches
// only control blocks, so the road should cost little more than the read.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>
#include <fcntl.h>
#include <random>
#include <unistd.h>

#include "document/FileOps.h"
#include "document/FramePatch.h"
#include "document/GifDocument.h"
#include "document/GifFrames.h"

namespace {

constexpr int kFrames = 1000;
constexpr int kFrameData = 50 * 1000;  // bytes of image data per frame: 50 MB in all

// An animation of kFrames full-screen frames; the walk never decodes, so the
// image data is random sub-blocks. With controlBlocks false, every other frame
// lacks its control block and gets one inserted.
QByteArray Animation(bool controlBlocks) {
  std::mt19937 random(7);
  QByteArray gif("GIF89a");
  gif += QByteArray::fromHex("f401c80187ff00");  // 500 x 456, 256-colour global table
  for (int i = 0; i < 256; ++i) gif += QByteArray(3, char(i));
  for (int k = 0; k < kFrames; ++k) {
    if (controlBlocks || k % 2 == 0) gif += QByteArray::fromHex("21f9040400000000");
    gif += QByteArray::fromHex("2c00000000f401c80100");
    gif += char(8);
    for (int left = kFrameData; left > 0; left -= 255) {
      const int n = std::min(left, 255);
      gif += char(n);
      QByteArray block(n, 0);
      for (char& c : block) c = char(random());
      gif += block;
    }
    gif += char(0);
  }
  return gif + char(0x3B);
}

const QString& AnimationFile(bool controlBlocks) {
  static QTemporaryDir dir;
  static QString paths[2];
  QString& path = paths[controlBlocks];
  if (path.isEmpty()) {
    path = dir.filePath(controlBlocks ? QStringLiteral("blocks.gif") : QStringLiteral("bare.gif"));
    SaveStringToFile(path, Animation(controlBlocks));
  }
  return path;
}

void Report(benchmark::State& state, qint64 bytes) {
  state.SetBytesProcessed(int64_t(state.iterations()) * bytes);
}

void BM_ReadOnce(benchmark::State& state) {
  const QString& path = AnimationFile(state.range(0));
  qint64 size = 0;
  for (auto _ : state) {
    const QByteArray file = LoadStringFromFile(path);
    benchmark::DoNotOptimize(file.constData());
    size = file.size();
  }
  Report(state, size);
}

void BM_ReadWalk(benchmark::State& state) {
  const QString& path = AnimationFile(state.range(0));
  qint64 size = 0;
  for (auto _ : state) {
    const QByteArray file = LoadStringFromFile(path);
    const TFrameWalk walk = WalkGifFrames(file);
    if (walk.Frames.size() != kFrames) state.SkipWithError("frames missing");
    size = file.size();
  }
  Report(state, size);
}

// The walk and the planned edits of every frame, without making the new bytes.
void BM_ReadWalkPlan(benchmark::State& state) {
  const QString& path = AnimationFile(state.range(0));
  qint64 size = 0;
  for (auto _ : state) {
    const QByteArray file = LoadStringFromFile(path);
    TGifEdits edits;
    const TFramePatchResult result = PatchLaterFrames(file, {RGBColor(255, 255, 255), 255}, edits);
    if (result.TransparentFrames != kFrames) state.SkipWithError("frames not patched");
    benchmark::DoNotOptimize(edits.Insertions());
    size = file.size();
  }
  Report(state, size);
}

// What a save does before writing: read, take the header, patch every frame.
void BM_ReadWalkPatch(benchmark::State& state) {
  const QString& path = AnimationFile(state.range(0));
  qint64 size = 0;
  for (auto _ : state) {
    TGifDocument doc;
    if (!doc.ReadGifHeader(LoadStringFromFile(path))) state.SkipWithError("not read");
    doc.TransparentOn = true;
    doc.TransparentIndex = 255;
    const TPatchedGif patched = doc.Patched(true);
    if (patched.Frames.TransparentFrames != kFrames) state.SkipWithError("frames not patched");
    benchmark::DoNotOptimize(patched.Data.constData());
    size = doc.GifData.size();
  }
  Report(state, size);
}

// The save's road: the edits written out piece by piece around the opened
// bytes (to /dev/null, so the disk is not what is measured).
void BM_ReadWalkPatchWritten(benchmark::State& state) {
  const QString& path = AnimationFile(state.range(0));
  const int sink = ::open("/dev/null", O_WRONLY);
  qint64 size = 0;
  for (auto _ : state) {
    TGifDocument doc;
    if (!doc.ReadGifHeader(LoadStringFromFile(path))) state.SkipWithError("not read");
    doc.TransparentOn = true;
    doc.TransparentIndex = 255;
    TGifEdits edits;
    if (doc.PlanPatch(true, edits).TransparentFrames != kFrames) state.SkipWithError("frames not patched");
    if (!edits.WriteTo(sink, doc.GifData)) state.SkipWithError("not written");
    size = doc.GifData.size();
  }
  ::close(sink);
  Report(state, size);
}

}  // namespace

// Argument: 1 when every frame has its control block, 0 when half get one inserted.
BENCHMARK(BM_ReadOnce)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadWalk)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadWalkPlan)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadWalkPatchWritten)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadWalkPatch)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
