// The whole BMP road for a 24-bit 4000 x 3000 photo reduced to 8 bits, in a
// process of its own so that its peak memory is the road's.
//   bench_bmp_road make DIR [NOISE]  writes DIR/photo.bmp, pixel noise +-NOISE (4)
//   bench_bmp_road convert DIR  converts it to DIR/data/temp.gif, prints time and peak
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

#include "BenchImages.h"
#include "reduce/BmpToGif.h"

namespace {

class TQuietView : public TBmpView {
 public:
  void SetMsg(int, const QString&) override { ++Reports; }
  void ShowMessage(const QString& text) override { std::printf("message: %s\n", qPrintable(text)); }
  std::optional<int> AskReduceBits(int count, const QString&) override {
    Colours = count;
    return 8;
  }
  int Reports = 0, Colours = 0;
};

long PeakKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s make DIR [NOISE] | convert DIR\n", argv[0]);
    return 2;
  }
  const QString dir = QString::fromLocal8Bit(argv[2]);
  const QString bmp = dir + "/photo.bmp";
  if (qstrcmp(argv[1], "make") == 0) {
    const int noise = argc > 3 ? std::atoi(argv[3]) : 4;
    return PhotoImage(4000, 3000, noise).save(bmp, "BMP") ? 0 : 1;
  }

  TAppPaths paths;
  paths.AppDir = dir + "/";
  paths.DataDir = dir + "/data/";
  QDir().mkpath(paths.DataDir);
  const long before = PeakKiB();
  TQuietView view;
  uint8_t reduceBits = 8;
  QElapsedTimer timer;
  timer.start();
  const bool ok = ConvertBMPFile(bmp, paths, view, reduceBits);
  const qint64 ms = timer.elapsed();
  const double bmpMiB = double(QFileInfo(bmp).size()) / 1048576.0;
  std::printf("ok %d, %d colours, %d progress reports, %lld ms, gif %.1f MiB\n", ok, view.Colours,
              view.Reports, static_cast<long long>(ms),
              double(QFileInfo(paths.Data("temp.gif")).size()) / 1048576.0);
  std::printf("bmp %.1f MiB, peak RSS %.1f MiB (%.1f MiB before the road), ratio %.2f\n", bmpMiB,
              double(PeakKiB()) / 1024.0, double(before) / 1024.0, double(PeakKiB()) / 1024.0 / bmpMiB);
  return ok ? 0 : 1;
}
