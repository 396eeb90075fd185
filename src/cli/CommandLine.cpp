#include "cli/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtConcurrent/QtConcurrentMap>
#include <algorithm>
#include <cstdio>
#include <deque>
#include <tuple>
#include <memory>

#include "cli/AlphaModule.h"
#include "cli/BatchJob.h"
#include "cli/FileNames.h"
#include "cli/NameList.h"
#include "cli/OutputPlan.h"
#include "cli/StopSignals.h"
#include "document/Exception.h"
#include "document/Language.h"
#include "cli/PictureModule.h"

namespace {

enum TExit { ExitDone = 0, ExitSomeFailed = 1, ExitUsage = 2 };

// A batch is committed in groups: it needs room for one group's new files,
// not for all of them, and pays one sync per file system per group.
constexpr size_t kGroupFiles = 256;
constexpr qint64 kGroupBytes = qint64(64) << 20;

// A line on standard output or error; a failed write stops the batch.
void Print(FILE* to, const QString& line) {
  const QByteArray bytes = line.toUtf8() + '\n';
  if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), to) != size_t(bytes.size()) || std::ferror(to))
    StopForBrokenOutput();
}

void FlushOutput() {
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) StopForBrokenOutput();
}

int UsageError(const QString& message) {
  Print(stderr, QStringLiteral("tomaru: ") + message);
  Print(stderr, QCoreApplication::translate("CommandLine", "使い方は tomaru --help で表示します。"));
  return ExitUsage;
}

