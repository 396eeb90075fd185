// BMP decoding and the BMP-to-GIF road at small sizes: load (with the check
// that the file holds the pixels it claims), count colours, reduce at the depth
// the input picks, and write data/temp.gif. A GIF written is one the document
// reads, of the picture's size; a refusal is said, and leaves no file.
#include <QFile>

#include "FuzzViews.h"
#include "document/FileOps.h"
#include "document/GifDocument.h"
#include "reduce/BmpLoader.h"

// Larger claims are decoded (with the loader's own checks) but not reduced.
constexpr int64_t kMaxDecodedPixels = 1 << 20;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray file = Bytes(data, size);
  int64_t width, height;
  BmpClaimedSize(file, width, height);
  if (width * height > kMaxDecodedPixels) return 0;

  TAppPaths paths;
  paths.AppDir = ScratchDir();
  paths.DataDir = paths.AppDir + QStringLiteral("data/");
  const QString path = paths.AppDir + QStringLiteral("in.bmp");
  const QString temp = paths.Data(QStringLiteral("temp.gif"));
  SaveStringToFile(path, file);
  QFile::remove(temp);

  if (width * height > kMaxRoadPixels) {
    const QImage image = LoadBMP(path);
    if (!image.isNull()) FUZZ_CHECK(image.width() == width && image.height() == height);
    return 0;
  }

  TFuzzBmpView view(uint8_t(size * 131 >> 3));
  uint8_t reduceBits = 0;
  const bool done = ConvertBMPFile(path, paths, view, reduceBits);
  if (!done) {
    FUZZ_CHECK(!QFile::exists(temp));
    FUZZ_CHECK(view.Messages.size() == 1 || (view.Asked && view.Messages.isEmpty()));
    return 0;
  }
  FUZZ_CHECK(view.Messages.isEmpty());
  const auto gif = ParseGifHeader(LoadStringFromFile(temp));
  FUZZ_CHECK(gif.has_value() && !gif->InsertedGce);
  FUZZ_CHECK(gif->ImageWidth == width && gif->ImageHeight == height);
  if (view.Asked)
    FUZZ_CHECK(gif->ColorCount <= (reduceBits == ReducePicturePalette ? 256 : 1 << reduceBits) || reduceBits == 1);
  return 0;
}
