#include "alpha/AlphaWriter.h"

#include <QCoreApplication>

#include "alpha/AlphaErrors.h"
#include "alpha/PngStill.h"
#include "alpha/WebpAnimation.h"
#include "document/Exception.h"
#include "document/FileOps.h"

std::unique_ptr<TAlphaWriter> NewAlphaWriter(const TAlphaSave& save, QString& error) {
  QString reason;
  if (save.FrameCount == 0 || save.Width <= 0 || save.Height <= 0) reason = NothingToSave();
  else if (save.Format == TAlphaFormat::Png && save.FrameCount > 1) reason = AnimationAsPngReason(save.FrameCount);
  else if (save.Format == TAlphaFormat::WebP && (save.Width > kWebpMaxSide || save.Height > kWebpMaxSide))
    reason = QCoreApplication::translate("AlphaWriter", "WebP の画面は縦横 %1 画素までです。この画像は %2 x %3 画素です")
                 .arg(kWebpMaxSide)
                 .arg(save.Width)
                 .arg(save.Height);
  if (!reason.isEmpty()) {
    error = SaveFailure(save.Target, reason);
    return nullptr;
  }
  if (save.Format == TAlphaFormat::Png) return NewPngStill(save);
  return NewWebpAnimation(save, error);
}

bool SaveAlphaFile(TAlphaWriter& writer, const QString& target, QString& error) {
  if (!writer.Finish(error)) return false;
  try {
    SaveToFile(target, [&writer](int fd) { return writer.WriteTo(fd); });
  } catch (const Exception& e) {
    error = e.message();
    return false;
  }
  return true;
}
