#pragma once
// Writing a batch's files safely: each new file goes beside its target under
// a short hidden name (".tomaru-XXXXXX"), taking over the target's owner,
// group, mode and extended attributes (ACLs among them); a group of them is
// made durable by one sync per file system, then each is renamed over its
// target, provided the target is still the file it was. A target is never
// seen half-written.
#include <QByteArray>
#include <QString>
#include <ctime>
#include <functional>
#include <sys/types.h>
#include <unistd.h>
#include <vector>

// What identifies a file's content on disk: a changed one differs in one of these.
struct TFileState {
  bool Exists = false;
  dev_t Dev = 0;
  ino_t Ino = 0;
  off_t Size = 0;
  timespec Modified{};
  bool operator==(const TFileState& o) const;
  bool operator!=(const TFileState& o) const { return !(*this == o); }
};
TFileState StateOf(const struct stat& st);
TFileState CurrentState(const QByteArray& path);  // follows symlinks

struct TWriteRules {
  mode_t NewFileMode = 0644;  // a target that does not exist yet
  bool BreakLinks = false;    // replace a file of several hard links
};

struct TPendingFile {
  QByteArray Temp;
  QByteArray Target;  // the final target, symlinks resolved
  QString Shown;      // the target as messages name it
  TFileState Expected;  // what the target must still be at the rename
  QString Warning;    // said on standard error when committed (owner not kept)
};

// What a plain create would give a new file; reads the umask, so call it
// before any worker thread runs.
mode_t NewFileMode();

// Writes beside target (a path whose symlinks are resolved) what write puts
// into the descriptor it is given (false, errno set, on a failure). A target
// the user may not write to, that is not a regular file or that has several
// hard links (without rules.BreakLinks) is refused. expected is the state
// the target must keep until the rename: the state read for a file edited in
// place, else the target's state now. Raises EInOutError naming shown;
// nothing is left behind then.
TPendingFile WriteBeside(const QByteArray& target, const QString& shown, const std::function<bool(int fd)>& write,
                         const TWriteRules& rules, const TFileState* readState);

// The calls that make written data durable; a test counts them.
struct TSyncCalls {
  std::function<int(int fd)> File = ::fsync;          // one file's data
  std::function<int(int fd)> FileSystem = ::syncfs;  // the file system fd lies on
};

// Makes the pending files that replace an existing file durable before they
// do: each one synced when they are few, else one sync of each file system
// they lie on. A new file is not synced: until its rename nothing is at
// stake, and after a crash the input is still there (as cp leaves it).
// Raises EInOutError.
void SyncPending(const std::vector<TPendingFile>& files, const TSyncCalls& calls = {});

// Renames the written file over its target after checking that the target
// is still as expected; raises Exception otherwise (the target then stays as
// it was, and the written file is removed).
void CommitPending(const TPendingFile& file);

void DiscardPending(const TPendingFile& file);
