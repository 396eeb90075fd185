#pragma once
// How large a picture the program decodes. A GIF may claim 65535 x 65535;
// no copy of such a picture could be held, so the bound is a pixel count:
// that of 16384 x 16384, which as 32-bit pixels is 1 GiB. Qt's readers are
// allowed that much (their default stops at 128 MiB, about 33 megapixels).
#include <QCoreApplication>
#include <QString>
#include <cstdint>

constexpr int64_t kMaxPicturePixels = int64_t(1) << 28;
constexpr int kPictureAllocationMiB = int(kMaxPicturePixels * 4 / (1024 * 1024));

inline bool PictureTooLarge(int64_t width, int64_t height) {
  return width > 65535 || height > 65535 || width * height > kMaxPicturePixels;
}

inline QString PictureTooLargeMessage(int64_t width, int64_t height) {
  return QCoreApplication::translate("PictureLimits", "%1 x %2 ピクセルの画像は大きすぎるため表示できません").arg(width).arg(height);
}
