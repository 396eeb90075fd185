#include "reduce/BmpToGif.h"

#include "reduce/BmpLoader.h"
#include "reduce/ColorCount.h"
#include "reduce/GIFImage.h"
#include "reduce/PictureLoader.h"
#include "reduce/PicturePalette.h"
#include "reduce/Reduction.h"
#include "reduce/Transparency.h"

QString GIFImageProgressText(int percent, const QString& format) {
  if (percent == 100) return QString();
  return QStringLiteral("%1->GIF %2% Complete").arg(format).arg(percent);
}

QString SaveFailedMessage(int errorCode) {
  const char* text = errorCode >= 0 && errorCode < GIFErrorCount ? GIFErrorMessages[errorCode] : "";
  return QStringLiteral("Save Failed. Error Code = %1 [%2]").arg(errorCode).arg(QLatin1String(text));
}

bool ConvertBMPtoGIF(const QImage& workBitmap, const TAppPaths& paths, TBmpView& view, const QString& format,
                     int transparentEntry) {
  // The handler points into this window only for the length of the write.
  // The coder reports every few hundred pixels; the panel changes only when
  // the percentage does, so a window may repaint it each time.
  struct TProgressScope {
    TProgressScope(TBmpView& view, const QString& format) {
      GIFProgressHandler = [&view, &format, last = -1](int percent) mutable {
        if (percent == last) return;
        last = percent;
        view.SetMsg(PanelFileName, GIFImageProgressText(percent, format));
      };
    }
    ~TProgressScope() { GIFProgressHandler = nullptr; }
  } scope(view, format);
  if (SaveBitmapToGIF(paths.Work(QStringLiteral("temp.gif")), workBitmap, transparentEntry)) return true;
  view.ShowMessage(SaveFailedMessage(GIFLastError));
  return false;
}

namespace {

// The palette made for the picture; its own work shows in the same panel.
TIndexedPicture QuantizeWithProgress(const QImage& picture, bool dither, bool transparency, TBmpView& view,
                                     const QString& format) {
  view.SetMsg(PanelFileName, GIFImageProgressText(0, format));
  int last = 0;
  return QuantizeToPicturePalette(picture, dither, transparency, [&](int percent) {
    if (percent != last && percent < 100) view.SetMsg(PanelFileName, GIFImageProgressText(percent, format));
    last = percent;
    return true;
  });
}

// The picture reduced as the dialog's answer says.
TIndexedPicture Reduce(QImage picture, int bits, bool dither, bool transparency, TBmpView& view,
                       const QString& format) {
  if (bits == ReducePicturePalette) return QuantizeWithProgress(picture, dither, transparency, view, format);
  // The fixed palettes keep their own rule; a see-through part is added after.
  const QImage source = transparency ? picture : QImage();
  QImage reduced = bits == 1 ? CreateBMP_1bit(std::move(picture)) : ChangePixel(bits, std::move(picture));
  if (transparency) return AddTransparentEntry(std::move(reduced), source);
  return {std::move(reduced), -1};
}

}  // namespace

bool ConvertBMPFile(const QString& path, const TAppPaths& paths, TBmpView& view,
                    uint8_t& reduceBits, const QString& kindName) {
  QString refusal;
  const QString format = PictureFormatName(kindName.isEmpty() ? path : kindName);
  const bool bmp = format == QLatin1String("BMP");
  QImage workBitmap = bmp ? LoadBMP(path, &refusal) : LoadPicture(path, &refusal);
  if (workBitmap.isNull()) {
    view.ShowMessage(refusal);
    return false;
  }
  // Only PNGs carry transparency here; a BMP's alpha byte is ignored as ever.
  const bool transparency = !bmp && HasTransparentPixels(workBitmap);
  const int count = transparency ? GetColorCountWithTransparency(workBitmap) : GetColorCount(workBitmap);
  if (count <= 256) {
    if (!transparency) return ConvertBMPtoGIF(workBitmap, paths, view, format);
    const TIndexedPicture exact = IndexWithTransparency(workBitmap);
    return ConvertBMPtoGIF(exact.Image, paths, view, format, exact.TransparentIndex);
  }
  const std::optional<int> bits = view.AskReduceBits(count, format);
  if (!bits) return false;
  reduceBits = uint8_t(*bits);
  if (reduceBits != 1 && reduceBits != 4 && reduceBits != 8) reduceBits = ReducePicturePalette;
  // Each reduction consumes the full-colour picture, so only one is held.
  const TIndexedPicture reduced = Reduce(std::move(workBitmap), reduceBits, view.Dither(), transparency, view, format);
  if (reduced.Image.isNull()) return false;
  return ConvertBMPtoGIF(reduced.Image, paths, view, format, reduced.TransparentIndex);
}
