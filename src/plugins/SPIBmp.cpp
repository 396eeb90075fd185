#include "plugins/SPIBmp.h"

#include <QCoreApplication>

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <cerrno>
#include <cstring>
#include <vector>

#include "document/FileErrors.h"
#include "plugins/DibConvert.h"
#include "plugins/SPIs.h"

namespace {

std::unique_ptr<TGraphic> CreateSPIBitmap() { return std::make_unique<TSPIBitmap>(); }

// Plug-ins may read a full 2 KB head, however short the data.
constexpr qsizetype kMinHead = 2048;

QString ExtOf(const QString& fileName) {
  const QString name = fileName.mid(fileName.lastIndexOf(QLatin1Char('/')) + 1);
  const int dot = name.lastIndexOf(QLatin1Char('.'));
  return dot < 0 ? QString() : name.mid(dot);
}

// Clears the name of a load when the load ends, however it ends.
struct TNamedLoad {
  TInSPIAble& Loader;
  TNamedLoad(TInSPIAble& loader, const QString& fileName) : Loader(loader) { Loader.SetName(fileName); }
  ~TNamedLoad() { Loader.ClearName(); }
};

// Plug-in blocks are locked, handed on, unlocked and freed in a fixed order,
// also when the conversion fails.
struct THandedOver {
  SusieHandle Header = 0, Bits = 0;
  ~THandedOver() {
    LocalUnlock(Header);
    LocalUnlock(Bits);
    LocalFree(Header);
    LocalFree(Bits);
  }
};

// Text of a plug-in's information handle, then the handle is freed.
QString TakeInfoText(SusieHandle h) {
  const auto* text = static_cast<const char*>(LocalLock(h));
  QString result;
  if (text) result = QString::fromUtf8(text, static_cast<qsizetype>(strnlen(text, LocalSize(h))));
  LocalUnlock(h);
  LocalFree(h);
  return result;
}

}  // namespace

const TGraphicClass TSPIBitmap::Class{"TSPIBitmap", &CreateSPIBitmap};
// Plug-in extensions are registered with the plug-in bitmap from the start.
const TGraphicClass* TSPIs::GraphicClass = &TSPIBitmap::Class;
const QString TInSPIAble::NativeExt = QStringLiteral("BMP");

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const int64_t p = int64_t(a) * b;
  const int64_t q = (std::llabs(p) + std::llabs(int64_t(c)) / 2) / std::llabs(int64_t(c));
  return int((p < 0) != (c < 0) ? -q : q);
}

// --- loader ---------------------------------------------------------------

TInSPIAble::TInSPIAble(TSPIBitmap* bitmap) : Bitmap(bitmap) {}

void TInSPIAble::SetName(const QString& fileName) {
  Ext = ExtOf(fileName);
  LoadName = fileName;
}

void TInSPIAble::ClearName() {
  Ext.clear();
  LoadName.clear();
}

void TInSPIAble::LoadFromStream(QIODevice& stream) {
  QByteArray data;
  if (auto* buffer = qobject_cast<QBuffer*>(&stream)) {
    data = buffer->data();
  } else {
    if (!stream.isSequential()) stream.seek(0);
    data = stream.readAll();
  }
  bool done;
  const bool named = !Ext.isEmpty() && Ext.mid(1).compare(NativeExt, Qt::CaseInsensitive) != 0;
  if (named)
    done = TryPlugins(data) || TryNative(data);
  else
    done = TryNative(data) || TryPlugins(data);
  if (!done) throw EInvalidGraphic(QCoreApplication::translate("SPIBmp", "認識できない画像形式です"));
}

bool TInSPIAble::TryNative(const QByteArray& data) {
  try {
    return Bitmap->LoadNative(data);
  } catch (const EPictureTooLarge&) {
    throw;
  } catch (...) {
    return false;
  }
}

bool TInSPIAble::TryPlugins(const QByteArray& data) {
  if (SPI) return TryPlugin(*SPI, data.constData(), data.size());
  if (!TSPIs::SPIsInstance) return false;
  for (TSPI* spi : TSPIs::SPIsInstance->FindPlugins({TSPIClass::InSPI}, Ext))
    if (TryPlugin(*static_cast<TInSPI*>(spi), data.constData(), data.size())) return true;
  return false;
}

bool TInSPIAble::TryPlugin(TInSPI& spi, const char* data, qsizetype size) {
  Progress(TProgressStage::psStarting, 0, false);
  bool done = false;
  try {
    done = Decode(spi, data, size);
    if (!done && RetrySkip128 && size > 128) done = Decode(spi, data + 128, size - 128);
  } catch (...) {
    Progress(TProgressStage::psEnding, 100, true);
    throw;
  }
  Progress(TProgressStage::psEnding, 100, true);
  return done;
}