struct TOptions {
  QCommandLineOption Transparent{QStringLiteral("transparent"),
                                 QCoreApplication::translate("CommandLine", "COLOR を透過色にします: #RRGGBB、RRGGBB、色の名前 (white)、"
                                                "index:N (パレットの N 番)、pixel:X,Y (最初のフレームの画素)。"),
                                 QStringLiteral("COLOR")};
  QCommandLineOption Fuzz{QStringLiteral("fuzz"),
                          QCoreApplication::translate("CommandLine", "--transparent の色に近い色も透過にします: N は 0 から 100 まで "
                                         "(RGB の距離を、黒から白までの距離に対する % で。既定の 0 は同じ色だけ)。"),
                          QStringLiteral("N")};
  QCommandLineOption Connected{QStringLiteral("connected"),
                               QCoreApplication::translate("CommandLine", "--transparent で透過にするのを、画像のフチからつながった部分 "
                                              "(背景) だけにします。絵の中の同じ色は残ります。")};
  QCommandLineOption Matte{QStringLiteral("matte"),
                           QCoreApplication::translate("CommandLine", "GIF で、透過した部分とのフチの色を、COLOR のページに置いたときに"
                                          "なじむように塗り替えます。COLOR は --transparent と同じ書き方です。"
                                          "WebP と PNG では使えません (--soft-edges がどのページにもなじませます)。"),
                           QStringLiteral("COLOR")};
  QCommandLineOption SoftEdges{QStringLiteral("soft-edges"),
                               QCoreApplication::translate("CommandLine", "透過した部分とのフチを、絵の色と透明度に分けます。WebP と PNG では"
                                              "半透明のフチになり、どの色のページでもなじみます。GIF では --matte の色に"
                                              "なじませます (--matte が必要です)。")};
  QCommandLineOption Format{QStringLiteral("format"),
                            QCoreApplication::translate("CommandLine", "書き出す形式: gif、webp (アニメーションも、透明度 8 ビット)、"
                                           "png (1 フレームだけ、透明度 8 ビット)。-o のフォルダと --suffix の形式を選び、"
                                           "-o のファイルの拡張子より優先します (既定は -o の拡張子、ほかは gif)。"),
                            QStringLiteral("FORMAT")};
  QCommandLineOption Output{{QStringLiteral("o"), QStringLiteral("output")},
                            QCoreApplication::translate("CommandLine", "出力ファイル (入力が一つのとき) か、既存の出力フォルダ (同じファイル名)。"),
                            QStringLiteral("PATH")};
  QCommandLineOption Suffix{QStringLiteral("suffix"),
                            QCoreApplication::translate("CommandLine", "入力の隣に「名前TEXT.gif」を書きます (--format で .webp、.png)。"), QStringLiteral("TEXT")};
  QCommandLineOption InPlace{QStringLiteral("in-place"),
                             QCoreApplication::translate("CommandLine", "入力ファイルを置き換えます (シンボリックリンクはリンク先を置き換え、"
                                            "所有者、グループ、モード、ACL、拡張属性はそのまま、途中で壊れません)。"
                                            "ハードリンクが複数あるファイルは置き換えません。")};
  QCommandLineOption BreakLinks{QStringLiteral("break-links"),
                                QCoreApplication::translate("CommandLine", "ハードリンクが複数あるファイルも置き換えます "
                                               "(置き換えたファイルは他のリンクから切り離されます)。")};
  QCommandLineOption FirstFrameOnly{QStringLiteral("first-frame-only"),
                                    QCoreApplication::translate("CommandLine", "アニメーションでは最初のフレームだけを透過にします。")};
  QCommandLineOption PatchOnly{QStringLiteral("patch-only"),
                               QCoreApplication::translate("CommandLine", "画像データを書き換えず、制御ブロックだけを変えます。それでは正しく"
                                              "透過にならないファイルは標準エラーに名前と理由を出します。")};
  QCommandLineOption None{QStringLiteral("none"), QCoreApplication::translate("CommandLine", "透過を解除します。")};
  QCommandLineOption Keep{QStringLiteral("keep"),
                          QCoreApplication::translate("CommandLine", "開いたときの透過のまま書きます: GIF はそのままのバイトで、"
                                         "BMP、PNG、JPEG は変換した GIF (PNG の透明な画素は透過のまま) です。")};
  QCommandLineOption Info{QStringLiteral("info"),
                          QCoreApplication::translate("CommandLine", "ファイルごとに一行、タブ区切りで表示し、何も変えません: "
                                         "ファイル、バイト数、幅、高さ、色数、フレーム数、透過色の番号 (なしは -)。"
                                         "ファイル名の \\ と制御文字と UTF-8 でないバイトは \\\\、\\t、\\n、\\r、\\xHH と書きます。")};
  QCommandLineOption FilesFrom{QStringLiteral("files0-from"),
                               QCoreApplication::translate("CommandLine", "FILE に NUL で区切って並べた名前も入力にします (- は標準入力)。"
                                              "一覧は読みながら処理します。"),
                               QStringLiteral("FILE")};
  QCommandLineOption Colors{QStringLiteral("colors"),
                            QCoreApplication::translate("CommandLine", "256 色を超える BMP、PNG、JPEG の減色: auto (画像に合わせたパレット)、"
                                           "256、16、2 (固定パレット) (既定 auto)。"),
                            QStringLiteral("N"), QStringLiteral("auto")};
  QCommandLineOption Dither{QStringLiteral("dither"),
                            QCoreApplication::translate("CommandLine", "--colors auto でディザリングします (既定)。")};
  QCommandLineOption NoDither{QStringLiteral("no-dither"),
                              QCoreApplication::translate("CommandLine", "--colors auto でディザリングしません。")};
};

struct TRequest {
  TBatchSettings Settings;
  QList<QByteArray> Inputs;
  QByteArray List;  // --files0-from: more inputs, NUL-separated ("-": standard input)
  bool ListSet = false;
  TOutputRequest Output;
};

QString UnreadableColor(const QString& text) {
  return QCoreApplication::translate("CommandLine", "色「%1」が読めません。#RRGGBB、RRGGBB、色の名前、index:N、pixel:X,Y で指定してください。")
      .arg(text);
}

// How far a colour's choice reaches, or the usage error the options make.
QString ReadBackground(const QCommandLineParser& parser, const TOptions& o, TBatchSettings& settings) {
  if (parser.isSet(o.Fuzz)) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,3}$"));
    const QString text = parser.value(o.Fuzz);
    if (!digits.match(text).hasMatch() || text.toInt() > kMaxTolerance)
      return QCoreApplication::translate("CommandLine", "--fuzz は 0 から 100 までの整数です。");
    settings.Tolerance = text.toInt();
  }
  settings.Connected = parser.isSet(o.Connected);
  settings.SoftEdges = parser.isSet(o.SoftEdges);
  if (parser.isSet(o.Matte)) {
    settings.Matte = ParseColorArgument(parser.value(o.Matte));
    if (!settings.Matte) return UnreadableColor(parser.value(o.Matte));
  }
  return QString();
}

