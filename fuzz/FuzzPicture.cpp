// The PNG and JPEG conversion road at small sizes (one target per kind, the
// file named with FUZZ_PICTURE_SUFFIX): Qt's reader through LoadPicture's own
// checks (kind by content, size limit, a JPEG cut short), colour count, see-
// through pixels, reduction at the depth the input picks, and data/temp.gif.
// A GIF written is one the document reads, of the decoded picture's size,
// transparent exactly when the picture has see-through pixels, and, when no
// reduction was asked for, with every pixel's colour; a refusal is said once,
// as LoadPicture words it, and leaves no file.
#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QtEndian>

#include "FuzzViews.h"
#include "common/GifFactory.h"
#include "document/FileOps.h"
#include "document/GifDocument.h"
#include "plugins/PictureLimits.h"
#include "reduce/PictureLoader.h"
#include "reduce/Transparency.h"

namespace {

uint32_t Crc32(const char* bytes, size_t size) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) {
    crc ^= uint8_t(bytes[i]);
    for (int bit = 0; bit < 8; ++bit) crc = crc >> 1 ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

// libpng refuses a chunk whose checksum is wrong, so nearly every mutation
// would end at the first chunk it touched: the checksums are made right,
// except for the inputs whose size is a multiple of 4, which keep theirs.
void MendPngChecksums(QByteArray& png) {
  if (png.size() % 4 == 0 || !png.startsWith("\x89PNG\r\n\x1A\n")) return;
  for (qsizetype at = 8; at + 12 <= png.size();) {
    const quint32 length = qFromBigEndian<quint32>(png.constData() + at);
    if (length > quint32(png.size() - at - 12)) return;
    qToBigEndian(Crc32(png.constData() + at + 4, length + 4), png.data() + at + 8 + length);
    at += 12 + qsizetype(length);
  }
}

// The answer to the reduction dialog. A palette made for the picture builds
// a table of 32768 cells, slow under the sanitizers: the bmp target searches
// that road; here it is taken for one input in 40.
uint8_t ReductionChoice(size_t size) {
  const auto choice = uint8_t(size * 131 >> 3);
  return choice % 5 == 3 && size % 8 != 0 ? choice ^ 1 : choice;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QByteArray file = Bytes(data, size);
  MendPngChecksums(file);
  TAppPaths paths;
  paths.AppDir = ScratchDir();
  paths.DataDir = paths.AppDir + QStringLiteral("data/");
  const QString path = paths.AppDir + QStringLiteral("in." FUZZ_PICTURE_SUFFIX);
  const QString temp = paths.Data(QStringLiteral("temp.gif"));
  SaveStringToFile(path, file);
  QFile::remove(temp);

  QBuffer buffer;
  buffer.setData(file);
  buffer.open(QIODevice::ReadOnly);
  const QSize claimed = QImageReader(&buffer).size();
  QString why;
  if (claimed.isValid() && int64_t(claimed.width()) * claimed.height() > kMaxRoadPixels) {
    // Too large for a quick run: only the refusal of what is past the limit.
    if (PictureTooLarge(claimed.width(), claimed.height()))
      FUZZ_CHECK(LoadPicture(path, &why).isNull() && why == PictureTooLargeMessage(claimed.width(), claimed.height()));
    return 0;
  }
  const QImage picture = LoadPicture(path, &why);
  FUZZ_CHECK(picture.isNull() != why.isEmpty());
  if (int64_t(picture.width()) * picture.height() > kMaxRoadPixels) return 0;

  TFuzzBmpView view(ReductionChoice(size));
  uint8_t reduceBits = 0;
  const bool done = ConvertBMPFile(path, paths, view, reduceBits);
  if (!done) {
    FUZZ_CHECK(!QFile::exists(temp));
    if (picture.isNull())
      FUZZ_CHECK(view.Messages == QStringList{why});
    else
      FUZZ_CHECK(view.Asked && view.Messages.isEmpty());
    return 0;
  }
  FUZZ_CHECK(!picture.isNull() && view.Messages.isEmpty());
  const auto gif = ParseGifHeader(LoadStringFromFile(temp));
  FUZZ_CHECK(gif.has_value() && !gif->InsertedGce);
  FUZZ_CHECK(gif->ImageWidth == picture.width() && gif->ImageHeight == picture.height());
  FUZZ_CHECK(bool(gif->GceFlags & 1) == HasTransparentPixels(picture));
  if (view.Asked) {
    // A fixed palette keeps its own entries, and a see-through part adds one
    // after them (the picture's own palette makes room for it within 256).
    const int entries = reduceBits == ReducePicturePalette ? 256 : (1 << reduceBits) + HasTransparentPixels(picture);
    FUZZ_CHECK(gif->ColorCount < 2 * entries);
    return 0;
  }
  // Not reduced: giflib reads back every pixel as it was, the see-through
  // ones (alpha below 128) as the transparent entry.
  const auto decoded = DecodeGif(LoadStringFromFile(temp));
  FUZZ_CHECK(decoded && decoded->Width == picture.width() && decoded->Height == picture.height());
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) {
      const QRgb was = picture.pixel(x, y);
      const int index = decoded->Indices[size_t(y * picture.width() + x)];
      FUZZ_CHECK(IsTransparentPixel(was) == (index == decoded->TransparentIndex));
      if (IsTransparentPixel(was)) continue;
      FUZZ_CHECK(index < int(decoded->Colors.size()));
      const TRgb now = decoded->Colors[size_t(index)];
      FUZZ_CHECK(now.R == qRed(was) && now.G == qGreen(was) && now.B == qBlue(was));
    }
  return 0;
}
