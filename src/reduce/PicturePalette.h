#pragma once
// A palette made for the picture: libimagequant chooses at most 256 colours
// (fewer when fewer serve as well) from a sample of the pixels; every pixel
// is then mapped onto the nearest of them, or by Floyd-Steinberg error
// diffusion when dithering is asked for.
#include <QImage>
#include <functional>

#include "reduce/Transparency.h"

// Reports a percentage of the work done; answers false to abandon it.
using TQuantizeProgress = std::function<bool(int percent)>;

// keepTransparency: pixels whose alpha is below 128 all become one
// transparent entry; otherwise the alpha byte is ignored, as the census does.
TIndexedPicture QuantizeToPicturePalette(const QImage& picture, bool dither, bool keepTransparency,
                                    const TQuantizeProgress& progress = {});