// The request the options make, or the usage error they amount to.
QString ReadRequest(const QCommandLineParser& parser, const TOptions& o, const TArgumentBytes& args, TRequest& r) {
  for (const QString& input : parser.positionalArguments()) r.Inputs.push_back(args.Bytes(input));
  r.ListSet = parser.isSet(o.FilesFrom);
  if (parser.values(o.FilesFrom).size() > 1)
    return QCoreApplication::translate("CommandLine", "--files0-from は一つだけ指定できます。");
  r.List = args.Bytes(parser.value(o.FilesFrom));
  if (r.Inputs.isEmpty() && !r.ListSet) return QCoreApplication::translate("CommandLine", "ファイルを指定してください。");
  const int actions = int(parser.isSet(o.Transparent)) + int(parser.isSet(o.None)) + int(parser.isSet(o.Keep)) +
                      int(parser.isSet(o.Info));
  if (actions != 1)
    return QCoreApplication::translate("CommandLine", "--transparent、--none、--keep、--info のどれか一つを指定してください。");
  const int outputs = int(parser.isSet(o.Output)) + int(parser.isSet(o.Suffix)) + int(parser.isSet(o.InPlace));
  if (parser.isSet(o.Info)) {
    if (outputs != 0) return QCoreApplication::translate("CommandLine", "--info は何も書かないので、-o、--suffix、--in-place は使えません。");
    r.Settings.Action = TCliAction::Info;
  } else if (outputs != 1) {
    return QCoreApplication::translate("CommandLine", "-o、--suffix、--in-place のどれか一つを指定してください。");
  }
  if (parser.isSet(o.Transparent)) {
    const QString text = parser.value(o.Transparent);
    const auto wanted = ParseColorArgument(text);
    if (!wanted) return UnreadableColor(text);
    r.Settings.Action = TCliAction::Transparent;
    r.Settings.Color = *wanted;
    if (const QString error = ReadBackground(parser, o, r.Settings); !error.isEmpty()) return error;
  } else if (parser.isSet(o.Fuzz) || parser.isSet(o.Connected) || parser.isSet(o.Matte) || parser.isSet(o.SoftEdges)) {
    // They shape a colour's choice: with nothing chosen they would do nothing.
    return QCoreApplication::translate("CommandLine", "--fuzz、--connected、--matte、--soft-edges は --transparent と一緒に指定してください。");
  } else if (parser.isSet(o.None)) {
    r.Settings.Action = TCliAction::None;
  } else if (parser.isSet(o.Keep)) {
    r.Settings.Action = TCliAction::Keep;
  }
  const QString colors = parser.value(o.Colors);
  if (colors == QLatin1String("auto"))
    r.Settings.ReduceBits = 0;  // the picture's own palette
  else if (colors == QLatin1String("256"))
    r.Settings.ReduceBits = 8;
  else if (colors == QLatin1String("16"))
    r.Settings.ReduceBits = 4;
  else if (colors == QLatin1String("2"))
    r.Settings.ReduceBits = 1;
  else
    return QCoreApplication::translate("CommandLine", "--colors は auto、256、16、2 のどれかです。");
  if (parser.isSet(o.Dither) && parser.isSet(o.NoDither))
    return QCoreApplication::translate("CommandLine", "--dither と --no-dither は一緒に使えません。");
  r.Settings.Dither = !parser.isSet(o.NoDither);
  r.Settings.AllFrames = !parser.isSet(o.FirstFrameOnly);
  r.Settings.PatchOnly = parser.isSet(o.PatchOnly);
  r.Settings.Write.BreakLinks = parser.isSet(o.BreakLinks);
  r.Output.Output = args.Bytes(parser.value(o.Output));
  r.Output.SuffixSet = parser.isSet(o.Suffix);
  r.Output.Suffix = args.Bytes(parser.value(o.Suffix));
  r.Output.InPlace = parser.isSet(o.InPlace);
  if (parser.isSet(o.Format)) {
    const QString format = parser.value(o.Format).toLower();
    if (format == QLatin1String("gif"))
      r.Output.Format = TSaveFormat::Gif;
    else if (format == QLatin1String("webp"))
      r.Output.Format = TSaveFormat::WebP;
    else if (format == QLatin1String("png"))
      r.Output.Format = TSaveFormat::Png;
    else
      return QCoreApplication::translate("CommandLine", "--format は gif、webp、png のどれかです。");
  }
  return QString();
}

