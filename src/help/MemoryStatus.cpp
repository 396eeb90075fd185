#include "help/MemoryStatus.h"

#include <QFile>
#include <unistd.h>

#include "help/SplitDigit.h"

uint64_t ParseMemAvailable(const QByteArray& meminfo) {
  for (const QByteArray& line : meminfo.split('\n')) {
    if (!line.startsWith("MemAvailable:")) continue;
    const QList<QByteArray> fields = line.mid(13).simplified().split(' ');
    bool ok = false;
    const uint64_t value = fields.value(0).toULongLong(&ok);
    if (!ok) return 0;
    const bool kiB = fields.value(1) == "kB";
    if (kiB && value > UINT64_MAX / 1024) return UINT64_MAX;
    return kiB ? value * 1024 : value;
  }
  return 0;
}

uint64_t AvailablePhysicalMemory() {
  QFile meminfo(QStringLiteral("/proc/meminfo"));
  if (meminfo.open(QIODevice::ReadOnly)) {
    // /proc files report size 0, so read until the end rather than by size.
    if (const uint64_t bytes = ParseMemAvailable(meminfo.readAll())) return bytes;
  }
  const long pages = sysconf(_SC_AVPHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGESIZE);
  if (pages <= 0 || pageSize <= 0) return 0;
  return uint64_t(pages) * uint64_t(pageSize);
}

QString MemoryFreeText(uint64_t bytes) {
  return splitdigit(QString::number(qulonglong(bytes))) + QStringLiteral(" Byte Free");
}
