#include "alpha/PngStill.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QImageWriter>
#include <algorithm>

#include "alpha/AlphaErrors.h"
#include "document/FileOps.h"

namespace {

class TPngStill final : public TAlphaWriter {
 public:
  explicit TPngStill(const TAlphaSave& save) : Save(save) {}

  bool Add(const TPixel* pixels, int, QString& error) override {
    if (Taken) return Fail(AnimationAsPngReason(2), error);
    const size_t count = size_t(Save.Width) * Save.Height;
    // An opaque frame is written without an alpha channel: smaller, and the same picture.
    const bool opaque = std::all_of(pixels, pixels + count, [](TPixel p) { return p >> 24 == 0xFF; });
    const QImage image(reinterpret_cast<const uchar*>(pixels), Save.Width, Save.Height, qsizetype(Save.Width) * 4,
                       opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32);
    QBuffer buffer(&Encoded);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
      return Fail(QCoreApplication::translate("AlphaWriter", "PNG の符号化に失敗しました: %1").arg(writer.errorString()), error);
    Taken = true;
    return true;
  }

  bool Finish(QString& error) override { return Taken || Fail(NothingToSave(), error); }
  bool WriteTo(int fd) const override { return WriteAllTo(fd, Encoded); }

 private:
  bool Fail(const QString& reason, QString& error) const {
    error = SaveFailure(Save.Target, reason);
    return false;
  }

  TAlphaSave Save;
  QByteArray Encoded;  // the frame is encoded as it comes: no pixels are kept
  bool Taken = false;
};

}  // namespace

std::unique_ptr<TAlphaWriter> NewPngStill(const TAlphaSave& save) { return std::make_unique<TPngStill>(save); }

QString AnimationAsPngReason(size_t frames) {
  return QCoreApplication::translate("AlphaWriter",
                                     "PNG に保存できるのは 1 枚の絵だけです。%1 フレームのアニメーションは WebP で保存してください")
      .arg(frames);
}
