#pragma once
// The alpha writer's module, loaded by the runs that write WebP or PNG.
#include <QString>
#include <memory>

#include "alpha/AlphaWork.h"

// A new worker of the module; null with error saying why when the module is
// missing or broken.
std::unique_ptr<TAlphaWork> OpenAlphaWork(QString& error);
