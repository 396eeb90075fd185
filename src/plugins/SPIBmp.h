#pragma once
// The bitmap picture class of the display pane. It decodes with Qt's BMP
// reader or with a picture plug-in, and turns what a plug-in returns into
// its own pixels; a loader object that each bitmap owns does the work.
#include <QIODevice>
#include <QImage>
#include <QString>
#include <exception>
#include <functional>
#include <memory>

#include "plugins/PictureFormats.h"
#include "plugins/SPI.h"

// The silent abort a progress handler raises to ask for the load to stop.
class EAbort : public Exception {
 public:
  EAbort() : Exception(QString()) {}
};

struct TPictureInfoRec {
  int32_t Left = 0, Top = 0, Width = 0, Height = 0;
  uint16_t xDensity = 0, yDensity = 0;
  int16_t ColorDepth = 0;
  QString Info;
  bool Valid = false;
};

// Converter of plug-in output: header block (bitmap-info header and colour
// table) and pixel block, each with the size its handle really has.
using TDIBEvent = std::function<void(const uint8_t* header, size_t headerSize, const uint8_t* bits,
                                     size_t bitsSize, const TPictureInfoRec& info, bool& done)>;

class TSPIBitmap;

class TInSPIAble {
 public:
  explicit TInSPIAble(TSPIBitmap* bitmap);

  TSPIBitmap* Bitmap;
  QString Ext;       // with its dot, during a named load
  QString LoadName;  // handed to IsSupported, during a named load
  static const QString NativeExt;
  TDIBEvent OnDIB;
  TInSPI* SPI = nullptr;
  bool RetrySkip128 = true;

  void SetName(const QString& fileName);
  void ClearName();
  // Decodes the whole stream from its start; raises EInvalidGraphic when
  // neither the built-in decoder nor a plug-in can.
  void LoadFromStream(QIODevice& stream);

 private:
  bool TryNative(const QByteArray& data);
  bool TryPlugins(const QByteArray& data);
  bool TryPlugin(TInSPI& spi, const char* data, qsizetype size);
  bool Decode(TInSPI& spi, const char* data, qsizetype length);
  void Progress(TProgressStage stage, int percent, bool redrawNow);
  static int ProgressCallback(int done, int total, intptr_t data);
  std::exception_ptr CallbackFailure;
};

class TSPIBitmap : public TGraphic {
 public:
  static const TGraphicClass Class;

  TSPIBitmap();
  ~TSPIBitmap() override;

  TInSPI* SPI = nullptr;  // the one plug-in to use; null: the manager's
  bool RetrySkip128 = true;

  void Assign(const TSPIBitmap& source);
  void LoadFromFile(const QString& fileName) override;
  void LoadFromStream(QIODevice& stream);
  virtual void LoadFromStreamWithName(QIODevice& stream, const QString& fileName);
  // Always this bitmap's own LoadFromStreamWithName.
  std::function<void(QIODevice&, const QString&)> OnLoadFromStreamWithName();

  const QImage& Image() const override { return FImage; }
  // The built-in BMP decoder; false (and the picture unchanged) on failure.
  bool LoadNative(const QByteArray& bmpFile);
  // The conversion of plug-in output, as the loader's OnDIB.
  void DIB(const uint8_t* header, size_t headerSize, const uint8_t* bits, size_t bitsSize, bool& done);

 private:
  void CopyOptionsToLoader();
  QImage FImage;
  std::unique_ptr<TInSPIAble> Loader;
};

// Rounded a * b / c with a 64-bit product; -1 when c is 0.
int MulDiv(int a, int b, int c);
