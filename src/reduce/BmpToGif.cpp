#include "reduce/BmpToGif.h"

#include "reduce/BmpLoader.h"
#include "reduce/ColorCount.h"
#include "reduce/GIFImage.h"
#include "reduce/Reduction.h"

QString GIFImageProgressText(int percent) {
  if (percent == 100) return QString();
  return QStringLiteral("BMP->GIF %1% Complete").arg(percent);
}

QString SaveFailedMessage(int errorCode) {
  const char* text = errorCode >= 0 && errorCode < GIFErrorCount ? GIFErrorMessages[errorCode] : "";
  return QStringLiteral("Save Failed. Error Code = %1 [%2]").arg(errorCode).arg(QLatin1String(text));
}

bool ConvertBMPtoGIF(const QImage& workBitmap, const TAppPaths& paths, TBmpView& view) {
  // The handler points into this window only for the length of the write.
  // The coder reports every few hundred pixels; the panel changes only when
  // the percentage does, so a window may repaint it each time.
  struct TProgressScope {
    explicit TProgressScope(TBmpView& view) {
      GIFProgressHandler = [&view, last = -1](int percent) mutable {
        if (percent == last) return;
        last = percent;
        view.SetMsg(PanelFileName, GIFImageProgressText(percent));
      };
    }
    ~TProgressScope() { GIFProgressHandler = nullptr; }
  } scope(view);
  if (SaveBitmapToGIF(paths.Work(QStringLiteral("temp.gif")), workBitmap)) return true;
  view.ShowMessage(SaveFailedMessage(GIFLastError));
  return false;
}

bool ConvertBMPFile(const QString& path, const TAppPaths& paths, TBmpView& view,
                    uint8_t& reduceBits) {
  QString refusal;
  QImage workBitmap = LoadBMP(path, &refusal);
  if (workBitmap.isNull()) {
    view.ShowMessage(refusal);
    return false;
  }
  const int count = GetColorCount(workBitmap);
  if (count > 256) {
    const std::optional<int> bits = view.AskReduceBits(count);
    if (!bits) return false;
    reduceBits = uint8_t(*bits);
    // Each reduction consumes the full-colour picture, so only one is held.
    if (reduceBits == 1)
      workBitmap = CreateBMP_1bit(std::move(workBitmap));
    else if (reduceBits == 4 || reduceBits == 8)
      workBitmap = ChangePixel(reduceBits, std::move(workBitmap));
  }
  return ConvertBMPtoGIF(workBitmap, paths, view);
}
