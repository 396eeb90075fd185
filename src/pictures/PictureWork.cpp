#include "pictures/PictureWork.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QImageReader>
#include <memory>
#include <mutex>

#include "document/Exception.h"
#include "document/FileOps.h"
#include "plugins/PictureLimits.h"
#include "plugins/SPIBmp.h"
#include "plugins/SPIs.h"
#include "reduce/BmpToGif.h"

namespace {

class THeadlessBmpView : public TBmpView {
 public:
  void SetMsg(int, const QString&) override {}
  void ShowMessage(const QString& text) override { Message = text; }
  std::optional<int> AskReduceBits(int, const QString&) override { return Bits; }
  bool Dither() const override { return DitherOn; }
  int Bits = ReducePicturePalette;
  bool DitherOn = true;
  QString Message;
};

class TModuleWork : public TPictureWork {
 public:
  QByteArray Convert(const TConversionRequest& request, QString& error) override;
  std::optional<TShownPixel> FirstFramePixel(const QByteArray& gif, int x, int y, QString& error) override;
  std::vector<uint32_t> FullColor(const TConversionRequest& request, int& width, int& height, QString& error) override;

 private:
  // The conversion writes one temp.gif, and the GIF writer keeps its last
  // error and progress handler for the whole program: one at a time.
  std::mutex ConvertMutex;
  std::mutex DecodeMutex;
  std::unique_ptr<TSPIs> Plugins;  // loaded at the first pixel asked for
};

QByteArray TModuleWork::Convert(const TConversionRequest& request, QString& error) {
  std::lock_guard<std::mutex> lock(ConvertMutex);
  try {
    const TAppPaths paths{QString(), request.WorkDir, QString()};
    THeadlessBmpView view;
    view.Bits = request.ReduceBits;
    view.DitherOn = request.Dither;
    uint8_t bits = request.ReduceBits;
    if (!ConvertBMPFile(request.Path, paths, view, bits, request.Shown)) {
      error = QString(view.Message).replace(request.Path, request.Shown);
      return QByteArray();
    }
    const QString temp = paths.Work(QStringLiteral("temp.gif"));
    const QByteArray gif = LoadStringFromFile(temp);
    QFile::remove(temp);
    return gif;
  } catch (const Exception& e) {
    error = e.message();
  } catch (const std::exception& e) {
    error = QString::fromLocal8Bit(e.what());
  }
  return QByteArray();
}

std::optional<TShownPixel> TModuleWork::FirstFramePixel(const QByteArray& gif, int x, int y, QString& error) {
  QImage image;
  try {
    std::lock_guard<std::mutex> lock(DecodeMutex);
    if (!Plugins) {
      Plugins = std::make_unique<TSPIs>();
      Plugins->AppDir = AddSlash(QCoreApplication::applicationDirPath());
      try {
        Plugins->Loaded();
      } catch (const Exception&) {
        // A plug-in lacking an export ends the search; those found before it serve.
      }
    }
    TSPIBitmap bitmap;
    QByteArray bytes = gif;
    QBuffer stream(&bytes);
    stream.open(QIODevice::ReadOnly);
    bitmap.LoadFromStreamWithName(stream, QStringLiteral("first.gif"));
    image = bitmap.Image();
  } catch (const Exception& e) {
    error = e.message();
    return std::nullopt;
  }
  if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) return std::nullopt;
  TShownPixel pixel{FromQRgb(image.pixel(x, y)), std::nullopt};
  if (image.colorCount() > 0) pixel.Index = image.pixelIndex(x, y);
  return pixel;
}

std::vector<uint32_t> TModuleWork::FullColor(const TConversionRequest& request, int& width, int& height,
                                             QString& error) {
  QImageReader reader(request.Path);
  reader.setAllocationLimit(kPictureAllocationMiB);
  const QSize size = reader.size();
  if (size.isValid() && PictureTooLarge(size.width(), size.height())) {
    error = PictureTooLargeMessage(size.width(), size.height());
    return {};
  }
  QImage image = reader.read();
  if (image.isNull()) {
    error = QCoreApplication::translate("PictureWork", "ファイル「%1」を画像として読めません。(%2)")
                .arg(request.Shown, reader.errorString());
    return {};
  }
  image = image.convertToFormat(QImage::Format_ARGB32);
  width = image.width(), height = image.height();
  std::vector<uint32_t> pixels(size_t(width) * height);
  for (int y = 0; y < height; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
    for (int x = 0; x < width; ++x) pixels[size_t(y) * width + x] = row[x] >> 24 ? row[x] : 0;
  }
  return pixels;
}

}  // namespace

TPictureWork* TomaruNewPictureWork() { return new TModuleWork; }