// One group's new files made durable by one sync, then each put in its
// target's place; lines and failures come out in the order of the inputs.
// Once the batch is asked to stop, nothing more is committed and every
// written file is removed. Answers whether a file failed.
bool Finish(const std::vector<TJobOutcome>& outcomes) {
  std::vector<TPendingFile> pending;
  for (const TJobOutcome& outcome : outcomes)
    if (outcome.Pending) pending.push_back(*outcome.Pending);
  QString syncError;
  try {
    if (!StopRequested()) SyncPending(pending);
  } catch (const Exception& e) {
    syncError = e.message();
  }
  bool failed = false;
  for (const TJobOutcome& outcome : outcomes) {
    if (outcome.Skipped) continue;
    QString error = outcome.Error;
    if (outcome.Pending) {
      if (StopRequested()) {
        DiscardPending(*outcome.Pending);
        continue;
      }
      try {
        if (!syncError.isEmpty()) throw Exception(syncError);
        CommitPending(*outcome.Pending);
        if (!outcome.Pending->Warning.isEmpty()) Print(stderr, outcome.Pending->Warning);
        if (!outcome.Warning.isEmpty()) Print(stderr, outcome.Warning);
      } catch (const Exception& e) {
        DiscardPending(*outcome.Pending);
        error = WithFileName(outcome.Pending->Shown, e.message());
      }
    }
    if (!error.isEmpty()) {
      failed = true;
      Print(stderr, error);
    } else if (!outcome.InfoLine.isEmpty()) {
      Print(stdout, outcome.InfoLine);
    }
  }
  FlushOutput();
  return failed;
}

// The names of the list, read only as far as the work has come.
class TListedInputs {
 public:
  explicit TListedInputs(const TRequest& request) {
    if (request.ListSet) List = std::make_unique<TNameList>(request.List);
  }
  QString Error() const { return List ? List->Error() : QString(); }
  // Reads ahead until n names are known or the list ends; answers how many are.
  size_t Peek(size_t n) {
    while (Ahead.size() < n && Read()) {
    }
    return Ahead.size();
  }
  // The next name, its place in the list (from 1), and whether it was too long to keep.
  bool Next(QByteArray& name, qint64& listed, bool& tooLong) {
    if (Ahead.empty() && !Read()) return false;
    std::tie(name, listed, tooLong) = Ahead.front();
    Ahead.pop_front();
    return true;
  }

 private:
  bool Read() {
    QByteArray name;
    bool tooLong = false;
    if (!List || !List->Next(name, tooLong, StopRequested)) return false;
    Ahead.emplace_back(name, List->Count(), tooLong);
    return true;
  }
  std::deque<std::tuple<QByteArray, qint64, bool>> Ahead;
  std::unique_ptr<TNameList> List;
};

// The next file of the batch, planned; false when the inputs are done.
// Arguments were planned before the batch started.
bool NextFile(TListedInputs& inputs, TOutputPlanner* planner, const QString& listShown, TBatchFile& file) {
  QByteArray name;
  qint64 listed = 0;
  bool tooLong = false;
  if (!inputs.Next(name, listed, tooLong)) return false;
  if (name.isEmpty()) {
    file = TBatchFile{};
    file.Refused =
        tooLong ? QCoreApplication::translate("CommandLine", "ファイル名の一覧「%1」の %2 番目の名前が %3 バイトを超えています。")
                      .arg(listShown)
                      .arg(listed)
                      .arg(TNameList::kLongestName - 1)
                : QCoreApplication::translate("CommandLine", "ファイル名の一覧「%1」の %2 番目の名前が空です。").arg(listShown).arg(listed);
    return true;
  }
  if (planner) {
    file = planner->Plan(name);
  } else {
    file = TBatchFile{};
    file.Input = name;
    file.Shown = ShownName(name);
  }
  return true;
}

