#pragma once
// Loading an opened BMP. Qt decodes it (1/4/8/16/24/32 bits, RLE, top-down);
// a file whose header promises more pixel data than the file holds is refused
// rather than shown with made-up rows.
#include <QImage>
#include <QString>

// The decoded picture, or a null image when the file is no BMP Qt can read
// or claims sizes it does not hold.
QImage LoadBMP(const QString& path);

QString NotReadableAsBmpMessage(const QString& path);
