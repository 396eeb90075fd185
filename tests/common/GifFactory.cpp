#include "common/GifFactory.h"

#include "common/GifBuffers.h"

#include <cstring>
#include <stdexcept>

namespace {

int BitsFor(size_t count) {
  int bits = 1;
  while ((size_t(1) << bits) < count) ++bits;
  return bits;
}

}  // namespace

QByteArray MakeGif(const TGifPlan& s) {
  QByteArray out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, WriteGifToBuffer, &error);
  if (!gif) throw std::runtime_error("EGifOpen failed");
  ColorMapObject* map = GifMakeMapObject(1 << BitsFor(s.Colors.size()), nullptr);
  for (size_t i = 0; i < s.Colors.size(); ++i) map->Colors[i] = {s.Colors[i].R, s.Colors[i].G, s.Colors[i].B};
  EGifSetGifVersion(gif, s.Gif89);
  EGifPutScreenDesc(gif, s.Width, s.Height, 8, 0, s.LocalTableOnly ? nullptr : map);
  if (s.Netscape) {
    EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
    EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0");
    const unsigned char loop[3] = {1, 0, 0};
    EGifPutExtensionBlock(gif, 3, loop);
    EGifPutExtensionTrailer(gif);
  }
  if (!s.Comment.isEmpty()) EGifPutComment(gif, s.Comment.constData());
  if (s.GceFlags) {
    const unsigned char gce[4] = {*s.GceFlags, 0, 0, s.GceIndex};
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, gce);
  }
  EGifPutImageDesc(gif, 0, 0, s.Width, s.Height, s.Interlaced, s.LocalTableOnly ? map : nullptr);
  std::vector<uint8_t> pixels = s.Pixels;
  pixels.resize(size_t(s.Width) * s.Height, 0);
  // giflib writes rows in the order given; interlaced files take the four passes.
  std::vector<int> order;
  if (s.Interlaced) {
    for (int start : {0, 4, 2, 1})
      for (int y = start; y < s.Height; y += (start == 0 ? 8 : start == 4 ? 8 : start == 2 ? 4 : 2)) order.push_back(y);
  } else {
    for (int y = 0; y < s.Height; ++y) order.push_back(y);
  }
  for (int y : order) EGifPutLine(gif, pixels.data() + size_t(y) * s.Width, s.Width);
  GifFreeMapObject(map);
  EGifCloseFile(gif, &error);
  return out;
}

std::optional<TDecodedGif> DecodeGif(const QByteArray& data) {
  TGifBufferReader reader{&data};
  int error = 0;
  GifFileType* gif = DGifOpen(&reader, ReadGifFromBuffer, &error);
  if (!gif) return std::nullopt;
  if (DGifSlurp(gif) != GIF_OK || gif->ImageCount < 1) {
    DGifCloseFile(gif, &error);
    return std::nullopt;
  }
  const SavedImage& image = gif->SavedImages[0];
  TDecodedGif d;
  d.Width = image.ImageDesc.Width;
  d.Height = image.ImageDesc.Height;
  const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
  if (map)
    for (int i = 0; i < map->ColorCount; ++i) d.Colors.push_back({map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue});
  const int rows = d.Height;
  d.Indices.assign(image.RasterBits, image.RasterBits + size_t(d.Width) * rows);
  if (image.ImageDesc.Interlace) {
    // DGifSlurp keeps interlaced rows in file order; put them in display order.
    std::vector<uint8_t> ordered(d.Indices.size());
    int src = 0;
    for (int start : {0, 4, 2, 1}) {
      const int step = start == 0 ? 8 : start == 4 ? 8 : start == 2 ? 4 : 2;
      for (int y = start; y < rows; y += step, ++src)
        std::memcpy(&ordered[size_t(y) * d.Width], &d.Indices[size_t(src) * d.Width], d.Width);
    }
    d.Indices.swap(ordered);
  }
  GraphicsControlBlock gcb;
  if (DGifSavedExtensionToGCB(gif, 0, &gcb) == GIF_OK) d.TransparentIndex = gcb.TransparentColor;
  DGifCloseFile(gif, &error);
  return d;
}
