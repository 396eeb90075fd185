#pragma once
// The files the preview page is made of, in a window's working folder: the
// page (preview.html) and its style sheet (bg.css). Either may vanish under
// the program (a cleaner of runtime folders, the user); the page would then
// show the web engine's error for good.
#include <QByteArray>

#include "document/AppPaths.h"

// Writes page and css again where their files are missing; raises
// EInOutError when a write fails.
void EnsurePreviewFiles(const TAppPaths& paths, const QByteArray& page, const QByteArray& css);
