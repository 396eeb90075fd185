#pragma once
// One file of a command-line batch: opened by the window's checks, given the
// choice through the window's choice road, patched into the bytes the window
// would save, streamed beside its target around the bytes read. Jobs share
// nothing but the picture module, so a batch runs them on every core.
#include <QByteArray>
#include <QString>
#include <optional>

#include "cli/BatchWrite.h"
#include "cli/ColorArgument.h"

class TPictureWork;

enum class TCliAction { Transparent, None, Keep, Info };

// The formats a run writes: GIF patched as the window saves it, or, with
// 8-bit alpha, animated WebP and a PNG of one frame.
enum class TSaveFormat { Gif, WebP, Png };

class TAlphaWork;

struct TBatchSettings {
  TCliAction Action = TCliAction::Transparent;
  TColorArgument Color;
  // How far the choice reaches; the matte is named as a colour is and read
  // from each file where it names an entry or a pixel.
  int Tolerance = 0;
  bool Connected = false;
  std::optional<TColorArgument> Matte;
  bool SoftEdges = false;  // --soft-edges: into alpha, or a GIF's into the matte
  bool AllFrames = true;
  bool PatchOnly = false;   // never write image data anew
  uint8_t ReduceBits = 0;   // a picture of more than 256 colours: 0 (its own palette), 8, 4 or 1
  bool Dither = true;       // its own palette reached by error diffusion
  QString WorkDir;          // the program's own private directory for the BMP road
  TPictureWork* Pictures = nullptr;  // decodes and converts; set when a file needs it
  TAlphaWork* Alpha = nullptr;       // writes WebP and PNG; set when the run writes them
  TSaveFormat Format = TSaveFormat::Gif;  // what every file of the run is written as
  TWriteRules Write;
};

// The largest input read: the header reader's positions are ints.
constexpr qint64 kMaxInputBytes = 0x7FFFFFFF - 16;

struct TBatchFile {
  QByteArray Input;        // the name as given, in bytes
  QByteArray Target;       // the final target, symlinks resolved; empty for --info
  QString Shown;           // the input as messages name it
  QString ShownTarget;
  qint64 Size = 0;         // the input's size when planned
  bool InPlace = false;    // the target is the input itself
  QString Refused;         // why this input is not done, found when it was planned
  TSaveFormat Format = TSaveFormat::Gif;
};

struct TJobOutcome {
  bool Skipped = false;  // the batch was asked to stop before this file
  QString Error;     // empty when the file was done
  QString InfoLine;  // --info: the file's line, without its end
  QString Warning;   // the file was done, but not all of it as asked (lines)
  std::optional<TPendingFile> Pending;
};

TJobOutcome RunBatchJob(const TBatchSettings& settings, const TBatchFile& file);

// The --info line: file, bytes, width, height, colours, frames, transparent
// index or "-", separated by tabs.
QString InfoLine(const QString& path, qint64 bytes, const TGifDocument& doc);

// A message that names its file: the window's messages do; others get it in front.
QString WithFileName(const QString& path, const QString& message);
