#pragma once
// An animated WebP, lossless, made by libwebp's animation encoder from whole
// canvases: it finds each frame's changed rectangle, disposal and blending
// itself, and merges a frame identical to the one before into its time.
#include <memory>

#include "alpha/AlphaWriter.h"

// The time a GIF delay plays for, as browsers play it: 0 or 1 hundredths as
// 100 ms, every other delay exactly.
int ShownMilliseconds(int delay);
// WebP's loop count (plays, 0 forever) for the GIF's NETSCAPE field.
int WebpLoopCount(const std::optional<uint16_t>& gifLoops);

// The writer, or none with error set.
std::unique_ptr<TAlphaWriter> NewWebpAnimation(const TAlphaSave& save, QString& error);
