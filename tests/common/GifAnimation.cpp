#include "common/GifAnimation.h"

#include "common/GifBuffers.h"

#include <QProcess>
#include <QStandardPaths>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
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

// giflib refuses a frame of no pixels, which browsers draw nothing of: found by a block walk of
// its own, it is said to be 1 x 1 to giflib (the tests' files hold a pixel's codes), then skipped.
QByteArray EmptyFramesMadeReadable(QByteArray gif, std::vector<bool>& empty) {
  const auto at = [&](qsizetype i) { return i < gif.size() ? uint8_t(gif[i]) : 0; };
  const auto table = [](uint8_t packed) { return packed & 0x80 ? 3 << ((packed & 7) + 1) : 0; };
  for (qsizetype pos = 13 + table(at(10)); at(pos) == 0x21 || at(pos) == 0x2C; ++pos) {
    if (at(pos) == 0x2C) {
      if (pos + 9 >= gif.size()) break;  // cut inside its descriptor: giflib refuses it anyway
      empty.push_back(!(at(pos + 5) | at(pos + 6)) || !(at(pos + 7) | at(pos + 8)));
      if (empty.back()) gif[pos + 5] = gif[pos + 7] = 1, gif[pos + 6] = gif[pos + 8] = 0;
      pos += 9 + table(at(pos + 9));
    }
    for (pos += 2; at(pos);) pos += 1 + at(pos);
  }
  return gif;
}

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

std::optional<TComposed> ComposeFrames(const QByteArray& opened, TControlReading reading) {
  std::vector<bool> empty;
  const QByteArray data = EmptyFramesMadeReadable(opened, empty);
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
  const GifImageDesc* first = gif->ImageCount > 0 ? &gif->SavedImages[0].ImageDesc : nullptr;  // grows the screen
  if (first) right = std::max<int64_t>(right, first->Left + first->Width), bottom = std::max<int64_t>(bottom, first->Top + first->Height);
  int64_t frameLeft = INT32_MAX, frameTop = INT32_MAX, frameRight = 0, frameBottom = 0;
  for (int i = 0; i < gif->ImageCount; ++i) {
    const GifImageDesc& d = gif->SavedImages[i].ImageDesc;
    frameLeft = std::min<int64_t>(frameLeft, d.Left), frameTop = std::min<int64_t>(frameTop, d.Top);
    frameRight = std::max(frameRight, std::min<int64_t>(right, d.Left + d.Width));
    frameBottom = std::max(frameBottom, std::min<int64_t>(bottom, d.Top + d.Height));
  }
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
    if (size_t(i) < empty.size() && empty[size_t(i)]) {
      c.Canvases.push_back(canvas), c.Painter.push_back(painter);
      continue;
    }
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
    const auto shown = [&](int x, int y) { return x >= c.Left && x < c.Left + c.Width && y >= c.Top && y < c.Top + c.Height; };
    for (int y = 0; y < d.Height; ++y)
      for (int x = 0; x < d.Width; ++x) {
        if (!shown(d.Left + x, d.Top + y)) continue;
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
          if (!shown(x, y)) continue;
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

QByteArray ShapesOverBand(int width, int height, int frames, int shapes) {
  TAnimPlan plan;
  plan.Width = width;
  plan.Height = height;
  for (int i = 0; i < 256; ++i) plan.Colors.push_back({uint8_t(i * 97 % 251), uint8_t(i * 57 % 241), uint8_t(i * 31 % 239)});
  plan.Colors[0] = {255, 255, 255};
  plan.Colors[255] = {1, 2, 3};  // "unchanged": never shown
  std::vector<uint8_t> background(size_t(width) * height, 0);
  for (int y = 0; y < height / 3; ++y)
    for (int x = 0; x < width; ++x) background[size_t(y) * width + x] = uint8_t(1 + (x * 7 + y * 3) % 60);
  std::vector<uint8_t> before;
  for (int k = 0; k < frames; ++k) {
    std::vector<uint8_t> screen = background;
    for (int s = 0; s < shapes; ++s) {
      const int size = std::min({12 + s * 7 % 40, width, height}), x0 = (s * 37 + k * (3 + s % 5)) % (width - size + 1),
                y0 = (s * 29 + k * (1 + s % 3)) % (height - size + 1);
      for (int y = y0; y < y0 + size; ++y)
        for (int x = x0; x < x0 + size; ++x) {
          const bool centre = std::abs(2 * (x - x0) - size) < size / 2 && std::abs(2 * (y - y0) - size) < size / 2;
          screen[size_t(y) * width + x] = uint8_t(centre ? 0 : 70 + (s * 13 + (x - x0) * (y - y0) / 3) % 180);
        }
    }
    TAnimFrame f;
    if (k == 0) {
      f.Pixels = screen;
      f.Packed = Packed(1);
    } else {
      int left = width, top = height, right = 0, bottom = 0;
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
          if (screen[size_t(y) * width + x] != before[size_t(y) * width + x])
            left = std::min(left, x), right = std::max(right, x + 1), top = std::min(top, y), bottom = std::max(bottom, y + 1);
      if (right <= left) left = top = 0, right = bottom = 1;
      f.Left = left, f.Top = top, f.Width = right - left, f.Height = bottom - top;
      for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
          const uint8_t p = screen[size_t(y) * width + x];
          f.Pixels.push_back(p == before[size_t(y) * width + x] ? 255 : p);
        }
      f.Packed = Packed(1, true);
      f.TransparentIndex = 255;
    }
    plan.Frames.push_back(std::move(f));
    before = std::move(screen);
  }
  return MakeAnimation(plan);
}

QByteArray GifsicleOptimised(const QByteArray& gif) {
  if (QStandardPaths::findExecutable(QStringLiteral("gifsicle")).isEmpty()) return {};
  QProcess p;
  p.start(QStringLiteral("gifsicle"), {QStringLiteral("-O2")});
  p.write(gif);
  p.closeWriteChannel();
  p.waitForFinished();
  return p.readAllStandardOutput();
}
