#include "cli/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QtConcurrent/QtConcurrentMap>
#include <cstdio>

#include "cli/BatchJob.h"
#include "cli/FirstFramePixel.h"
#include "cli/OutputPlan.h"
#include "plugins/SPIs.h"
#include "reduce/BmpToGif.h"

namespace {

enum TExit { ExitDone = 0, ExitSomeFailed = 1, ExitUsage = 2 };

const char* const kOptionNames[] = {"transparent", "output",  "suffix", "in-place", "first-frame-only",
                                    "none",        "info",    "colors", "help",     "help-all",
                                    "version",     "dither",  "no-dither"};

void Print(FILE* to, const QString& line) {
  const QByteArray bytes = line.toUtf8() + '\n';
  std::fwrite(bytes.constData(), 1, size_t(bytes.size()), to);
}

int UsageError(const QString& message) {
  Print(stderr, QStringLiteral("tomaru: ") + message);
  Print(stderr, QStringLiteral("使い方は tomaru --help で表示します。"));
  return ExitUsage;
}

struct TOptions {
  QCommandLineOption Transparent{QStringLiteral("transparent"),
                                 QStringLiteral("COLOR を透過色にします: #RRGGBB、RRGGBB、色の名前 (white)、"
                                                "index:N (パレットの N 番)、pixel:X,Y (最初のフレームの画素)。"),
                                 QStringLiteral("COLOR")};
  QCommandLineOption Output{{QStringLiteral("o"), QStringLiteral("output")},
                            QStringLiteral("出力ファイル (入力が一つのとき) か、既存の出力フォルダ (同じファイル名)。"),
                            QStringLiteral("PATH")};
  QCommandLineOption Suffix{QStringLiteral("suffix"),
                            QStringLiteral("入力の隣に「名前TEXT.gif」を書きます。"), QStringLiteral("TEXT")};
  QCommandLineOption InPlace{QStringLiteral("in-place"),
                             QStringLiteral("入力ファイルを置き換えます (属性はそのまま、途中で壊れません)。")};
  QCommandLineOption FirstFrameOnly{QStringLiteral("first-frame-only"),
                                    QStringLiteral("アニメーションでは最初のフレームだけを透過にします。")};
  QCommandLineOption None{QStringLiteral("none"), QStringLiteral("透過を解除します。")};
  QCommandLineOption Info{QStringLiteral("info"),
                          QStringLiteral("ファイルごとに一行、タブ区切りで表示し、何も変えません: "
                                         "ファイル、バイト数、幅、高さ、色数、フレーム数、透過色の番号 (なしは -)。")};
  QCommandLineOption Colors{QStringLiteral("colors"),
                            QStringLiteral("256 色を超える BMP、PNG、JPEG の減色: auto (画像に合わせたパレット)、"
                                           "256、16、2 (固定パレット) (既定 auto)。"),
                            QStringLiteral("N"), QStringLiteral("auto")};
  QCommandLineOption Dither{QStringLiteral("dither"),
                            QStringLiteral("--colors auto でディザリングします (既定)。")};
  QCommandLineOption NoDither{QStringLiteral("no-dither"),
                              QStringLiteral("--colors auto でディザリングしません。")};
};

struct TRequest {
  TBatchSettings Settings;
  QStringList Inputs;
  TOutputRequest Output;
};

// The request the options make, or the usage error they amount to.
QString ReadRequest(const QCommandLineParser& parser, const TOptions& o, TRequest& r) {
  r.Inputs = parser.positionalArguments();
  if (r.Inputs.isEmpty()) return QStringLiteral("ファイルを指定してください。");
  const int actions = int(parser.isSet(o.Transparent)) + int(parser.isSet(o.None)) + int(parser.isSet(o.Info));
  if (actions != 1) return QStringLiteral("--transparent、--none、--info のどれか一つを指定してください。");
  const int outputs = int(parser.isSet(o.Output)) + int(parser.isSet(o.Suffix)) + int(parser.isSet(o.InPlace));
  if (parser.isSet(o.Info)) {
    if (outputs != 0) return QStringLiteral("--info は何も書かないので、-o、--suffix、--in-place は使えません。");
    r.Settings.Action = TCliAction::Info;
  } else if (outputs != 1) {
    return QStringLiteral("-o、--suffix、--in-place のどれか一つを指定してください。");
  }
  if (parser.isSet(o.Transparent)) {
    const QString text = parser.value(o.Transparent);
    const auto wanted = ParseColorArgument(text);
    if (!wanted)
      return QStringLiteral("色「") + text +
             QStringLiteral("」が読めません。#RRGGBB、RRGGBB、色の名前、index:N、pixel:X,Y で指定してください。");
    r.Settings.Action = TCliAction::Transparent;
    r.Settings.Color = *wanted;
  } else if (parser.isSet(o.None)) {
    r.Settings.Action = TCliAction::None;
  }
  const QString colors = parser.value(o.Colors);
  if (colors == QLatin1String("auto"))
    r.Settings.ReduceBits = ReducePicturePalette;
  else if (colors == QLatin1String("256"))
    r.Settings.ReduceBits = 8;
  else if (colors == QLatin1String("16"))
    r.Settings.ReduceBits = 4;
  else if (colors == QLatin1String("2"))
    r.Settings.ReduceBits = 1;
  else
    return QStringLiteral("--colors は auto、256、16、2 のどれかです。");
  if (parser.isSet(o.Dither) && parser.isSet(o.NoDither))
    return QStringLiteral("--dither と --no-dither は一緒に使えません。");
  r.Settings.Dither = !parser.isSet(o.NoDither);
  r.Settings.AllFrames = !parser.isSet(o.FirstFrameOnly);
  r.Output.Output = parser.value(o.Output);
  r.Output.SuffixSet = parser.isSet(o.Suffix);
  r.Output.Suffix = parser.value(o.Suffix);
  r.Output.InPlace = parser.isSet(o.InPlace);
  return QString();
}

// Every new file is made durable by one sync, then takes its target's place;
// lines and failures come out in the order of the inputs.
int Finish(const std::vector<TJobOutcome>& outcomes) {
  std::vector<TPendingFile> pending;
  for (const TJobOutcome& outcome : outcomes)
    if (outcome.Pending) pending.push_back(*outcome.Pending);
  QString syncError;
  try {
    SyncPending(pending);
  } catch (const Exception& e) {
    syncError = e.message();
  }
  bool failed = false;
  for (const TJobOutcome& outcome : outcomes) {
    QString error = outcome.Error;
    if (outcome.Pending) {
      try {
        if (!syncError.isEmpty()) throw Exception(syncError);
        CommitPending(*outcome.Pending);
      } catch (const Exception& e) {
        DiscardPending(*outcome.Pending);
        error = WithFileName(outcome.Pending->Target, e.message());
      }
    }
    if (!error.isEmpty()) {
      failed = true;
      Print(stderr, error);
    } else if (!outcome.InfoLine.isEmpty()) {
      Print(stdout, outcome.InfoLine);
    }
  }
  return failed ? ExitSomeFailed : ExitDone;
}

int RunBatch(TRequest& request) {
  TOutputPlan plan;
  if (request.Settings.Action == TCliAction::Info) {
    for (const QString& input : request.Inputs) plan.Files.push_back({input, QString()});
  } else {
    plan = PlanOutputs(request.Inputs, request.Output);
    if (!plan.UsageError.isEmpty()) return UsageError(plan.UsageError);
  }
  // The BMP road's working file stays in a directory of its own, out of the user's.
  QTemporaryDir work(QDir::tempPath() + QStringLiteral("/tomaru-XXXXXX"));
  if (!work.isValid()) return UsageError(work.errorString());
  request.Settings.WorkDir = work.path() + QLatin1Char('/');
  request.Settings.NewFileMode = NewFileMode();
  std::unique_ptr<TSPIs> plugins;
  if (request.Settings.Action == TCliAction::Transparent && request.Settings.Color.Kind == TColorArgument::TKind::Pixel)
    plugins = LoadPicturePlugins();

  const TBatchSettings& settings = request.Settings;
  const std::vector<TJobOutcome> outcomes = QtConcurrent::blockingMapped<std::vector<TJobOutcome>>(
      plan.Files, [&settings](const TBatchFile& file) { return RunBatchJob(settings, file); });
  return Finish(outcomes);
}

}  // namespace

