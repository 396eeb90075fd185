#pragma once
// A PNG of one frame, through Qt's PNG writer (the one the project reads PNGs
// with). A second frame is refused: PNG holds one picture.
#include <memory>

#include "alpha/AlphaWriter.h"

std::unique_ptr<TAlphaWriter> NewPngStill(const TAlphaSave& save);

// The reason an animation cannot be saved as PNG, naming WebP.
QString AnimationAsPngReason(size_t frames);
