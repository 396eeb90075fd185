// The alpha writer on a GIF's frames, for bench/alpha_save_vs_gif2webp.sh:
//   bench_alpha_save IN.gif OUT.webp     frames decoded with giflib one at a time,
//                                        composed as a browser does, written as WebP
//   bench_alpha_save --same A.webp B.webp  exit 0 when both show the same frames
//                                        for the same times (libwebp's decoder)
#include <gif_lib.h>
#include <webp/demux.h>

#include <QByteArray>
#include <QFile>
#include <cstdio>
#include <algorithm>
#include <cstring>
#include <optional>
#include <memory>
#include <vector>

#include "alpha/AlphaWriter.h"

namespace {

using TGif = std::unique_ptr<GifFileType, void (*)(GifFileType*)>;

TGif OpenGif(const char* path) {
  int error = 0;
  return TGif(DGifOpenFileName(path, &error), [](GifFileType* g) { DGifCloseFile(g, nullptr); });
}

bool SkipCode(GifFileType* gif) {
  int size = 0;
  GifByteType* block = nullptr;
  if (DGifGetCode(gif, &size, &block) == GIF_ERROR) return false;
  while (block)
    if (DGifGetCodeNext(gif, &block) == GIF_ERROR) return false;
  return true;
}

bool SkipExtension(GifFileType* gif, GifByteType* block) {
  while (block)
    if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
  return true;
}

// The frames, counted without decoding them.
size_t CountFrames(const char* path) {
  TGif gif = OpenGif(path);
  size_t frames = 0;
  GifRecordType type;
  while (gif && DGifGetRecordType(gif.get(), &type) != GIF_ERROR && type != TERMINATE_RECORD_TYPE) {
    int code = 0;
    GifByteType* block = nullptr;
    if (type == IMAGE_DESC_RECORD_TYPE) {
      if (DGifGetImageDesc(gif.get()) == GIF_ERROR || !SkipCode(gif.get())) return 0;
      ++frames;
    } else if (type == EXTENSION_RECORD_TYPE) {
      if (DGifGetExtension(gif.get(), &code, &block) == GIF_ERROR || !SkipExtension(gif.get(), block)) return 0;
    }
  }
  return frames;
}

struct TControl {
  int Disposal = 0, Delay = 0, Transparent = -1;
};

// One frame read from gif and drawn onto canvas; false on a decode error.
bool DrawFrame(GifFileType* gif, const TControl& control, std::vector<TPixel>& canvas) {
  const GifImageDesc& d = gif->Image;
  const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
  std::vector<GifPixelType> line(d.Width);
  std::vector<int> rows;
  for (const auto& [start, step] : d.Interlace ? std::vector<std::pair<int, int>>{{0, 8}, {4, 8}, {2, 4}, {1, 2}}
                                               : std::vector<std::pair<int, int>>{{0, 1}})
    for (int y = start; y < d.Height; y += step) rows.push_back(y);
  for (int y : rows) {
    if (DGifGetLine(gif, line.data(), d.Width) == GIF_ERROR) return false;
    const int sy = d.Top + y;
    for (int x = 0; x < d.Width && sy < gif->SHeight; ++x) {
      const int sx = d.Left + x, i = line[x];
      if (sx >= gif->SWidth || i == control.Transparent || !map || i >= map->ColorCount) continue;
      const GifColorType c = map->Colors[i];
      canvas[size_t(sy) * gif->SWidth + sx] = OpaquePixel(c.Red, c.Green, c.Blue);
    }
  }
  return true;
}

void ClearRect(const GifImageDesc& d, int width, int height, std::vector<TPixel>& canvas) {
  for (int y = std::max(d.Top, 0); y < std::min(d.Top + d.Height, height); ++y)
    for (int x = std::max(d.Left, 0); x < std::min(d.Left + d.Width, width); ++x) canvas[size_t(y) * width + x] = 0;
}

int SaveAsWebp(const char* in, const char* out) {
  const size_t frames = CountFrames(in);
  TGif gif = OpenGif(in);
  if (!gif || frames == 0) return std::fprintf(stderr, "cannot read %s\n", in), 1;
  const int width = gif->SWidth, height = gif->SHeight;
  std::optional<uint16_t> loops;
  // The NETSCAPE block comes before the first image: read the records up to
  // it for the writer's loop count, the frames after.
  std::vector<TPixel> canvas(size_t(width) * height, 0), previous;
  std::unique_ptr<TAlphaWriter> writer;
  QString error;
  TControl control;
  GifImageDesc last{};
  int lastDisposal = 0;
  GifRecordType type;
  while (DGifGetRecordType(gif.get(), &type) != GIF_ERROR && type != TERMINATE_RECORD_TYPE) {
    if (type == EXTENSION_RECORD_TYPE) {
      int code = 0;
      GifByteType* block = nullptr;
      if (DGifGetExtension(gif.get(), &code, &block) == GIF_ERROR) return 1;
      if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
        control.Disposal = block[1] >> 2 & 7;
        control.Delay = block[2] | block[3] << 8;
        control.Transparent = block[1] & 1 ? block[4] : -1;
      }
      const bool netscape = code == APPLICATION_EXT_FUNC_CODE && block && block[0] == 11 &&
                            std::memcmp(block + 1, "NETSCAPE2.0", 11) == 0;
      if (netscape && DGifGetExtensionNext(gif.get(), &block) != GIF_ERROR && block && block[0] >= 3 && block[1] == 1)
        loops = uint16_t(block[2] | block[3] << 8);
      if (!SkipExtension(gif.get(), block)) return 1;
    } else if (type == IMAGE_DESC_RECORD_TYPE) {
      if (!writer) {
        writer = NewAlphaWriter({TAlphaFormat::WebP, QString::fromLocal8Bit(out), width, height, frames, loops}, error);
        if (!writer) return std::fprintf(stderr, "%s\n", qPrintable(error)), 1;
      }
      if (DGifGetImageDesc(gif.get()) == GIF_ERROR) return 1;
      if (lastDisposal == 2) ClearRect(last, width, height, canvas);
      if (lastDisposal == 3) canvas = previous;
      if (control.Disposal == 3) previous = canvas;
      if (!DrawFrame(gif.get(), control, canvas)) return std::fprintf(stderr, "frame does not decode\n"), 1;
      if (!writer->Add(canvas.data(), control.Delay, error)) return std::fprintf(stderr, "%s\n", qPrintable(error)), 1;
      last = gif->Image;
      lastDisposal = control.Disposal;
      control = {};
    }
  }
  if (!writer || !SaveAlphaFile(*writer, QString::fromLocal8Bit(out), error)) return std::fprintf(stderr, "%s\n", qPrintable(error)), 1;
  return 0;
}

