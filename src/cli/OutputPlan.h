#pragma once
// Where each input of a batch is written, checked before anything is: an
// output directory that exists, no output that is an input (unless replacing
// inputs was asked for), no two inputs written to one place.
#include <QString>
#include <QStringList>
#include <vector>

#include "cli/BatchJob.h"

struct TOutputRequest {
  QString Output;  // -o: a file (one input) or an existing directory
  QString Suffix;  // --suffix: "name" + Suffix + ".gif" beside each input
  bool SuffixSet = false;
  bool InPlace = false;
};

struct TOutputPlan {
  std::vector<TBatchFile> Files;
  QString UsageError;  // empty when the plan holds
};

TOutputPlan PlanOutputs(const QStringList& inputs, const TOutputRequest& request);

// The name a GIF made from input takes in a directory: a BMP becomes a .gif.
QString OutputFileName(const QString& input);
