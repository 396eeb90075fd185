#pragma once
// Where each input of a batch is written, checked before anything is: an
// output directory that exists, no output that is an input (unless replacing
// inputs was asked for), no two inputs written to one place. Places are
// compared by what they are on disk (the folder's device and inode and the
// name in it, symlinks followed), not by the text of their paths.
#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <unordered_set>
#include <utility>
#include <sys/types.h>
#include <vector>

#include "cli/BatchJob.h"

struct TOutputRequest {
  QByteArray Output;  // -o: a file (one input) or an existing directory
  QByteArray Suffix;  // --suffix: "name" + Suffix + ".gif" (or the format's extension) beside each input
  bool SuffixSet = false;
  bool InPlace = false;
  std::optional<TSaveFormat> Format;  // --format; else -o FILE's extension, else GIF
};

// Each input is checked against every input and target planned before it,
// so a batch can stream its inputs. Inputs known from the start are all
// checked before anything is written; for an input that comes later, a
// conflict refuses only that input, and what conflicts with a later input is
// found when the later one comes: no file is both read and written by one
// run, and no target is written twice, whatever the order.
class TOutputPlanner {
 public:
  explicit TOutputPlanner(const TOutputRequest& request);
  // A problem with the output itself, given whether there are several inputs in all.
  QString OutputProblem(bool severalInputs) const;
  // The format every file of the run is written in.
  TSaveFormat Format() const { return Written; }
  // Inputs known from the start: no target may be one of them.
  void KnowInputs(const QList<QByteArray>& inputs);
  // The file for input; Refused says why it cannot be done.
  TBatchFile Plan(const QByteArray& input);

 private:
  // A place kept by a 128-bit digest of what identifies it: a batch of a
  // million files keeps tens of bytes for each, not its names.
  using TPlace = std::pair<quint64, quint64>;
  struct TPlaceHash {
    size_t operator()(const TPlace& place) const { return size_t(place.first); }
  };
  static TPlace Digest(dev_t dev, ino_t ino, const QByteArray& name);
  static TPlace PlaceOf(const QByteArray& resolved);
  static std::optional<TPlace> FileOf(const QByteArray& path);
  void KnowInput(const QByteArray& input);
  TOutputRequest Request;
  bool IntoDirectory = false;
  TSaveFormat Written = TSaveFormat::Gif;
  std::unordered_set<TPlace, TPlaceHash> InputPlaces, Targets;
};

// The name a file made from input takes in a directory: a BMP becomes a
// .gif, and any input saved as WebP or PNG takes that extension.
QByteArray OutputFileName(const QByteArray& input, TSaveFormat format = TSaveFormat::Gif);

// The format a file name's extension names: .webp, .png, else GIF.
TSaveFormat FormatOfName(const QByteArray& path);

bool IsConvertedName(const QByteArray& path);

// The file a write to path lands on: symlinks followed to the final target,
// also when that does not exist yet (then through its folder).
QByteArray ResolvedTarget(const QByteArray& path);
