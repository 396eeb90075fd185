#include "cli/FirstFramePixel.h"

#include <QBuffer>
#include <QCoreApplication>
#include <mutex>

#include "cli/ColorArgument.h"
#include "plugins/SPIBmp.h"
#include "plugins/SPIs.h"

namespace {

std::mutex DecodeMutex;

}  // namespace

std::unique_ptr<TSPIs> LoadPicturePlugins() {
  auto spis = std::make_unique<TSPIs>();
  spis->AppDir = AddSlash(QCoreApplication::applicationDirPath());
  try {
    spis->Loaded();
  } catch (const Exception&) {
    // A plug-in lacking an export ends the search; those found before it serve.
  }
  return spis;
}

std::optional<TShownPixel> FirstFramePixel(const QByteArray& gif, int x, int y) {
  QImage image;
  {
    std::lock_guard<std::mutex> lock(DecodeMutex);
    TSPIBitmap bitmap;
    QByteArray bytes = gif;
    QBuffer stream(&bytes);
    stream.open(QIODevice::ReadOnly);
    bitmap.LoadFromStreamWithName(stream, QStringLiteral("first.gif"));
    image = bitmap.Image();
  }
  if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) return std::nullopt;
  TShownPixel pixel{FromQRgb(image.pixel(x, y)), std::nullopt};
  if (image.colorCount() > 0) pixel.Index = image.pixelIndex(x, y);
  return pixel;
}

std::optional<int> EntryOfPickedPixel(const TGifDocument& doc, const TShownPixel& pixel) {
  if (pixel.Index && *pixel.Index >= 0 && *pixel.Index < doc.ColorCount &&
      doc.PaletteColors[*pixel.Index] == pixel.Color)
    return *pixel.Index;
  return FindPaletteEntry(doc, pixel.Color);
}
