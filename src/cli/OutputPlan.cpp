#include "cli/OutputPlan.h"

#include <QDir>
#include <QFileInfo>
#include <set>
#include <sys/stat.h>

#include "document/FileOpen.h"
#include "document/FileOps.h"

namespace {

bool IsBmp(const QString& path) { return IsConvertedOnOpen(path); }

// Identity of a place on disk: the file's device and inode when it exists
// (so links to one file are one place), else its cleaned absolute path.
struct TPlace {
  dev_t Dev = 0;
  ino_t Ino = 0;
  QString Path;
  bool operator<(const TPlace& o) const {
    return std::tie(Dev, Ino, Path) < std::tie(o.Dev, o.Ino, o.Path);
  }
};

TPlace PlaceOf(const QString& path) {
  struct stat st;
  if (::stat(QFile::encodeName(path).constData(), &st) == 0) return {st.st_dev, st.st_ino, QString()};
  return {0, 0, QDir::cleanPath(QFileInfo(path).absoluteFilePath())};
}

QString TargetOf(const QString& input, const TOutputRequest& request, bool intoDirectory) {
  if (request.InPlace) return input;
  const QFileInfo info(input);
  if (request.SuffixSet) return info.dir().filePath(info.completeBaseName() + request.Suffix + QStringLiteral(".gif"));
  if (intoDirectory) return QDir(request.Output).filePath(OutputFileName(input));
  return request.Output;
}

QString Quoted(const QString& path) { return QStringLiteral("「") + path + QStringLiteral("」"); }

}  // namespace

QString OutputFileName(const QString& input) {
  const QFileInfo info(input);
  return IsBmp(input) ? info.completeBaseName() + QStringLiteral(".gif") : info.fileName();
}

TOutputPlan PlanOutputs(const QStringList& inputs, const TOutputRequest& request) {
  TOutputPlan plan;
  const bool toOutput = !request.InPlace && !request.SuffixSet;
  const bool intoDirectory = toOutput && DirectoryExists(request.Output);
  if (toOutput && !intoDirectory) {
    if (inputs.size() > 1) {
      plan.UsageError = QStringLiteral("出力先のフォルダ") + Quoted(request.Output) + QStringLiteral("が存在しません。");
      return plan;
    }
    const QString parent = QFileInfo(request.Output).path();
    if (!DirectoryExists(parent)) {
      plan.UsageError = QStringLiteral("出力先のフォルダ") + Quoted(parent) + QStringLiteral("が存在しません。");
      return plan;
    }
  }
  std::set<TPlace> inputPlaces, targets;
  for (const QString& input : inputs) inputPlaces.insert(PlaceOf(input));
  for (const QString& input : inputs) {
    if (request.InPlace && IsBmp(input)) {
      plan.UsageError = QStringLiteral("BMP ファイル") + Quoted(input) +
                        QStringLiteral("は GIF で置き換えられません。-o か --suffix を使ってください。");
      return plan;
    }
    const QString target = TargetOf(input, request, intoDirectory);
    const TPlace place = PlaceOf(target);
    if (!request.InPlace && inputPlaces.count(place)) {
      plan.UsageError = QStringLiteral("出力先") + Quoted(target) +
                        QStringLiteral("は入力ファイルです。入力を置き換えるのは --in-place のときだけです。");
      return plan;
    }
    if (!targets.insert(place).second) {
      plan.UsageError = QStringLiteral("出力先") + Quoted(target) + QStringLiteral("に複数の入力が書かれます。");
      return plan;
    }
    plan.Files.push_back({input, target});
  }
  return plan;
}
