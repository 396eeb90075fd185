#include "cli/OutputPlan.h"

#include <QCoreApplication>
#include <QCryptographicHash>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

#include "cli/FileNames.h"

namespace {

QByteArray NameOf(const QByteArray& path) { return path.mid(path.lastIndexOf('/') + 1); }

QByteArray FolderOf(const QByteArray& path) {
  const int slash = path.lastIndexOf('/');
  if (slash < 0) return ".";
  return slash == 0 ? QByteArray("/") : path.left(slash);
}

QByteArray BaseName(const QByteArray& path) {
  const QByteArray name = NameOf(path);
  const int dot = name.lastIndexOf('.');
  return dot < 0 ? name : name.left(dot);
}

bool IsDirectory(const QByteArray& path) {
  struct stat st;
  return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const QByteArray& path) {
  struct stat st;
  return ::stat(path.constData(), &st) == 0;
}

std::optional<QByteArray> RealPath(const QByteArray& path) {
  char buffer[PATH_MAX];
  if (!::realpath(path.constData(), buffer)) return std::nullopt;
  return QByteArray(buffer);
}

QByteArray ExtensionOf(TSaveFormat format) {
  return format == TSaveFormat::WebP ? ".webp" : format == TSaveFormat::Png ? ".png" : ".gif";
}

QByteArray TargetOf(const QByteArray& input, const TOutputRequest& request, bool intoDirectory, TSaveFormat format) {
  if (request.InPlace) return input;
  if (request.SuffixSet) {
    const QByteArray folder = input.contains('/') ? FolderOf(input) + '/' : QByteArray();
    return folder + BaseName(input) + request.Suffix + ExtensionOf(format);
  }
  if (intoDirectory) return request.Output + (request.Output.endsWith('/') ? "" : "/") + OutputFileName(input, format);
  return request.Output;
}

QString Quoted(const QByteArray& path) { return QCoreApplication::translate("OutputPlan", "「%1」").arg(ShownName(path)); }

qint64 SizeOf(const QByteArray& path) {
  struct stat st;
  return ::stat(path.constData(), &st) == 0 ? qint64(st.st_size) : 0;
}

}  // namespace

bool IsConvertedName(const QByteArray& path) {
  const QByteArray lower = path.toLower();
  return lower.endsWith(".bmp") || lower.endsWith(".png") || lower.endsWith(".jpg") || lower.endsWith(".jpeg");
}

QByteArray OutputFileName(const QByteArray& input, TSaveFormat format) {
  return IsConvertedName(input) || format != TSaveFormat::Gif ? BaseName(input) + ExtensionOf(format) : NameOf(input);
}

TSaveFormat FormatOfName(const QByteArray& path) {
  const QByteArray lower = path.toLower();
  return lower.endsWith(".webp") ? TSaveFormat::WebP : lower.endsWith(".png") ? TSaveFormat::Png : TSaveFormat::Gif;
}

QByteArray ResolvedTarget(const QByteArray& path) {
  if (const auto real = RealPath(path)) return *real;
  const auto folder = RealPath(FolderOf(path));
  if (!folder) return path;
  return *folder + (folder->endsWith('/') ? "" : "/") + NameOf(path);
}

// A place on disk: the folder's device and inode and the name in it. A file
// that exists is also known by its own inode (and no name), so two links to
// one file are seen as one input.
TOutputPlanner::TPlace TOutputPlanner::Digest(dev_t dev, ino_t ino, const QByteArray& name) {
  QCryptographicHash hash(QCryptographicHash::Md5);
  const quint64 numbers[] = {quint64(dev), quint64(ino)};
  hash.addData(QByteArrayView(reinterpret_cast<const char*>(numbers), sizeof numbers));
  hash.addData(name);
  const QByteArray digest = hash.result();
  TPlace place;
  std::memcpy(&place.first, digest.constData(), 8);
  std::memcpy(&place.second, digest.constData() + 8, 8);
  return place;
}

