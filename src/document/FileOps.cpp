#include "document/FileOps.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <limits>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "document/Exception.h"
#include "document/FileErrors.h"

namespace {

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

// Every directory of the path, as mkdir -p; 0 or the errno of the failure.
int MakeDirs(const QString& dir) {
  const QStringList parts = QDir::cleanPath(dir).split(QLatin1Char('/'));
  QString path;
  for (qsizetype i = 0; i < parts.size(); ++i) {
    path += (i == 0 ? QString() : QStringLiteral("/")) + parts[i];
    if (path.isEmpty()) continue;  // the root of an absolute path
    if (::mkdir(Native(path).constData(), 0777) == 0) continue;
    const int code = errno;
    struct stat st;
    if (code == EEXIST && ::stat(Native(path).constData(), &st) == 0) {
      if (S_ISDIR(st.st_mode)) continue;
      return ENOTDIR;
    }
    return code;
  }
  return 0;
}

// Mode for the replacement: the old file's, or what a plain create would give.
mode_t TargetMode(const QByteArray& target) {
  struct stat st;
  if (::stat(target.constData(), &st) == 0) return st.st_mode & 07777;
  mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// A large file read whole faults in one page of 4 KB at a time, which costs
// as much as reading it: huge pages, where the system lends them on request,
// take it in a few hundred faults.
void AskHugePages(char* data, size_t size) {
  constexpr uintptr_t kHuge = uintptr_t(2) << 20;
  if (size < 2 * kHuge) return;
  const uintptr_t from = (reinterpret_cast<uintptr_t>(data) + kHuge - 1) & ~(kHuge - 1);
  const uintptr_t to = (reinterpret_cast<uintptr_t>(data) + size) & ~(kHuge - 1);
  if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
}

}  // namespace

bool WriteAllTo(int fd, const QByteArray& data) {
  const char* p = data.constData();
  qint64 left = data.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, size_t(left));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= n;
  }
  return true;
}

bool WriteAllTo(int fd, std::vector<iovec> pieces) {
  size_t next = 0;
  while (next < pieces.size()) {
    const int count = int(std::min<size_t>(pieces.size() - next, IOV_MAX));
    ssize_t n = ::writev(fd, pieces.data() + next, count);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    // A short write leaves the rest of a piece, and the pieces after it.
    while (next < pieces.size() && size_t(n) >= pieces[next].iov_len) n -= ssize_t(pieces[next++].iov_len);
    if (next < pieces.size()) {
      pieces[next].iov_base = static_cast<char*>(pieces[next].iov_base) + n;
      pieces[next].iov_len -= size_t(n);
    }
  }
  return true;
}

TFileEntry FindFile(const QString& fileName) {
  struct stat st;
  if (fileName.isEmpty()) RaiseFileError(TFileAction::Read, fileName, ENOENT);
  if (::stat(Native(fileName).constData(), &st) != 0) RaiseFileError(TFileAction::Read, fileName, errno);
  TFileEntry e;
  e.Size = st.st_size;
  e.Modified = QDateTime::fromSecsSinceEpoch(st.st_mtime);
  e.IsDir = S_ISDIR(st.st_mode);
  return e;
}

int OpenRegularFile(const QByteArray& nativePath, const QString& shownName, qint64 limit, struct stat& st) {
  if (nativePath.isEmpty()) RaiseFileError(TFileAction::Read, shownName, ENOENT);
  const int fd = ::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) RaiseFileError(TFileAction::Read, shownName, errno);
  if (::fstat(fd, &st) != 0) {
    const int code = errno;
    ::close(fd);
    RaiseFileError(TFileAction::Read, shownName, code);
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    if (S_ISDIR(st.st_mode)) RaiseFileError(TFileAction::Read, shownName, EISDIR);
    RaiseReadRefusal(shownName, NotRegularFileReason(st.st_mode), EINVAL);
  }
  if (st.st_size > limit) {
    ::close(fd);
    RaiseReadRefusal(shownName, TooLargeReason(st.st_size, limit), EFBIG);
  }
  return fd;
}

