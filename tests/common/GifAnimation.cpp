#include "common/GifAnimation.h"

#include "common/GifBuffers.h"

#include <cstring>
#include <stdexcept>

namespace {

ColorMapObject* MapOf(const std::vector<TRgb>& colors) {
  if (colors.empty()) return nullptr;
  int size = 2;
  while (size_t(size) < colors.size()) size *= 2;
  ColorMapObject* map = GifMakeMapObject(size, nullptr);
  for (size_t i = 0; i < colors.size(); ++i) map->Colors[i] = {colors[i].R, colors[i].G, colors[i].B};
  return map;
}

uint32_t Opaque(const GifColorType& c) { return 0xFF000000u | uint32_t(c.Red) << 16 | uint32_t(c.Green) << 8 | c.Blue; }

}  // namespace

QByteArray MakeAnimation(const TAnimPlan& plan) {
  QByteArray out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, WriteGifToBuffer, &error);
  if (!gif) throw std::runtime_error("EGifOpen failed");
  EGifSetGifVersion(gif, plan.Gif89);
  ColorMapObject* global = MapOf(plan.Colors);
  EGifPutScreenDesc(gif, plan.Width, plan.Height, 8, 0, global);
  for (const TAnimFrame& f : plan.Frames) {
    const int w = f.Width ? f.Width : plan.Width, h = f.Height ? f.Height : plan.Height;
    if (f.Packed) {
      const unsigned char gce[4] = {*f.Packed, 0, 0, f.TransparentIndex};
      EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, gce);
    }
    ColorMapObject* local = MapOf(f.LocalColors);
    // giflib forgets, unfreed, its copy of the last frame's local table when
    // a frame without one follows.
    if (!local && gif->Image.ColorMap) {
      GifFreeMapObject(gif->Image.ColorMap);
      gif->Image.ColorMap = nullptr;
    }
    EGifPutImageDesc(gif, f.Left, f.Top, w, h, f.Interlaced, local);
    std::vector<uint8_t> pixels = f.Pixels;
    pixels.resize(size_t(w) * h, 0);
    // An interlaced frame's rows go out in the order of its four passes.
    std::vector<int> rows;
    if (f.Interlaced) {
      for (const auto& [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
        for (int y = start; y < h; y += step) rows.push_back(y);
    } else {
      for (int y = 0; y < h; ++y) rows.push_back(y);
    }
    for (const int y : rows) EGifPutLine(gif, pixels.data() + size_t(y) * w, w);
    if (local) GifFreeMapObject(local);
  }
  if (global) GifFreeMapObject(global);
  EGifCloseFile(gif, &error);
  return out;
}

std::optional<TComposed> ComposeFrames(const QByteArray& data) {
  TGifBufferReader reader{&data};
  int error = 0;
  GifFileType* gif = DGifOpen(&reader, ReadGifFromBuffer, &error);
  if (!gif) return std::nullopt;
  if (DGifSlurp(gif) != GIF_OK) {
    DGifCloseFile(gif, &error);
    return std::nullopt;
  }
  TComposed c;
  c.Width = gif->SWidth;
  c.Height = gif->SHeight;
  const size_t area = size_t(c.Width) * c.Height;
  std::vector<uint32_t> canvas(area, 0);
  std::vector<int> painter(area, -1);
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& image = gif->SavedImages[i];
    const GifImageDesc& d = image.ImageDesc;
    GraphicsControlBlock gcb{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
    DGifSavedExtensionToGCB(gif, i, &gcb);
    const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
    const std::vector<uint32_t> before = canvas;
    const std::vector<int> paintedBefore = painter;
    for (int y = 0; y < d.Height; ++y)
      for (int x = 0; x < d.Width; ++x) {
        const int cx = d.Left + x, cy = d.Top + y;
        if (cx >= c.Width || cy >= c.Height) continue;
        const int index = image.RasterBits[size_t(y) * d.Width + x];
        if (index == gcb.TransparentColor || !map || index >= map->ColorCount) continue;
        canvas[size_t(cy) * c.Width + cx] = Opaque(map->Colors[index]);
        painter[size_t(cy) * c.Width + cx] = i;
      }
    c.Canvases.push_back(canvas);
    c.Painter.push_back(painter);
    if (gcb.DisposalMode == DISPOSE_BACKGROUND) {
      // Browsers clear the frame's rectangle to transparent, not to the background colour.
      for (int y = d.Top; y < std::min(c.Height, d.Top + d.Height); ++y)
        for (int x = d.Left; x < std::min(c.Width, d.Left + d.Width); ++x) {
          canvas[size_t(y) * c.Width + x] = 0;
          painter[size_t(y) * c.Width + x] = -1;
        }
    } else if (gcb.DisposalMode == DISPOSE_PREVIOUS) {
      canvas = before;
      painter = paintedBefore;
    }
  }
  DGifCloseFile(gif, &error);
  return c;
}
