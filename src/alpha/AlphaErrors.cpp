#include "alpha/AlphaErrors.h"

#include <QCoreApplication>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <webp/mux.h>

#include "document/FileErrors.h"

namespace {

// The mux error code at the end of the encoder's text ("...WebPMuxError: -3."),
// or none.
bool MuxErrorIn(const char* text, int& code) {
  const char* at = text ? std::strstr(text, "WebPMuxError") : nullptr;
  if (!at) at = text ? std::strstr(text, "assembling WebP") : nullptr;
  if (!at) return false;
  const char* colon = std::strchr(at, ':');
  return colon && std::sscanf(colon + 1, "%d", &code) == 1;
}

}  // namespace

QString WebpFailureReason(WebPEncodingError code, const char* encoderText) {
  if (code == VP8_ENC_ERROR_OUT_OF_MEMORY || code == VP8_ENC_ERROR_BITSTREAM_OUT_OF_MEMORY) return SystemErrorText(ENOMEM);
  if (code == VP8_ENC_ERROR_FILE_TOO_BIG) return QCoreApplication::translate("AlphaWriter", "WebP は 4 GB を超えられません");
  int mux = 0;
  if (MuxErrorIn(encoderText, mux) && mux == WEBP_MUX_MEMORY_ERROR) return SystemErrorText(ENOMEM);
  const QString text = encoderText ? QString::fromUtf8(encoderText).trimmed() : QString();
  if (!text.isEmpty()) return EncoderFailed(text);
  return EncoderFailed(code == VP8_ENC_OK ? QCoreApplication::translate("FileErrors", "不明なエラー")
                                          : QStringLiteral("WebPEncodingError %1").arg(int(code)));
}

QString EncoderFailed(const QString& what) {
  return QCoreApplication::translate("AlphaWriter", "WebP の符号化に失敗しました: %1").arg(what);
}

QString NothingToSave() { return QCoreApplication::translate("AlphaWriter", "保存するフレームがありません"); }

QString FramesMissing(size_t added, size_t expected) {
  return QCoreApplication::translate("AlphaWriter", "%1 フレームのうち %2 フレームしか揃っていません").arg(expected).arg(added);
}

QString SaveFailure(const QString& target, const QString& reason) {
  return QCoreApplication::translate("FileErrors", "ファイル「%1」を保存できませんでした。").arg(target) + QLatin1Char('\n') +
         QStringLiteral("(") + reason + QStringLiteral(")");
}