// Options the format the run writes cannot take.
QString FormatProblem(const TRequest& r, TSaveFormat format) {
  const TBatchSettings& s = r.Settings;
  if (format == TSaveFormat::Gif)
    return s.SoftEdges && !s.Matte ? QCoreApplication::translate("CommandLine", "GIF の --soft-edges には、なじませるページの色 --matte COLOR が必要です。")
                                   : QString();
  // A file's type would change under its old name.
  if (r.Output.InPlace) return QCoreApplication::translate("CommandLine", "--in-place で書けるのは GIF だけです。");
  if (s.Matte)
    return QCoreApplication::translate("CommandLine", "WebP と PNG はページの色を使わないので、--matte は使えません (--soft-edges を使ってください)。");
  return QString();
}

// What a group of files needs before it runs: the BMP road's working folder,
// kept out of the user's, and the picture module. Answers a message when one
// cannot be had.
QString Prepare(const std::vector<TBatchFile>& group, TBatchSettings& settings, std::unique_ptr<QTemporaryDir>& work,
                std::unique_ptr<TPictureWork>& pictures, std::unique_ptr<TAlphaWork>& alpha) {
  const bool converts =
      std::any_of(group.begin(), group.end(), [](const TBatchFile& f) { return f.Refused.isEmpty() && IsConvertedName(f.Input); });
  if (converts && !work) {
    work = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/tomaru-XXXXXX"));
    if (!work->isValid())
      return QCoreApplication::translate("CommandLine", "tomaru: 作業フォルダを作成できませんでした。(%1)").arg(work->errorString());
    settings.WorkDir = work->path() + QLatin1Char('/');
  }
  // Decoded pictures bring Qt Gui, the plug-ins and the reduction: loaded
  // only for the runs that ask for them.
  const auto pixel = [](const TColorArgument& c) { return c.Kind == TColorArgument::TKind::Pixel; };
  const bool decodes =
      settings.Action == TCliAction::Transparent && (pixel(settings.Color) || (settings.Matte && pixel(*settings.Matte)));
  if ((converts || decodes) && !pictures) {
    QString error;
    pictures = OpenPictureWork(error);
    if (!pictures) return error;
    settings.Pictures = pictures.get();
  }
  // libwebp and Qt Gui come with the writer: loaded only by runs that write WebP or PNG.
  if (settings.Format != TSaveFormat::Gif && !alpha) {
    QString error;
    alpha = OpenAlphaWork(error);
    if (!alpha) return error;
    settings.Alpha = alpha.get();
  }
  return QString();
}

