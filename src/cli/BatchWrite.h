#pragma once
// Writing a batch's files safely and quickly: each new file goes beside its
// target first, one sync makes them all durable, then each is renamed over
// its target. A target is never seen half-written, and the batch pays for one
// sync rather than one per file.
#include <QByteArray>
#include <QString>
#include <sys/types.h>
#include <vector>

struct TPendingFile {
  QString Temp;
  QString Target;
};

// What a plain create would give a new file; reads the umask, so call it
// before any worker thread runs.
mode_t NewFileMode();

// Writes data to a new sibling of target with target's mode (newFileMode when
// target does not exist yet). A target the user may not write to is refused,
// as a plain write would be. Raises EInOutError naming target; nothing is left behind then.
TPendingFile WriteBeside(const QString& target, const QByteArray& data, mode_t newFileMode);

// One sync of each file system the pending files lie on. Raises EInOutError.
void SyncPending(const std::vector<TPendingFile>& files);

// Renames the written file over its target; raises EInOutError (the target
// then stays as it was, and the written file is removed).
void CommitPending(const TPendingFile& file);

void DiscardPending(const TPendingFile& file);