bool IsCommandLineRun(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const QByteArray arg(argv[i]);
    if (arg == "--") return false;
    if (arg == "-o" || arg == "-h" || arg == "-v" || arg == "-?") return true;
    if (!arg.startsWith("--")) continue;
    const QByteArray name = arg.mid(2).split('=').first();
    for (const char* option : kOptionNames)
      if (name == option) return true;
  }
  return false;
}

int RunCommandLine(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("tomaru"));
  QCoreApplication::setApplicationVersion(QStringLiteral(TOMARU_VERSION));
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("GIF の背景色を、画像を作り直さずに透過にします。"));
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption version = parser.addVersionOption();
  const TOptions options;
  parser.addOptions({options.Transparent, options.Output, options.Suffix, options.InPlace, options.FirstFrameOnly,
                     options.None, options.Info, options.Colors, options.Dither, options.NoDither});
  parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("GIF、BMP、PNG、JPEG のファイル。"),
                               QStringLiteral("FILE..."));
  if (!parser.parse(app.arguments())) return UsageError(parser.errorText());
  if (parser.isSet(help)) parser.showHelp(ExitDone);
  if (parser.isSet(version)) parser.showVersion();
  TRequest request;
  const QString error = ReadRequest(parser, options, request);
  if (!error.isEmpty()) return UsageError(error);
  return RunBatch(request);
}