int RunBatch(TRequest& request) {
  TListedInputs listed(request);
  if (!listed.Error().isEmpty()) {
    Print(stderr, listed.Error());
    return ExitSomeFailed;
  }
  const QString listShown = ShownName(request.List);
  // The arguments are planned whole before anything is written: a conflict
  // among them is a usage error. The list's names are planned as they come.
  std::unique_ptr<TOutputPlanner> planner;
  std::deque<TBatchFile> planned;
  if (request.Settings.Action == TCliAction::Info) {
    for (const QByteArray& input : request.Inputs) {
      planned.emplace_back();
      planned.back().Input = input;
      planned.back().Shown = ShownName(input);
    }
  } else {
    planner = std::make_unique<TOutputPlanner>(request.Output);
    const size_t given = size_t(request.Inputs.size());
    const QString problem = planner->OutputProblem(given + listed.Peek(given < 2 ? 2 - given : 0) > 1);
    if (!problem.isEmpty()) return UsageError(problem);
    const QString clash = FormatProblem(request, planner->Format());
    if (!clash.isEmpty()) return UsageError(clash);
    request.Settings.Format = planner->Format();
    planner->KnowInputs(request.Inputs);
    for (const QByteArray& input : request.Inputs) {
      planned.push_back(planner->Plan(input));
      if (!planned.back().Refused.isEmpty()) return UsageError(planned.back().Refused);
    }
  }
  request.Settings.Write.NewFileMode = NewFileMode();
  std::unique_ptr<QTemporaryDir> work;
  std::unique_ptr<TPictureWork> pictures;
  std::unique_ptr<TAlphaWork> alpha;

  const auto next = [&](TBatchFile& file) {
    if (planned.empty()) return NextFile(listed, planner.get(), listShown, file);
    file = std::move(planned.front());
    planned.pop_front();
    return true;
  };
  std::optional<TBatchFile> ahead;
  const auto fetch = [&] {
    TBatchFile file;
    if (!ahead && next(file)) ahead = std::move(file);
    return ahead.has_value();
  };
  bool failed = false;
  while (!StopRequested() && fetch()) {
    // A group: at least one file, then as many as fit the bounds.
    std::vector<TBatchFile> group;
    qint64 bytes = 0;
    while (group.size() < kGroupFiles && !StopRequested() && fetch() &&
           (group.empty() || bytes + ahead->Size <= kGroupBytes)) {
      bytes += ahead->Size;
      group.push_back(std::move(*ahead));
      ahead.reset();
    }
    const QString missing = Prepare(group, request.Settings, work, pictures, alpha);
    if (!missing.isEmpty()) {
      Print(stderr, missing);
      return ExitSomeFailed;
    }
    const TBatchSettings& settings = request.Settings;
    const auto job = [&settings](const TBatchFile& file) { return RunBatchJob(settings, file); };
    // One file needs no pool of threads to start.
    const std::vector<TJobOutcome> outcomes = group.size() == 1
                                                  ? std::vector<TJobOutcome>{job(group.front())}
                                                  : QtConcurrent::blockingMapped<std::vector<TJobOutcome>>(group, job);
    failed |= Finish(outcomes);
  }
  if (!listed.Error().isEmpty()) {
    failed = true;
    Print(stderr, listed.Error());
  }
  if (StopSignal() != 0) return StopExitStatus(StopSignal());
  return failed || OutputBroken() ? ExitSomeFailed : ExitDone;
}

}  // namespace

// Any long option, known or not, makes a command-line run: a mistyped one is
// a usage error there, never a window.
bool IsCommandLineRun(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const QByteArray arg(argv[i]);
    if (arg == "--") return false;
    if (arg == "-o" || arg == "-h" || arg == "-v" || arg == "-?" || arg.startsWith("--")) return true;
  }
  return false;
}

int RunCommandLine(int argc, char** argv) {
  CatchStopSignals();
  QCoreApplication app(argc, argv);
  InstallProgramTranslation(app, SystemLanguage(), QCoreApplication::applicationDirPath());
  const TArgumentBytes args(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("tomaru"));
  QCoreApplication::setApplicationVersion(QStringLiteral(TOMARU_VERSION));
  QCommandLineParser parser;
  parser.setApplicationDescription(QCoreApplication::translate("CommandLine", "GIF の背景色を透過にします。画像データは、そうしなければ正しくならないフレームだけを書き換えます。"));
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption version = parser.addVersionOption();
  const TOptions options;
  parser.addOptions({options.Transparent, options.Fuzz, options.Connected, options.Matte, options.SoftEdges, options.Format, options.Output, options.Suffix, options.InPlace, options.BreakLinks,
                     options.FirstFrameOnly, options.PatchOnly, options.None, options.Keep, options.Info, options.FilesFrom, options.Colors,
                     options.Dither, options.NoDither});
  parser.addPositionalArgument(QStringLiteral("FILE"), QCoreApplication::translate("CommandLine", "GIF、BMP、PNG、JPEG のファイル。"),
                               QStringLiteral("FILE..."));
  if (!parser.parse(args.Texts())) return UsageError(parser.errorText());
  if (parser.isSet(help)) parser.showHelp(ExitDone);
  if (parser.isSet(version)) parser.showVersion();
  TRequest request;
  const QString error = ReadRequest(parser, options, args, request);
  if (!error.isEmpty()) return UsageError(error);
  return RunBatch(request);
}
