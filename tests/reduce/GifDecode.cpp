#include "reduce/GifDecode.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

TDecodedGif DecodeGif(const QString& path) {
  TDecodedGif result;
  int error = 0;
  GifFileType* gif = DGifOpenFileName(path.toLocal8Bit().constData(), &error);
  if (!gif) {
    ADD_FAILURE() << "giflib cannot open " << path.toStdString() << ": " << GifErrorString(error);
    return result;
  }
  if (DGifSlurp(gif) != GIF_OK || gif->ImageCount != 1 || !gif->SColorMap) {
    ADD_FAILURE() << "giflib cannot decode " << path.toStdString() << ": " << GifErrorString(gif->Error);
  } else {
    result.Width = gif->SWidth;
    result.Height = gif->SHeight;
    for (int i = 0; i < gif->SColorMap->ColorCount; ++i) {
      const GifColorType c = gif->SColorMap->Colors[i];
      result.Colors.append(qRgb(c.Red, c.Green, c.Blue));
    }
    const SavedImage& image = gif->SavedImages[0];
    const size_t n = size_t(image.ImageDesc.Width) * size_t(image.ImageDesc.Height);
    result.Indices.assign(image.RasterBits, image.RasterBits + n);
  }
  DGifCloseFile(gif, &error);
  return result;
}
