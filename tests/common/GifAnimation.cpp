#include "common/GifAnimation.h"

#include "common/GifBuffers.h"

#include <algorithm>
#include <cstdint>
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

std::optional<TComposed> ComposeFrames(const QByteArray& data, TControlReading reading) {
  TGifBufferReader reader{&data};
  int error = 0;
  GifFileType* gif = DGifOpen(&reader, ReadGifFromBuffer, &error);
  if (!gif) return std::nullopt;
  if (DGifSlurp(gif) != GIF_OK) {
    DGifCloseFile(gif, &error);
    return std::nullopt;
  }
  TComposed c;
  int64_t left = 0, top = 0, right = gif->SWidth, bottom = gif->SHeight;
  int64_t frameLeft = INT32_MAX, frameTop = INT32_MAX, frameRight = 0, frameBottom = 0;
  for (int i = 0; i < gif->ImageCount; ++i) {
    const GifImageDesc& d = gif->SavedImages[i].ImageDesc;
    frameLeft = std::min<int64_t>(frameLeft, d.Left), frameTop = std::min<int64_t>(frameTop, d.Top);
    frameRight = std::max<int64_t>(frameRight, d.Left + d.Width), frameBottom = std::max<int64_t>(frameBottom, d.Top + d.Height);
  }
  right = std::max(right, frameRight), bottom = std::max(bottom, frameBottom);
  if (right * bottom > (int64_t(1) << 24) && gif->ImageCount > 0)
    left = frameLeft, top = frameTop, right = frameRight, bottom = frameBottom;
  c.Left = int(left), c.Top = int(top), c.Width = int(right - left), c.Height = int(bottom - top);
  const size_t area = size_t(c.Width) * c.Height;
  std::vector<uint32_t> canvas(area, 0);
  std::vector<int> painter(area, -1);
  GifColorType greys[256];
  for (int i = 0; i < 256; ++i) greys[i] = {GifByteType(i), GifByteType(i), GifByteType(i)};
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& image = gif->SavedImages[i];
    const GifImageDesc& d = image.ImageDesc;
    GraphicsControlBlock gcb{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
    for (int e = 0; e < image.ExtensionBlockCount; ++e) {
      const ExtensionBlock& block = image.ExtensionBlocks[e];
      if (block.Function != GRAPHICS_EXT_FUNC_CODE) continue;
      DGifExtensionToGCB(size_t(block.ByteCount), block.Bytes, &gcb);
      if (reading == TControlReading::First) break;
    }
    // Browsers read disposal 4 as 3, and 5 to 7 as keeping the frame.
    const int disposal = gcb.DisposalMode == 4 ? DISPOSE_PREVIOUS : gcb.DisposalMode > 4 ? DISPOSE_DO_NOT : gcb.DisposalMode;
    const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
    const GifColorType* colors = map ? map->Colors : greys;
    const int count = map ? map->ColorCount : 256;
    const std::vector<uint32_t> before = canvas;
    const std::vector<int> paintedBefore = painter;
    const auto at = [&](int x, int y) { return size_t(y - c.Top) * c.Width + size_t(x - c.Left); };
    for (int y = 0; y < d.Height; ++y)
      for (int x = 0; x < d.Width; ++x) {
        const int index = image.RasterBits[size_t(y) * d.Width + x];
        if (index == gcb.TransparentColor || index >= count) continue;
        canvas[at(d.Left + x, d.Top + y)] = Opaque(colors[index]);
        painter[at(d.Left + x, d.Top + y)] = i;
      }
    c.Canvases.push_back(canvas);
    c.Painter.push_back(painter);
    if (disposal == DISPOSE_BACKGROUND) {
      // Browsers clear the frame's rectangle to transparent, not to the background colour.
      for (int y = d.Top; y < d.Top + d.Height; ++y)
        for (int x = d.Left; x < d.Left + d.Width; ++x) {
          canvas[at(x, y)] = 0;
          painter[at(x, y)] = -1;
        }
    } else if (disposal == DISPOSE_PREVIOUS) {
      canvas = before;
      painter = paintedBefore;
    }
  }
  DGifCloseFile(gif, &error);
  return c;
}
