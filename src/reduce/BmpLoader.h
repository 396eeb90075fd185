#pragma once
// Loading an opened BMP. Qt decodes it (1/4/8/16/24/32 bits, RLE, top-down);
// a file whose header promises more pixel data than the file holds is refused
// rather than shown with made-up rows.
#include <QImage>
#include <QString>

// The decoded picture, or a null image when the file is no BMP Qt can read,
// claims sizes it does not hold or is larger than the program decodes;
// refusal, when given, then receives the message that says which.
QImage LoadBMP(const QString& path, QString* refusal = nullptr);

QString NotReadableAsBmpMessage(const QString& path);
