#pragma once
// The messages of a failed alpha save: the target that could not be saved and
// why, lack of memory named only where the encoder said so.
#include <QString>
#include <webp/encode.h>

// The reason for a failed frame or assembly: the picture's own error code
// when it has one, else the encoder's text (which carries a mux error's code).
QString WebpFailureReason(WebPEncodingError code, const char* encoderText);

// The reasons of the alpha savers' own refusals.
QString EncoderFailed(const QString& what);  // "WebP の符号化に失敗しました: what"
QString NothingToSave();

// The whole message: the target that could not be saved, the reason on a
// line of its own, as file errors read.
QString SaveFailure(const QString& target, const QString& reason);
