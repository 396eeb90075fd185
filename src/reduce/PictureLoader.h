#pragma once
// Loading an opened PNG or JPEG for conversion to GIF. Qt's readers decode it
// (16-bit, grey, palette and interlaced PNGs; baseline, progressive and CMYK
// JPEGs), the EXIF orientation applied. A file that is cut short, damaged or
// larger than the program decodes is refused with the reason.
#include <QImage>
#include <QString>

// Whether the road converts a file of this name from PNG or JPEG (by its
// extension, case ignored); the decoder then goes by the content.
bool IsPngOrJpegName(const QString& path);

// The kind of picture the road takes a file of this name for, as the user
// reads it: "PNG", "JPEG", else "BMP".
QString PictureFormatName(const QString& path);

// The decoded picture (Format_ARGB32 when it has alpha), or a null image with
// the message in refusal.
QImage LoadPicture(const QString& path, QString* refusal = nullptr);

QString NotReadableAsPictureMessage(const QString& path, const QString& reason);