QByteArray ReadRegularFile(const QByteArray& nativePath, const QString& shownName, qint64 limit, struct stat& st) {
  const int fd = OpenRegularFile(nativePath, shownName, limit, st);
  QByteArray out(qsizetype(st.st_size), Qt::Uninitialized);
  AskHugePages(out.data(), size_t(out.size()));
  qsizetype got = 0;
  while (got < out.size()) {
    const ssize_t n = ::read(fd, out.data() + got, size_t(out.size() - got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int code = errno;
      ::close(fd);
      RaiseFileError(TFileAction::Read, shownName, code);
    }
    if (n == 0) break;  // the file shrank meanwhile: what it holds now
    got += n;
  }
  ::close(fd);
  out.truncate(got);
  return out;
}

QByteArray LoadStringFromFile(const QString& fileName) {
  struct stat st;
  return ReadRegularFile(Native(fileName), fileName, std::numeric_limits<qsizetype>::max(), st);
}

void SaveStringToFile(const QString& fileName, const QByteArray& data) {
  SaveToFile(fileName, [&data](int fd) { return WriteAllTo(fd, data); });
}

void SaveToFile(const QString& fileName, const std::function<bool(int fd)>& write) {
  const QString dir = QFileInfo(fileName).path();
  if (!dir.isEmpty() && !QFileInfo(dir).isDir())
    if (const int code = MakeDirs(dir)) RaiseFileError(TFileAction::MakeDir, dir, code);

  // Write a sibling first and rename it over the target, so the target is
  // never seen half-written, whatever goes wrong on the way.
  const QByteArray target = Native(fileName);
  // Renaming needs only the directory's permission; a file the user made
  // read-only is refused as a plain write to it would be, not replaced.
  if (::access(target.constData(), F_OK) == 0 && ::access(target.constData(), W_OK) != 0)
    RaiseFileError(TFileAction::Write, fileName, errno);
  QByteArray temp = target + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) RaiseFileError(TFileAction::Write, fileName, errno);
  int code = 0;
  if (!write(fd) || ::fchmod(fd, TargetMode(target)) != 0 || ::fsync(fd) != 0) code = errno;
  if (::close(fd) != 0 && code == 0) code = errno;
  if (code == 0 && ::rename(temp.constData(), target.constData()) != 0) code = errno;
  if (code != 0) {
    ::unlink(temp.constData());
    RaiseFileError(TFileAction::Write, fileName, code);
  }
}

qint64 CheckFileSize(const QString& fileName) {
  struct stat st;
  if (fileName.isEmpty() || ::stat(Native(fileName).constData(), &st) != 0) return -1;
  return st.st_size;
}

bool FileExists(const QString& fileName) {
  QFileInfo fi(fileName);
  return !fileName.isEmpty() && fi.exists() && !fi.isDir();
}

bool DirectoryExists(const QString& dir) { return QFileInfo(dir).isDir(); }

void ForceDirectories(const QString& dir) {
  if (dir.isEmpty() || QFileInfo(dir).isDir()) return;
  if (const int code = MakeDirs(dir)) RaiseFileError(TFileAction::MakeDir, dir, code);
}

QString ExtractFileName(const QString& fileName) {
  const int slash = fileName.lastIndexOf(QLatin1Char('/'));
  return fileName.mid(slash + 1);
}

QString ExtractFileExt(const QString& fileName) {
  const QString name = ExtractFileName(fileName);
  const int dot = name.lastIndexOf(QLatin1Char('.'));
  return dot < 0 ? QString() : name.mid(dot);
}

QString ExtractFilePath(const QString& fileName) {
  const int slash = fileName.lastIndexOf(QLatin1Char('/'));
  return fileName.left(slash + 1);
}
