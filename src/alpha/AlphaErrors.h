#pragma once
// The messages of a failed alpha save: the target that could not be saved and
// why, lack of memory named only where the encoder said so.
#include <QString>
#include <cstddef>
#include <webp/encode.h>

// The reason for a failed frame or assembly, from the picture's error code
// and the encoder's text (which carries a mux error's code): lack of memory or
// the 4 GB limit where either says so, else the encoder's own words.
QString WebpFailureReason(WebPEncodingError code, const char* encoderText);

// The reasons of the alpha savers' own refusals.
QString EncoderFailed(const QString& what);  // "WebP の符号化に失敗しました: what"
QString NothingToSave();
QString FramesMissing(size_t added, size_t expected);

// The whole message: the target that could not be saved, the reason on a
// line of its own, as file errors read.
QString SaveFailure(const QString& target, const QString& reason);