bool TInSPIAble::Decode(TInSPI& spi, const char* data, qsizetype length) {
  std::vector<char> padded;
  if (length < kMinHead) {
    padded.assign(kMinHead, '\0');
    std::memcpy(padded.data(), data, size_t(length));
    data = padded.data();
  }
  const QByteArray name = QFile::encodeName(LoadName);
  if (spi.IsSupported(name.constData(), data) == 0) return false;

  TPictureInfoRec info;
  SusiePictureInfo raw{};
  if (spi.GetPictureInfo(data, length, SUSIE_INPUT_MEMORY, &raw) == 0) {
    info.Left = raw.left;
    info.Top = raw.top;
    info.Width = raw.width;
    info.Height = raw.height;
    info.xDensity = raw.x_density;
    info.yDensity = raw.y_density;
    info.ColorDepth = raw.colorDepth;
    if (raw.hInfo) info.Info = TakeInfoText(raw.hInfo);
    info.Valid = true;
  }

  THandedOver blocks;
  CallbackFailure = nullptr;
  const int result = spi.GetPicture(data, length, SUSIE_INPUT_MEMORY, &blocks.Header, &blocks.Bits,
                                    &TInSPIAble::ProgressCallback, reinterpret_cast<intptr_t>(this));
  // Only free blocks a plug-in says it filled; a failing one may have freed its own.
  if (result != 0) blocks.Header = blocks.Bits = 0;
  if (CallbackFailure) std::rethrow_exception(std::exchange(CallbackFailure, nullptr));
  if (result != 0) return false;
  // One block handed back as both is no picture, and is freed once.
  if (blocks.Header == blocks.Bits) {
    blocks.Bits = 0;
    return false;
  }
  const auto* bits = static_cast<const uint8_t*>(LocalLock(blocks.Bits));
  const auto* header = static_cast<const uint8_t*>(LocalLock(blocks.Header));
  bool done = false;
  if (OnDIB) OnDIB(header, LocalSize(blocks.Header), bits, LocalSize(blocks.Bits), info, done);
  return done;
}

void TInSPIAble::Progress(TProgressStage stage, int percent, bool redrawNow) {
  if (!Bitmap->OnProgress) return;
  const QRect rect(0, 0, Bitmap->Image().width(), Bitmap->Image().height());
  Bitmap->OnProgress(*Bitmap, stage, percent, redrawNow, rect, QString());
}

int TInSPIAble::ProgressCallback(int done, int total, intptr_t data) {
  auto* self = reinterpret_cast<TInSPIAble*>(data);
  if (!self) return 0;
  // No exception may cross the plug-in's own frames: a failure of the
  // handler asks the plug-in to stop and is raised again once it returns.
  try {
    self->Progress(TProgressStage::psRunning, MulDiv(done, 98, total) + 1, false);
    return 0;
  } catch (const EAbort&) {
    return 1;
  } catch (...) {
    self->CallbackFailure = std::current_exception();
    return 1;
  }
}

// --- bitmap ---------------------------------------------------------------

TSPIBitmap::TSPIBitmap() : Loader(std::make_unique<TInSPIAble>(this)) {
  Loader->OnDIB = [this](const uint8_t* header, size_t headerSize, const uint8_t* bits, size_t bitsSize,
                         const TPictureInfoRec&, bool& done) { DIB(header, headerSize, bits, bitsSize, done); };
}

TSPIBitmap::~TSPIBitmap() = default;

void TSPIBitmap::CopyOptionsToLoader() {
  Loader->SPI = SPI;
  Loader->RetrySkip128 = RetrySkip128;
}

void TSPIBitmap::Assign(const TSPIBitmap& source) {
  SPI = source.SPI;
  RetrySkip128 = source.RetrySkip128;
  FImage = source.FImage;
}

void TSPIBitmap::LoadFromFile(const QString& fileName) {
  CopyOptionsToLoader();
  TNamedLoad named(*Loader, fileName);
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) RaiseFileError(TFileAction::Read, fileName, errno ? errno : EIO);
  LoadFromStream(file);
}

void TSPIBitmap::LoadFromStream(QIODevice& stream) {
  CopyOptionsToLoader();
  Loader->LoadFromStream(stream);
}

void TSPIBitmap::LoadFromStreamWithName(QIODevice& stream, const QString& fileName) {
  CopyOptionsToLoader();
  TNamedLoad named(*Loader, fileName);
  Loader->LoadFromStream(stream);
}

std::function<void(QIODevice&, const QString&)> TSPIBitmap::OnLoadFromStreamWithName() {
  return [this](QIODevice& stream, const QString& fileName) { LoadFromStreamWithName(stream, fileName); };
}

bool TSPIBitmap::LoadNative(const QByteArray& bmpFile) {
  QImage image;
  if (!image.loadFromData(bmpFile, "BMP")) {
    QBuffer buffer;
    buffer.setData(bmpFile);
    const QSize size = QImageReader(&buffer, "BMP").size();
    if (PictureTooLarge(size.width(), size.height())) throw EPictureTooLarge(size.width(), size.height());
    return false;
  }
  // A table shorter than the depth allows would leave some pixel values
  // without a colour; they show as black.
  if (image.format() == QImage::Format_Indexed8 || image.format() == QImage::Format_Mono ||
      image.format() == QImage::Format_MonoLSB) {
    const int full = image.depth() == 1 ? 2 : 256;
    QList<QRgb> table = image.colorTable();
    while (table.size() < full) table.append(qRgb(0, 0, 0));
    image.setColorTable(table);
  }
  FImage = image;
  return true;
}

void TSPIBitmap::DIB(const uint8_t* header, size_t headerSize, const uint8_t* bits, size_t bitsSize, bool& done) {
  if (const auto size = OversizedDib(header, headerSize)) throw EPictureTooLarge(size->first, size->second);
  const std::optional<TDibLayout> layout = CheckDib(header, headerSize, bits ? bitsSize : 0);
  if (!layout || !bits) return;
  // The palette comes with the BMP file: Qt's reader gives every indexed
  // depth its colour table, so no separate palette step is needed.
  done = LoadNative(DibToBmpFile(header, bits, *layout));
}