bool Looks(uint32_t a, uint32_t b) { return a >> 24 == b >> 24 && (a >> 24 == 0 || a == b); }

// Each shown picture with its time, consecutive pictures that look the same merged.
struct TShown {
  std::vector<uint32_t> Pixels;
  int Ms;
};
std::vector<TShown> Timeline(const char* path, int& width, int& height) {
  QFile file(QString::fromLocal8Bit(path));
  const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  const WebPData data{reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())};
  std::unique_ptr<WebPAnimDecoder, void (*)(WebPAnimDecoder*)> decoder(WebPAnimDecoderNew(&data, nullptr),
                                                                       WebPAnimDecoderDelete);
  WebPAnimInfo info{};
  std::vector<TShown> shown;
  if (!decoder || !WebPAnimDecoderGetInfo(decoder.get(), &info)) return shown;
  width = int(info.canvas_width), height = int(info.canvas_height);
  int before = 0;
  while (WebPAnimDecoderHasMoreFrames(decoder.get())) {
    uint8_t* rgba = nullptr;
    int timestamp = 0;
    if (!WebPAnimDecoderGetNext(decoder.get(), &rgba, &timestamp)) return {};
    std::vector<uint32_t> pixels(size_t(width) * height);
    for (size_t i = 0; i < pixels.size(); ++i)
      pixels[i] = uint32_t(rgba[4 * i + 3]) << 24 | rgba[4 * i] << 16 | rgba[4 * i + 1] << 8 | rgba[4 * i + 2];
    const bool same = !shown.empty() && std::equal(pixels.begin(), pixels.end(), shown.back().Pixels.begin(), Looks);
    if (same) shown.back().Ms += timestamp - before;
    else shown.push_back({std::move(pixels), timestamp - before});
    before = timestamp;
  }
  return shown;
}

int Same(const char* a, const char* b) {
  int wa = 0, ha = 0, wb = 0, hb = 0;
  const auto ta = Timeline(a, wa, ha), tb = Timeline(b, wb, hb);
  if (ta.empty() || wa != wb || ha != hb || ta.size() != tb.size())
    return std::fprintf(stderr, "differ: %zu and %zu pictures\n", ta.size(), tb.size()), 1;
  for (size_t k = 0; k < ta.size(); ++k)
    if (ta[k].Ms != tb[k].Ms || !std::equal(ta[k].Pixels.begin(), ta[k].Pixels.end(), tb[k].Pixels.begin(), Looks))
      return std::fprintf(stderr, "differ at picture %zu\n", k), 1;
  std::printf("same: %zu pictures\n", ta.size());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--same") == 0) return Same(argv[2], argv[3]);
  if (argc != 3) return std::fprintf(stderr, "usage: %s IN.gif OUT.webp | --same A.webp B.webp\n", argv[0]), 2;
  return SaveAsWebp(argv[1], argv[2]);
}
