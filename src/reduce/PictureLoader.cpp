#include "reduce/PictureLoader.h"

#include <QBuffer>
#include <QFile>
#include <QCoreApplication>
#include <QImageReader>

#include "plugins/PictureLimits.h"

namespace {

QString Suffix(const QString& path) { return path.mid(path.lastIndexOf(QLatin1Char('.')) + 1).toLower(); }

// libjpeg fills the rows missing from a file cut short with grey and calls
// it a warning; the picture would open with a made-up part. The image data
// must end with its end-of-image mark (an embedded thumbnail's comes before
// the last scan, which begins with a start-of-scan mark).
bool JpegReachesItsEnd(const QByteArray& data) {
  return data.lastIndexOf(QByteArrayLiteral("\xFF\xD9")) > data.lastIndexOf(QByteArrayLiteral("\xFF\xDA"));
}

}  // namespace

bool IsPngOrJpegName(const QString& path) {
  const int dot = path.lastIndexOf(QLatin1Char('.'));
  if (dot < 0 || path.indexOf(QLatin1Char('/'), dot) >= 0) return false;
  const QString ext = Suffix(path);
  return ext == QLatin1String("png") || ext == QLatin1String("jpg") || ext == QLatin1String("jpeg");
}

QString PictureFormatName(const QString& path) {
  if (!IsPngOrJpegName(path)) return QStringLiteral("BMP");
  return Suffix(path) == QLatin1String("png") ? QStringLiteral("PNG") : QStringLiteral("JPEG");
}

QString NotReadableAsPictureMessage(const QString& path, const QString& reason) {
  const QString message = QCoreApplication::translate("PictureLoader", "ファイル「%1」は%2画像として読み込めませんでした。")
                              .arg(path, PictureFormatName(path));
  return reason.isEmpty() ? message : message + QCoreApplication::translate("PictureLoader", "(%1)").arg(reason);
}

QImage LoadPicture(const QString& path, QString* refusal) {
  const auto refuse = [&](const QString& message) {
    if (refusal) *refusal = message;
    return QImage();
  };
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return refuse(NotReadableAsPictureMessage(path, file.errorString()));
  const QByteArray data = file.readAll();
  QBuffer buffer;
  buffer.setData(data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  const QByteArray format = reader.format();
  if (format != "png" && format != "jpeg")
    return refuse(NotReadableAsPictureMessage(path, QCoreApplication::translate("PictureLoader", "PNGでもJPEGでもありません")));
  const QSize size = reader.size();
  if (size.isValid() && PictureTooLarge(size.width(), size.height()))
    return refuse(PictureTooLargeMessage(size.width(), size.height()));
  if (format == "jpeg" && !JpegReachesItsEnd(data))
    return refuse(NotReadableAsPictureMessage(path, QCoreApplication::translate("PictureLoader", "ファイルが途中で切れています")));
  QImageReader::setAllocationLimit(kPictureAllocationMiB);
  reader.setAutoTransform(true);
  QImage image = reader.read();
  if (image.isNull()) return refuse(NotReadableAsPictureMessage(path, reader.errorString()));
  if (image.hasAlphaChannel() && image.format() != QImage::Format_ARGB32)
    image = image.convertToFormat(QImage::Format_ARGB32);
  return image;
}
