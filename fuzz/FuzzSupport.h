#pragma once
// Shared by the fuzz targets: a scratch directory for the files a run writes,
// and checks that stop the run with the failed condition named.
#include <QByteArray>
#include <QDir>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(cond)                                                              \
  do {                                                                                \
    if (!(cond)) {                                                                    \
      std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
      std::abort();                                                                   \
    }                                                                                 \
  } while (0)

// A directory of this process, removed at exit. Memory-backed when /dev/shm
// exists, since every run writes files and SaveStringToFile syncs them.
inline const QString& ScratchDir() {
  // Never destroyed: the exit handler that removes the directory runs after
  // the destructors of statics made before it.
  static const QString* dir = [] {
    QByteArray base = qgetenv("TOMARU_FUZZ_SCRATCH");
    if (base.isEmpty()) base = QDir(QStringLiteral("/dev/shm")).exists() ? "/dev/shm" : "/tmp";
    QByteArray pattern = base + "/tomaru-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data())) std::abort();
    auto* path = new QString(QString::fromLocal8Bit(pattern) + QLatin1Char('/'));
    std::atexit([] { QDir(ScratchDir()).removeRecursively(); });
    return path;
  }();
  return *dir;
}

inline QByteArray Bytes(const uint8_t* data, size_t size) {
  return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// Width and height a BMP header claims (core or info header), or 0 x 0.
inline void BmpClaimedSize(const QByteArray& file, int64_t& width, int64_t& height) {
  width = height = 0;
  if (file.size() < 26 || !file.startsWith("BM")) return;
  const auto byte = [&](int i) { return int64_t(uint8_t(file[i])); };
  const int64_t infoSize = byte(14) | byte(15) << 8 | byte(16) << 16 | byte(17) << 24;
  if (infoSize == 12) {
    width = byte(18) | byte(19) << 8;
    height = byte(20) | byte(21) << 8;
  } else {
    width = int32_t(uint32_t(byte(18) | byte(19) << 8 | byte(20) << 16 | byte(21) << 24));
    height = int32_t(uint32_t(byte(22) | byte(23) << 8 | byte(24) << 16 | byte(25) << 24));
  }
  width = std::llabs(width);
  height = std::llabs(height);
}
