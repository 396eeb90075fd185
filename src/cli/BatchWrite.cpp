#include "cli/BatchWrite.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include "document/FileErrors.h"
#include "document/FileOps.h"

namespace {

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

}  // namespace

mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

TPendingFile WriteBeside(const QString& target, const QByteArray& data, mode_t newFileMode) {
  const QByteArray path = Native(target);
  struct stat st;
  const bool exists = ::stat(path.constData(), &st) == 0;
  if (exists && ::access(path.constData(), W_OK) != 0) RaiseFileError(TFileAction::Write, target, errno);
  QByteArray temp = path + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) RaiseFileError(TFileAction::Write, target, errno);
  int code = 0;
  if (!WriteAllTo(fd, data) || ::fchmod(fd, exists ? (st.st_mode & 07777) : newFileMode) != 0) code = errno;
  if (::close(fd) != 0 && code == 0) code = errno;
  if (code != 0) {
    ::unlink(temp.constData());
    RaiseFileError(TFileAction::Write, target, code);
  }
  return {QFile::decodeName(temp), target};
}

void SyncPending(const std::vector<TPendingFile>& files) {
  std::set<dev_t> synced;
  for (const TPendingFile& file : files) {
    const QByteArray dir = Native(QFileInfo(file.Temp).path());
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) RaiseFileError(TFileAction::Write, file.Target, errno);
    struct stat st;
    int code = 0;
    if (::fstat(fd, &st) != 0)
      code = errno;
    else if (synced.insert(st.st_dev).second && ::syncfs(fd) != 0)
      code = errno;
    ::close(fd);
    if (code != 0) RaiseFileError(TFileAction::Write, file.Target, code);
  }
}

void CommitPending(const TPendingFile& file) {
  if (::rename(Native(file.Temp).constData(), Native(file.Target).constData()) == 0) return;
  const int code = errno;
  DiscardPending(file);
  RaiseFileError(TFileAction::Write, file.Target, code);
}

void DiscardPending(const TPendingFile& file) { ::unlink(Native(file.Temp).constData()); }
