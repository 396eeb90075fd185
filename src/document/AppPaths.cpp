#include "document/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "BuildInfo.h"

static QString WithSlash(QString dir) {
  if (!dir.isEmpty() && !dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
  return dir;
}

TAppPaths TAppPaths::ForAppDir(const QString& appDir) {
  TAppPaths p;
  p.AppDir = WithSlash(appDir);
  const QFileInfo data(p.AppDir + QStringLiteral("data"));
  const bool writable = data.exists() ? data.isDir() && data.isWritable() : QFileInfo(p.AppDir).isWritable();
  const bool portable = writable && !IsInstalledAppDir(p.AppDir);
  if (portable) {
    p.DataDir = p.AppDir + QStringLiteral("data/");
  } else {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty()) base = QDir::homePath() + QStringLiteral("/.local/share");
    p.DataDir = WithSlash(base) + QStringLiteral("tomaru/data/");
  }
  return p;
}

static QString Below(const QString& appDir, const char* relative) {
  return WithSlash(QDir::cleanPath(WithSlash(appDir) + QLatin1String(relative)));
}

QString InstalledPluginDir(const QString& appDir) { return Below(appDir, TOMARU_PLUGIN_DIR_FROM_BIN); }

QString InstalledDataDir(const QString& appDir) { return Below(appDir, TOMARU_DATA_DIR_FROM_BIN); }

bool IsInstalledAppDir(const QString& appDir) { return QFileInfo(InstalledDataDir(appDir)).isDir(); }

QString ShippedFile(const QString& appDir, const QString& installedDir, const QString& name) {
  const QString beside = WithSlash(appDir) + name;
  if (QFileInfo::exists(beside)) return beside;
  const QString installed = installedDir + name;
  return QFileInfo::exists(installed) ? installed : beside;
}

namespace {

constexpr char kLockName[] = "lock";

// The lock of every working folder this process made, held open until the
// folder is removed: the kernel lets go of them when the process ends, however
// it ends, which a process id alone (reusable) cannot tell.
std::mutex HeldMutex;
std::map<QString, int> HeldLocks;

void HoldLock(const QString& dir) {
  const int fd = ::open(QFile::encodeName(dir + QLatin1String(kLockName)).constData(),
                        O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return;  // the folder still serves; only a sweep will never take it
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return;
  }
  const std::lock_guard<std::mutex> guard(HeldMutex);
  HeldLocks[dir] = fd;
}

void LetGo(const QString& dir) {
  const std::lock_guard<std::mutex> guard(HeldMutex);
  if (const auto it = HeldLocks.find(dir); it != HeldLocks.end()) {
    ::close(it->second);
    HeldLocks.erase(it);
  }
}

bool IsWorkFolderName(const QString& name) {
  static const QRegularExpression pattern(QStringLiteral("^tomaru-[A-Za-z0-9]{6}$"));
  return pattern.match(name).hasMatch();
}

// Empties the folder open as dir, never following a link out of it.
void RemoveContents(int dir) {
  const int listing = ::dup(dir);
  DIR* d = listing < 0 ? nullptr : ::fdopendir(listing);
  if (!d) {
    if (listing >= 0) ::close(listing);
    return;
  }
  while (const dirent* e = ::readdir(d)) {
    const char* name = e->d_name;
    if (!std::strcmp(name, ".") || !std::strcmp(name, "..")) continue;
    if (::unlinkat(dir, name, 0) == 0) continue;
    const int sub = ::openat(dir, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (sub < 0) continue;
    RemoveContents(sub);
    ::close(sub);
    ::unlinkat(dir, name, AT_REMOVEDIR);
  }
  ::closedir(d);
}

// Removes base/name when it is the working folder of a window that is gone.
bool RemoveIfGone(int base, const QByteArray& name) {
  const int dir = ::openat(base, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (dir < 0) return false;  // a link, a file, or nothing by now
  struct stat st {};
  int lock = -1;
  if (::fstat(dir, &st) == 0 && st.st_uid == ::geteuid())
    // Not blocking: a lock "file" that is a pipe must not stop the start.
    lock = ::openat(dir, kLockName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  bool removed = false;
  if (lock >= 0 && ::fstat(lock, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
      ::flock(lock, LOCK_EX | LOCK_NB) == 0) {
    // Emptied while its lock is ours, so two windows starting at once do not
    // both take it.
    RemoveContents(dir);
    removed = ::unlinkat(base, name.constData(), AT_REMOVEDIR) == 0;
  }
  if (lock >= 0) ::close(lock);
  ::close(dir);
  return removed;
}

int RemoveGoneIn(const QString& place) {
  const int base = ::open(QFile::encodeName(place).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (base < 0) return 0;
  int removed = 0;
  const QStringList names =
      QDir(place).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  for (const QString& name : names)
    if (IsWorkFolderName(name) && RemoveIfGone(base, QFile::encodeName(name))) ++removed;
  ::close(base);
  return removed;
}

}  // namespace

QString MakeWorkFolder(const QString& dataDir) {
  const auto made = [](const QString& base) {
    QByteArray name = QFile::encodeName(WithSlash(base) + QStringLiteral("tomaru-XXXXXX"));
    if (!::mkdtemp(name.data())) return QString();
    const QString dir = WithSlash(QFile::decodeName(name));
    HoldLock(dir);
    return dir;
  };
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty())
    if (const QString dir = made(runtime); !dir.isEmpty()) return dir;
  QDir().mkpath(dataDir);  // a first start: the data folder may not be there yet
  return made(dataDir);
}

void RemoveWorkFolder(const QString& workDir) {
  if (workDir.isEmpty()) return;
  QDir(workDir).removeRecursively();
  LetGo(workDir);  // after: a sweep never finds this folder unlocked and half removed
}

int RemoveGoneWorkFolders(const QString& dataDir) {
  int removed = 0;
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty()) removed += RemoveGoneIn(runtime);
  removed += RemoveGoneIn(dataDir);  // the same folder twice finds nothing more
  return removed;
}
