#pragma once
// The decoded-picture module, loaded by the runs that need it: a pixel:X,Y
// colour or a BMP, PNG or JPEG to convert.
#include <QString>
#include <memory>

#include "pictures/PictureWork.h"

// A new worker of the module; null with error saying why when the module is
// missing or broken.
std::unique_ptr<TPictureWork> OpenPictureWork(QString& error);
