#pragma once
// Where each input of a batch is written, checked before anything is: an
// output directory that exists, no output that is an input (unless replacing
// inputs was asked for), no two inputs written to one place. Places are
// compared by what they are on disk (the folder's device and inode and the
// name in it, symlinks followed), not by the text of their paths.
#include <QByteArray>
#include <QList>
#include <QString>
#include <vector>

#include "cli/BatchJob.h"

struct TOutputRequest {
  QByteArray Output;  // -o: a file (one input) or an existing directory
  QByteArray Suffix;  // --suffix: "name" + Suffix + ".gif" beside each input
  bool SuffixSet = false;
  bool InPlace = false;
};

struct TOutputPlan {
  std::vector<TBatchFile> Files;
  QString UsageError;  // empty when the plan holds
};

TOutputPlan PlanOutputs(const QList<QByteArray>& inputs, const TOutputRequest& request);

// The name a GIF made from input takes in a directory: a BMP becomes a .gif.
QByteArray OutputFileName(const QByteArray& input);

bool IsConvertedName(const QByteArray& path);

// The file a write to path lands on: symlinks followed to the final target,
// also when that does not exist yet (then through its folder).
QByteArray ResolvedTarget(const QByteArray& path);