TOutputPlanner::TPlace TOutputPlanner::PlaceOf(const QByteArray& resolved) {
  struct stat st;
  if (::stat(FolderOf(resolved).constData(), &st) != 0) return Digest(0, 0, resolved);
  return Digest(st.st_dev, st.st_ino, NameOf(resolved));
}

std::optional<TOutputPlanner::TPlace> TOutputPlanner::FileOf(const QByteArray& path) {
  struct stat st;
  if (::stat(path.constData(), &st) != 0) return std::nullopt;
  return Digest(st.st_dev, st.st_ino, QByteArray());
}

TOutputPlanner::TOutputPlanner(const TOutputRequest& request) : Request(request) {
  IntoDirectory = !request.InPlace && !request.SuffixSet && IsDirectory(request.Output);
  const bool intoFile = !request.InPlace && !request.SuffixSet && !IntoDirectory;
  Written = request.Format ? *request.Format : intoFile ? FormatOfName(request.Output) : TSaveFormat::Gif;
}

QString TOutputPlanner::OutputProblem(bool severalInputs) const {
  if (Request.InPlace || Request.SuffixSet || IntoDirectory) return QString();
  if (severalInputs) {
    if (Exists(Request.Output))
      return QCoreApplication::translate("OutputPlan", "-o の%1はフォルダではありません。入力が複数のときは、既存のフォルダを指定してください。")
          .arg(Quoted(Request.Output));
    return QCoreApplication::translate("OutputPlan", "出力先のフォルダ%1が存在しません。").arg(Quoted(Request.Output));
  }
  const QByteArray parent = FolderOf(Request.Output);
  if (!IsDirectory(parent)) return QCoreApplication::translate("OutputPlan", "出力先のフォルダ%1が存在しません。").arg(Quoted(parent));
  return QString();
}

void TOutputPlanner::KnowInput(const QByteArray& input) {
  InputPlaces.insert(PlaceOf(ResolvedTarget(input)));
  if (const auto file = FileOf(input)) InputPlaces.insert(*file);
}

void TOutputPlanner::KnowInputs(const QList<QByteArray>& inputs) {
  for (const QByteArray& input : inputs) KnowInput(input);
}

TBatchFile TOutputPlanner::Plan(const QByteArray& input) {
  TBatchFile planned{input, QByteArray(), ShownName(input), QString(), SizeOf(input), Request.InPlace, QString(), Written};
  if (Request.InPlace && IsConvertedName(input)) {
    planned.Refused = QCoreApplication::translate("OutputPlan", "BMP ファイル%1は GIF で置き換えられません。-o か --suffix を使ってください。")
                          .arg(Quoted(input));
    return planned;
  }
  const TPlace inputPlace = PlaceOf(ResolvedTarget(input));
  // An input streamed after the file it names was planned as a target: it
  // would be read as this run left it, or half-way.
  if (!Request.InPlace && Targets.count(inputPlace)) {
    planned.Refused = QCoreApplication::translate("OutputPlan", "入力%1は、この実行で先に出力先になったファイルです。").arg(Quoted(input));
    return planned;
  }
  KnowInput(input);
  const QByteArray target = TargetOf(input, Request, IntoDirectory, Written);
  const QByteArray resolved = ResolvedTarget(target);
  const TPlace place = PlaceOf(resolved);
  const auto file = FileOf(resolved);
  if (!Request.InPlace && (InputPlaces.count(place) || (file && InputPlaces.count(*file)))) {
    planned.Refused = QCoreApplication::translate("OutputPlan", "出力先%1は入力ファイルです。入力を置き換えるのは --in-place のときだけです。")
                          .arg(Quoted(target));
  } else if (!Targets.insert(place).second) {
    planned.Refused = QCoreApplication::translate("OutputPlan", "出力先%1に複数の入力が書かれます。").arg(Quoted(target));
  } else {
    planned.Target = resolved;
    planned.ShownTarget = ShownName(target);
  }
  return planned;
}
