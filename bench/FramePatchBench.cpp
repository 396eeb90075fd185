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

// Runs step on the freshly read file each iteration and reports the file's
// throughput; step answers false when it did not do the whole job.
template <typename Step>
void ReadThen(benchmark::State& state, Step step) {
  const QString& path = AnimationFile(state.range(0));
  qint64 size = 0;
  for (auto _ : state) {
    const QByteArray file = LoadStringFromFile(path);
    if (!step(file)) state.SkipWithError("frames missing or not patched");
    size = file.size();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * size);
}

// The document a save starts from: the header read, white (entry 255) chosen.
TGifDocument Chosen(const QByteArray& file) {
  TGifDocument doc;
  doc.ReadGifHeader(file);
  doc.TransparentOn = true;
  doc.TransparentIndex = 255;
  return doc;
}

void BM_ReadOnce(benchmark::State& state) {
  ReadThen(state, [](const QByteArray& file) {
    benchmark::DoNotOptimize(file.constData());
    return true;
  });
}

void BM_ReadWalk(benchmark::State& state) {
  ReadThen(state, [](const QByteArray& file) { return WalkGifFrames(file).Frames.size() == kFrames; });
}

// The walk and the planned edits of every frame, without making the new bytes.
void BM_ReadWalkPlan(benchmark::State& state) {
  ReadThen(state, [](const QByteArray& file) {
    TGifEdits edits;
    return Chosen(file).PlanPatch(true, edits).TransparentFrames == kFrames;
  });
}

// The patched file made as a copy in memory, as tests and the command line take it.
void BM_ReadWalkPatch(benchmark::State& state) {
  ReadThen(state, [](const QByteArray& file) {
    const TGifDocument doc = Chosen(file);
    TGifEdits edits;
    const bool all = doc.PlanPatch(true, edits).TransparentFrames == kFrames;
    const QByteArray patched = edits.Apply(doc.GifData);
    benchmark::DoNotOptimize(patched.constData());
    return all;
  });
}

// The save's road: the edits written out piece by piece around the opened
// bytes (to /dev/null, so the disk is not what is measured).
void BM_ReadWalkPatchWritten(benchmark::State& state) {
  const int sink = ::open("/dev/null", O_WRONLY);
  ReadThen(state, [sink](const QByteArray& file) {
    const TGifDocument doc = Chosen(file);
    TGifEdits edits;
    return doc.PlanPatch(true, edits).TransparentFrames == kFrames && edits.WriteTo(sink, doc.GifData);
  });
  ::close(sink);
}

}  // namespace

// Argument: 1 when every frame has its control block, 0 when half get one inserted.
BENCHMARK(BM_ReadOnce)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadWalk)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadWalkPlan)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadWalkPatchWritten)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadWalkPatch)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
