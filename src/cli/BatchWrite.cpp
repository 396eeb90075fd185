#include "cli/BatchWrite.h"

#include <QCoreApplication>
#include <cerrno>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "document/Exception.h"
#include "document/FileErrors.h"
#include "document/FileOps.h"

namespace {

QByteArray FolderOf(const QByteArray& path) {
  const int slash = path.lastIndexOf('/');
  if (slash < 0) return ".";
  return slash == 0 ? QByteArray("/") : path.left(slash);
}

// Every extended attribute of from (a path, not a link) copied onto fd; 0 or the errno.
int CopyAttributes(const QByteArray& from, int fd) {
  ssize_t size = ::listxattr(from.constData(), nullptr, 0);
  if (size < 0) return errno == ENOTSUP ? 0 : errno;
  QByteArray names(size, '\0');
  size = ::listxattr(from.constData(), names.data(), size_t(names.size()));
  if (size < 0) return errno;
  for (const QByteArray& name : names.left(size).split('\0')) {
    if (name.isEmpty()) continue;
    const ssize_t valueSize = ::getxattr(from.constData(), name.constData(), nullptr, 0);
    if (valueSize < 0) {
      if (errno == ENODATA) continue;  // removed meanwhile
      return errno;
    }
    QByteArray value(valueSize, '\0');
    const ssize_t got = ::getxattr(from.constData(), name.constData(), value.data(), size_t(value.size()));
    if (got < 0) return errno;
    if (::fsetxattr(fd, name.constData(), value.constData(), size_t(got), 0) != 0) return errno;
  }
  return 0;
}

// Gives fd the owner and group of old. Where the owner (or group) cannot be
// kept, the set-uid and set-gid bits go: they would grant the new owner's
// rights. Answers the mode to set and whether ownership was kept.
mode_t TakeOwnership(int fd, const struct stat& old, bool& kept) {
  mode_t mode = old.st_mode & 07777;
  struct stat now;
  if (::fstat(fd, &now) != 0) now.st_uid = uid_t(-1);
  kept = true;
  if (now.st_uid == old.st_uid && now.st_gid == old.st_gid) return mode;
  if (::fchown(fd, old.st_uid, old.st_gid) == 0) return mode;
  // Not root: the group alone may still be ours to give.
  kept = false;
  ::fchown(fd, uid_t(-1), old.st_gid);
  return mode & ~mode_t(S_ISUID | S_ISGID);
}

QString ChangedMessage(const QString& shown) {
  return QCoreApplication::translate("BatchWrite", "ファイル「%1」は読み込んだ後に変更されたため、置き換えませんでした。").arg(shown);
}

}  // namespace

bool TFileState::operator==(const TFileState& o) const {
  if (Exists != o.Exists) return false;
  return !Exists || (Dev == o.Dev && Ino == o.Ino && Size == o.Size && Modified.tv_sec == o.Modified.tv_sec &&
                     Modified.tv_nsec == o.Modified.tv_nsec);
}

TFileState StateOf(const struct stat& st) { return {true, st.st_dev, st.st_ino, st.st_size, st.st_mtim}; }

TFileState CurrentState(const QByteArray& path) {
  struct stat st;
  return ::stat(path.constData(), &st) == 0 ? StateOf(st) : TFileState{};
}

mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

TPendingFile WriteBeside(const QByteArray& target, const QString& shown, const std::function<bool(int fd)>& write,
                         const TWriteRules& rules, const TFileState* readState) {
  struct stat old;
  const bool exists = ::stat(target.constData(), &old) == 0;
  if (exists) {
    if (S_ISDIR(old.st_mode)) RaiseFileError(TFileAction::Write, shown, EISDIR);
    if (!S_ISREG(old.st_mode))
      throw Exception(QCoreApplication::translate("BatchWrite", "ファイル「%1」を保存できませんでした。\n(%2)").arg(shown, NotRegularFileReason(old.st_mode)));
    if (::access(target.constData(), W_OK) != 0) RaiseFileError(TFileAction::Write, shown, errno);
    if (old.st_nlink > 1 && !rules.BreakLinks)
      throw Exception(QCoreApplication::translate("BatchWrite", "ファイル「%1」には %2 個のハードリンクがあるため、置き換えませんでした。"
                                     "リンクを切って置き換えるには --break-links を指定してください。")
                          .arg(shown)
                          .arg(old.st_nlink));
  }
  TPendingFile pending{FolderOf(target) + "/.tomaru-XXXXXX", target, shown, {}, {}};
  pending.Expected = readState ? *readState : exists ? StateOf(old) : TFileState{};
  if (exists && pending.Expected != StateOf(old))
    throw Exception(ChangedMessage(shown));
  const int fd = ::mkostemp(pending.Temp.data(), O_CLOEXEC);
  if (fd < 0) RaiseFileError(TFileAction::Write, shown, errno);
  int code = 0;
  mode_t mode = rules.NewFileMode;
  bool ownerKept = true;
  if (!write(fd)) code = errno;
  if (code == 0 && exists) {
    mode = TakeOwnership(fd, old, ownerKept);
    code = CopyAttributes(target, fd);
  }
  if (code == 0 && ::fchmod(fd, mode) != 0) code = errno;
  if (::close(fd) != 0 && code == 0) code = errno;
  if (code != 0) {
    ::unlink(pending.Temp.constData());
    RaiseFileError(TFileAction::Write, shown, code);
  }
  if (!ownerKept)
    pending.Warning = QCoreApplication::translate("BatchWrite", "ファイル「%1」の所有者を保てなかったため、所有者は実行したユーザーになり、"
                                     "set-uid と set-gid は外しました。")
                          .arg(shown);
  return pending;
}

void SyncPending(const std::vector<TPendingFile>& files, const TSyncCalls& calls) {
  std::vector<const TPendingFile*> replacing;
  for (const TPendingFile& file : files)
    if (file.Expected.Exists) replacing.push_back(&file);
  // A few files are synced one by one: a whole file system's sync also waits
  // for every other program's writes, which a one-file run should not pay.
  constexpr size_t kFewFiles = 4;
  const bool oneByOne = replacing.size() <= kFewFiles;
  std::set<dev_t> synced;
  for (const TPendingFile* file : replacing) {
    const int fd = oneByOne ? ::open(file->Temp.constData(), O_RDONLY | O_CLOEXEC)
                            : ::open(FolderOf(file->Temp).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) RaiseFileError(TFileAction::Write, file->Shown, errno);
    struct stat st;
    int code = 0;
    if (oneByOne) {
      if (calls.File(fd) != 0) code = errno;
    } else if (::fstat(fd, &st) != 0) {
      code = errno;
    } else if (synced.insert(st.st_dev).second && calls.FileSystem(fd) != 0) {
      code = errno;
    }
    ::close(fd);
    if (code != 0) RaiseFileError(TFileAction::Write, file->Shown, code);
  }
}

void CommitPending(const TPendingFile& file) {
  if (CurrentState(file.Target) != file.Expected) {
    DiscardPending(file);
    throw Exception(ChangedMessage(file.Shown));
  }
  if (::rename(file.Temp.constData(), file.Target.constData()) == 0) return;
  const int code = errno;
  DiscardPending(file);
  RaiseFileError(TFileAction::Write, file.Shown, code);
}

void DiscardPending(const TPendingFile& file) { ::unlink(file.Temp.constData()); }
