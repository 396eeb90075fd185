#include "cli/BatchJob.h"

#include <QDir>
#include <mutex>

#include "cli/FirstFramePixel.h"
#include "document/Choice.h"
#include "document/Exception.h"
#include "document/FileOpen.h"
#include "document/FileOps.h"
#include "reduce/BmpToGif.h"

namespace {

// The BMP road writes one temp.gif, and the GIF writer keeps its last error
// and progress handler for the whole program: one conversion at a time.
std::mutex BmpRoadMutex;

class THeadlessBmpView : public TBmpView {
 public:
  void SetMsg(int, const QString&) override {}
  void ShowMessage(const QString& text) override { Message = text; }
  std::optional<int> AskReduceBits(int) override { return Bits; }
  bool Dither() const override { return DitherOn; }
  int Bits = ReducePicturePalette;
  bool DitherOn = true;
  QString Message;
};

struct TFailure {
  QString Message;
};

// The GIF bytes of a BMP, PNG or JPEG, through the window's reduction and writer.
QByteArray ConvertedBmp(const TBatchSettings& settings, const QString& path) {
  std::lock_guard<std::mutex> lock(BmpRoadMutex);
  const TAppPaths paths{QString(), settings.WorkDir};
  THeadlessBmpView view;
  view.Bits = settings.ReduceBits;
  view.DitherOn = settings.Dither;
  uint8_t bits = settings.ReduceBits;
  if (!ConvertBMPFile(path, paths, view, bits)) throw TFailure{view.Message};
  const QString temp = paths.Data(QStringLiteral("temp.gif"));
  const QByteArray gif = LoadStringFromFile(temp);
  QFile::remove(temp);
  return gif;
}

// The file as the window's open road reads it, and the document made from it.
struct TOpened {
  TGifDocument Doc;
  QByteArray Gif;  // the GIF as read (or as converted from a BMP)
};

TOpened OpenInput(const TBatchSettings& settings, const QString& path) {
  if (!FileExists(path)) throw TFailure{FileMissingMessage(path)};
  const bool bmp = IsConvertedOnOpen(path);
  TOpened opened;
  opened.Gif = bmp ? ConvertedBmp(settings, path) : LoadStringFromFile(path);
  TGifRefusal why;
  const auto header = ParseGifHeader(opened.Gif, &why);
  if (!header) throw TFailure{NotReadableAsGifMessage(path, RefusalReason(why))};
  opened.Doc.Assign(*header);
  opened.Doc.OpenedFileName = path;
  return opened;
}

QString MissingColorMessage(const QString& path, const TColorArgument& wanted) {
  return QStringLiteral("ファイル「") + path + QStringLiteral("」の色テーブルに ") + ColorArgumentText(wanted) +
         QStringLiteral(" の色がありません。");
}

uint8_t ChosenEntry(const TOpened& opened, const TColorArgument& wanted, const QString& path) {
  const TGifDocument& doc = opened.Doc;
  std::optional<int> entry;
  switch (wanted.Kind) {
    case TColorArgument::TKind::Rgb:
      entry = FindPaletteEntry(doc, wanted.Color);
      break;
    case TColorArgument::TKind::Index:
      if (wanted.Index < doc.ColorCount) entry = wanted.Index;
      break;
    case TColorArgument::TKind::Pixel: {
      const auto pixel = FirstFramePixel(opened.Gif, wanted.X, wanted.Y);
      if (!pixel)
        throw TFailure{QStringLiteral("ファイル「") + path + QStringLiteral("」の画像に ") + ColorArgumentText(wanted) +
                       QStringLiteral(" の画素がありません。")};
      entry = EntryOfPickedPixel(doc, *pixel);
      break;
    }
  }
  if (!entry) throw TFailure{MissingColorMessage(path, wanted)};
  return uint8_t(*entry);
}

}  // namespace

QString WithFileName(const QString& path, const QString& message) {
  if (message.contains(path)) return message;
  return QStringLiteral("ファイル「") + path + QStringLiteral("」: ") + message;
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
  try {
    TOpened opened = OpenInput(settings, file.Input);
    if (settings.Action == TCliAction::Info) {
      outcome.InfoLine = InfoLine(file.Input, CheckFileSize(file.Input), opened.Doc);
      return outcome;
    }
    TQuietChoiceView view(settings.AllFrames);
    if (settings.Action == TCliAction::Transparent)
      ChooseEntry(opened.Doc, view, ChosenEntry(opened, settings.Color, file.Input));
    else
      SetTransparency(opened.Doc, TAppPaths{QString(), settings.WorkDir}, view, false);
    // The bytes the window's save writes for the same choice.
    const TPatchedGif patched = opened.Doc.Patched(view.AllFrames());
    outcome.Pending = WriteBeside(file.Target, patched.Data, settings.NewFileMode);
  } catch (const TFailure& failure) {
    outcome.Error = WithFileName(file.Input, failure.Message);
  } catch (const Exception& e) {
    outcome.Error = WithFileName(file.Input, e.message());
  } catch (const std::exception& e) {
    outcome.Error = WithFileName(file.Input, QString::fromLocal8Bit(e.what()));
  }
  return outcome;
}
