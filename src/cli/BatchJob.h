#pragma once
// One file of a command-line batch: opened by the window's checks, given the
// choice through the window's choice road, patched into the bytes the window
// would save, and written beside its target. Jobs share nothing but the BMP
// road, so a batch runs them on every core.
#include <QString>
#include <optional>

#include "cli/BatchWrite.h"
#include "cli/ColorArgument.h"

enum class TCliAction { Transparent, None, Info };

struct TBatchSettings {
  TCliAction Action = TCliAction::Transparent;
  TColorArgument Color;
  bool AllFrames = true;
  uint8_t ReduceBits = 0;   // a picture of more than 256 colours: 0 (its own palette), 8, 4 or 1
  bool Dither = true;       // its own palette reached by error diffusion
  QString WorkDir;          // the program's own private directory for the BMP road
  mode_t NewFileMode = 0644;
};

struct TBatchFile {
  QString Input;
  QString Target;  // empty for --info
};

struct TJobOutcome {
  QString Error;     // empty when the file was done
  QString InfoLine;  // --info: the file's line, without its end
  std::optional<TPendingFile> Pending;
};

TJobOutcome RunBatchJob(const TBatchSettings& settings, const TBatchFile& file);

// The --info line: file, bytes, width, height, colours, frames, transparent
// index or "-", separated by tabs.
QString InfoLine(const QString& path, qint64 bytes, const TGifDocument& doc);

// A message that names its file: the window's messages do; others get it in front.
QString WithFileName(const QString& path, const QString& message);
