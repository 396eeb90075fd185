#include "cli/BatchJob.h"

#include <QCoreApplication>
#include <QDir>
#include <cerrno>
#include <future>
#include <system_error>
#include <sys/stat.h>
#include <unistd.h>

#include "alpha/AlphaWork.h"
#include "cli/OutputPlan.h"
#include "cli/StopSignals.h"
#include "choice/Choice.h"
#include "document/Exception.h"
#include "document/FileOpen.h"
#include "document/FileOps.h"
#include "frames/SavePlan.h"
#include "pictures/PictureWork.h"

namespace {

struct TClosing {
  int Fd;
  ~TClosing() { ::close(Fd); }
};

struct TFailure {
  QString Message;
};

// The GIF bytes of a BMP, PNG or JPEG, through the window's reduction and writer. The
// road reads by name: it is given the descriptor's name under /proc, so the
// file checked is the file read, whatever bytes its own name is made of.
QByteArray ConvertedPicture(const TBatchSettings& settings, const TBatchFile& file, struct stat& st) {
  const int fd = OpenRegularFile(file.Input, file.Shown, kMaxInputBytes, st);
  const TClosing closing{fd};
  TConversionRequest request;
  request.Path = QStringLiteral("/proc/self/fd/%1").arg(fd);
  request.Shown = file.Shown;
  request.WorkDir = settings.WorkDir;
  request.ReduceBits = settings.ReduceBits;
  request.Dither = settings.Dither;
  QString error;
  const QByteArray gif = settings.Pictures->Convert(request, error);
  if (!error.isEmpty()) throw TFailure{error};
  return gif;
}

// The file as the window's open road reads it, and the document made from it.
struct TOpened {
  TGifDocument Doc;
  QByteArray Gif;  // the GIF as read (or as converted from a BMP)
  struct stat Read {};  // the input's status when it was read
};

TOpened OpenInput(const TBatchSettings& settings, const TBatchFile& file) {
  TOpened opened;
  try {
    opened.Gif = IsConvertedName(file.Input) ? ConvertedPicture(settings, file, opened.Read)
                                       : ReadRegularFile(file.Input, file.Shown, kMaxInputBytes, opened.Read);
  } catch (const EInOutError& e) {
    if (e.ErrorCode == ENOENT) throw TFailure{FileMissingMessage(file.Shown)};
    throw;
  }
  TGifRefusal why;
  const auto header = ParseGifHeader(opened.Gif, &why);
  if (!header) throw TFailure{NotReadableAsGifMessage(file.Shown, RefusalReason(why))};
  opened.Doc.Assign(*header);
  opened.Doc.OpenedFileName = file.Shown;
  return opened;
}

QString MissingColorMessage(const QString& path, const TColorArgument& wanted) {
  return QCoreApplication::translate("BatchJob", "ファイル「%1」の色テーブルに %2 の色がありません。")
      .arg(path, ColorArgumentText(wanted));
}

// The pixel:X,Y of the file's first frame, or the file's failure.
TShownPixel PixelNamed(const TBatchSettings& settings, const TOpened& opened, const QString& path,
                       const TColorArgument& wanted) {
  QString error;
  const auto pixel = settings.Pictures->FirstFramePixel(opened.Gif, wanted.X, wanted.Y, error);
  if (!error.isEmpty()) throw TFailure{error};
  if (!pixel)
    throw TFailure{QCoreApplication::translate("BatchJob", "ファイル「%1」の画像に %2 の画素がありません。")
                       .arg(path, ColorArgumentText(wanted))};
  return *pixel;
}

uint8_t ChosenEntry(const TBatchSettings& settings, const TOpened& opened, const QString& path) {
  const TColorArgument& wanted = settings.Color;
  const TGifDocument& doc = opened.Doc;
  std::optional<int> entry;
  switch (wanted.Kind) {
    case TColorArgument::TKind::Rgb:
      entry = FindPaletteEntry(doc, wanted.Color);
      break;
    case TColorArgument::TKind::Index:
      if (wanted.Index < doc.ColorCount) entry = wanted.Index;
      break;
    case TColorArgument::TKind::Pixel:
      entry = EntryOfPickedPixel(doc, PixelNamed(settings, opened, path, wanted));
      break;
  }
  if (!entry) throw TFailure{MissingColorMessage(path, wanted)};
  return uint8_t(*entry);
}

// The matte as this file names it: an entry of its table, the colour of a
// pixel of its first frame, or the colour itself.
std::optional<TColor> MatteColor(const TBatchSettings& settings, const TOpened& opened, const QString& path) {
  if (!settings.Matte) return std::nullopt;
  const TColorArgument& wanted = *settings.Matte;
  switch (wanted.Kind) {
    case TColorArgument::TKind::Rgb:
      return wanted.Color;
    case TColorArgument::TKind::Index:
      if (wanted.Index >= opened.Doc.ColorCount) throw TFailure{MissingColorMessage(path, wanted)};
      return opened.Doc.PaletteColors[wanted.Index];
    case TColorArgument::TKind::Pixel:
      return PixelNamed(settings, opened, path, wanted).Color;
  }
  return std::nullopt;
}

TAlphaFormat AlphaFormatOf(TSaveFormat format) { return format == TSaveFormat::Png ? TAlphaFormat::Png : TAlphaFormat::WebP; }

// A BMP, PNG or JPEG at full colour, the choice's colour as the picture
// itself shows it: the colour named, the pixel named, or the table entry's
// colour of its conversion.
std::unique_ptr<TAlphaWriter> FullColorPicture(const TBatchSettings& settings, const TBatchFile& file,
                                               const TOpened& opened, TAlphaOutcome& outcome) {
  struct stat st;
  const int fd = OpenRegularFile(file.Input, file.Shown, kMaxInputBytes, st);
  const TClosing closing{fd};
  TConversionRequest request;
  request.Path = QStringLiteral("/proc/self/fd/%1").arg(fd);
  request.Shown = file.Shown;
  int width = 0, height = 0;
  QString error;
  const std::vector<uint32_t> pixels = settings.Pictures->FullColor(request, width, height, error);
  if (!error.isEmpty()) throw TFailure{error};
  TCanvas picture(width, height);
  if (!pixels.empty()) std::copy(pixels.begin(), pixels.end(), &picture.At(0, 0));
  std::optional<TPixel> chosen;
  TReach reach;
  const TGifDocument& doc = opened.Doc;
  if (settings.Action == TCliAction::Transparent) {
    const TColorArgument& wanted = settings.Color;
    if (wanted.Kind == TColorArgument::TKind::Pixel) {
      if (!picture.Bounds().Contains(wanted.X, wanted.Y))
        throw TFailure{QCoreApplication::translate("BatchJob", "ファイル「%1」の画像に %2 の画素がありません。")
                           .arg(file.Shown, ColorArgumentText(wanted))};
      chosen = picture.At(wanted.X, wanted.Y) | 0xFF000000u;
    } else {
      chosen = wanted.Kind == TColorArgument::TKind::Rgb ? PixelOf(wanted.Color) : PixelOf(doc.PaletteColors[doc.TransparentIndex]);
    }
    reach = doc.Reach;
  }
  return settings.Alpha->EncodePicture(picture, chosen, reach, AlphaFormatOf(file.Format), file.ShownTarget, outcome);
}

// The choice written as WebP or PNG beside its target, as GIFs are; none
// when the batch was asked to stop.
std::optional<TPendingFile> WriteWithAlpha(const TBatchSettings& settings, const TBatchFile& file,
                                           const TOpened& opened, bool allFrames, const TFileState& read) {
  TAlphaOutcome outcome;
  const std::unique_ptr<TAlphaWriter> writer =
      IsConvertedName(file.Input)
          ? FullColorPicture(settings, file, opened, outcome)
          : settings.Alpha->EncodeChoice(opened.Doc, allFrames, AlphaFormatOf(file.Format), file.ShownTarget, outcome,
                                         [](int, int) { return !StopRequested(); });
  if (outcome.Stopped) return std::nullopt;
  if (!writer) throw TFailure{outcome.Error};
  return WriteBeside(
      file.Target, file.ShownTarget, [&](int fd) { return writer->WriteTo(fd); }, settings.Write,
      file.InPlace ? &read : nullptr);
}

// What a save left as it was, in one line; empty when it did all.
QString SaveWarning(const QString& path, const TFramePatchResult& frames, bool patchOnly) {
  QStringList notes;
  if (frames.NotRight > 0)
    notes << (patchOnly ? QCoreApplication::translate("BatchJob", "%1 フレームは画像データを書き換えないと透過色を正しく表せません")
                        : QCoreApplication::translate("BatchJob", "%1 フレームは 256 色を超えるため透過色を正しく表せません"))
                 .arg(frames.NotRight);
  if (frames.Reduced > 0)
    notes << QCoreApplication::translate("BatchJob", "%1 フレームは描く色が 256 色に収まらないため、近い色どうしをまとめました")
                 .arg(frames.Reduced);
  if (frames.Damaged)
    notes << QCoreApplication::translate("BatchJob", "%1 フレームより後ろが壊れているため、そのまま残しました").arg(frames.Frames);
  else if (frames.UndecodedFrom >= 0)
    notes << QCoreApplication::translate("BatchJob", "%1 フレーム目から画像データが壊れているため、制御ブロックだけを変えました")
                 .arg(frames.UndecodedFrom + 1);
  if (frames.TooLargeToJudge)
    notes << QCoreApplication::translate("BatchJob", "フレームの範囲が大きすぎて確かめられないため、制御ブロックだけを変えました");
  if (notes.isEmpty()) return QString();
  return QCoreApplication::translate("BatchJob", "ファイル「%1」: %2。").arg(path, notes.join(QCoreApplication::translate("BatchJob", "。")));
}

// A save that more than doubles the file is worth knowing about: frames
// written anew can cost far more than the patch of a few bytes.
QString GrowthWarning(const QString& path, qint64 opened, qint64 saved, int rewritten) {
  if (saved <= 2 * opened) return QString();
  return QCoreApplication::translate("BatchJob", "ファイル「%1」: 保存で %2 バイトから %3 バイトに増えました (書き換えたフレーム %4)。")
      .arg(path)
      .arg(opened)
      .arg(saved)
      .arg(rewritten);
}

}  // namespace

QString WithFileName(const QString& path, const QString& message) {
  if (message.contains(path)) return message;
  return QCoreApplication::translate("BatchJob", "ファイル「%1」: %2").arg(path, message);
}

QString InfoLine(const QString& path, qint64 bytes, const TGifDocument& doc) {
  const int frames = std::max(CountFrames(doc.GifData).Frames, 1);
  const QString trans = doc.LoadedTransparent ? QString::number(doc.LoadedTransIndex) : QStringLiteral("-");
  return QStringList{path, QString::number(bytes), QString::number(doc.ImageWidth),
                     QString::number(doc.ImageHeight), QString::number(doc.ColorCount), QString::number(frames),
                     trans}
      .join(QLatin1Char('\t'));
}

TJobOutcome RunBatchJob(const TBatchSettings& settings, const TBatchFile& file) {
  TJobOutcome outcome;
  if (StopRequested()) {
    outcome.Skipped = true;
    return outcome;
  }
  if (!file.Refused.isEmpty()) {
    outcome.Error = file.Refused;
    return outcome;
  }
  try {
    TOpened opened = OpenInput(settings, file);
    if (settings.Action == TCliAction::Info) {
      outcome.InfoLine = InfoLine(file.Shown, opened.Read.st_size, opened.Doc);
      return outcome;
    }
    // In place, the target is the file read and must stay it until replaced.
    const TFileState read = StateOf(opened.Read);
    if (settings.Action == TCliAction::Keep && file.Format != TSaveFormat::Gif) {
      // The picture as opened: the first frame's transparency as its own.
      outcome.Pending = WriteWithAlpha(settings, file, opened, false, read);
      outcome.Skipped = !outcome.Pending;
      return outcome;
    }
    if (settings.Action == TCliAction::Keep) {
      // The GIF as opened: a GIF's own bytes, a picture's conversion with its own transparency.
      outcome.Pending = WriteBeside(
          file.Target, file.ShownTarget, [&](int fd) { return WriteAllTo(fd, opened.Gif); }, settings.Write,
          file.InPlace ? &read : nullptr);
      return outcome;
    }
    TQuietChoiceView view(settings.AllFrames);
    const TAppPaths paths{QString(), settings.WorkDir, QString()};
    if (settings.Action == TCliAction::Transparent) {
      ChooseEntry(opened.Doc, view, ChosenEntry(settings, opened, file.Shown));
      TReach reach;
      reach.Tolerance = settings.Tolerance;
      reach.Connected = settings.Connected;
      reach.Matte = MatteColor(settings, opened, file.Shown);
      // --matte alone has always meant soft edges blended into it.
      reach.SoftEdges = settings.SoftEdges || reach.Matte.has_value();
      SetReach(opened.Doc, paths, view, reach);
    } else {
      SetTransparency(opened.Doc, paths, view, false);
    }
    if (file.Format != TSaveFormat::Gif) {
      outcome.Pending = WriteWithAlpha(settings, file, opened, view.AllFrames(), read);
      outcome.Skipped = !outcome.Pending;
      return outcome;
    }
    // The bytes the window's save writes for the same choice.
    // A stop is asked within a frame too: one large frame may take a while.
    TSavePlan plan = PlanSave(opened.Doc, view.AllFrames(),
                              settings.PatchOnly ? TFrameRewrite::Never : TFrameRewrite::Allowed,
                              [](int, int) { return !StopRequested(); }, TCodeWalk::Caller);
    if (StopRequested()) {  // the plan may be unfinished: nothing is written from it
      outcome.Skipped = true;
      return outcome;
    }
    // The edits stream around the bytes read, as the window's save does: no second copy.
    const QByteArray& source = opened.Doc.GifData;
    // Damage in codes the patch leaves as they are changes only what is said:
    // a large file's are walked beside the write (a small one's after it: a
    // thread would cost more than its walk).
    std::future<int> undecodable;
    const auto walkCodes = [&] { return FirstUndecodableFrame(source, *plan.Unwalked); };
    if (plan.Unwalked) {
      try {
        undecodable = std::async(source.size() >= (4 << 20) ? std::launch::async : std::launch::deferred, walkCodes);
      } catch (const std::system_error&) {
        undecodable = std::async(std::launch::deferred, walkCodes);  // no thread to be had
      }
    }
    off_t written = 0;
    outcome.Pending = WriteBeside(
        file.Target, file.ShownTarget,
        [&](int fd) {
          struct stat st;
          if (!plan.Edits.WriteTo(fd, source) || ::fstat(fd, &st) != 0) return false;
          written = st.st_size;
          return true;
        },
        settings.Write, file.InPlace ? &read : nullptr);
    if (undecodable.valid()) plan.Frames.UndecodedFrom = undecodable.get();
    QStringList warnings{SaveWarning(file.Shown, plan.Frames, settings.PatchOnly),
                         GrowthWarning(file.Shown, source.size(), written, plan.Frames.Rewritten)};
    warnings.removeAll(QString());
    outcome.Warning = warnings.join(QLatin1Char('\n'));
  } catch (const TFailure& failure) {
    outcome.Error = WithFileName(file.Shown, failure.Message);
  } catch (const Exception& e) {
    outcome.Error = WithFileName(file.Shown, e.message());
  } catch (const std::exception& e) {
    outcome.Error = WithFileName(file.Shown, QString::fromLocal8Bit(e.what()));
  }
  return outcome;
}
