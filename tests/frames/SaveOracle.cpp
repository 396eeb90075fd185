#include "SaveOracle.h"

#include <gif_lib.h>

#include "common/GifAnimation.h"
#include "common/GifBuffers.h"
#include "document/GifFrames.h"
#include "frames/SavePlan.h"

TGifDocument Chosen(const QByteArray& file, int entry) {
  TGifDocument doc;
  doc.ReadGifHeader(file);
  doc.TransparentOn = true;
  doc.TransparentIndex = uint8_t(entry);
  return doc;
}

TSaved Save(const TGifDocument& doc, bool rewrite) {
  const TSavePlan plan = PlanSave(doc, true, rewrite ? TFrameRewrite::Allowed : TFrameRewrite::Never);
  return {plan.Edits.Apply(doc.GifData), plan.Frames};
}

namespace {

int64_t Distance2(uint32_t a, uint32_t b) {
  int64_t d = 0;
  for (const int shift : {0, 8, 16}) d += int64_t(int(a >> shift & 255) - int(b >> shift & 255)) * (int(a >> shift & 255) - int(b >> shift & 255));
  return d;
}

// The background settings' target of one composed frame, by plain rules
// written for the tests: taken within the tolerance (transparency always),
// the region grown from the screen's edge one 4-neighbour at a time. With a
// matte, a pixel within two (a square) of a cleared one that was opaque may
// show anything: the PSNR tests judge those. 1 marks such a pixel.
std::vector<uint32_t> OracleTarget(const std::vector<uint32_t>& shown, int w, int h, uint32_t chosen,
                                   const TReach& b) {
  std::vector<bool> cleared(shown.size(), false);
  std::vector<int> queue;
  const auto reach = [&](int x, int y, bool seed) {
    if (!seed || x < 0 || y < 0 || x >= w || y >= h) return;
    const size_t i = size_t(y) * w + x;
    const uint32_t p = shown[i];
    if (!cleared[i] && (p == 0 || p == chosen || Distance2(p, chosen) * 10000 <= int64_t(b.Tolerance) * b.Tolerance * 3 * 255 * 255))
      cleared[i] = true, queue.push_back(int(i));
  };
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) reach(x, y, !b.Connected || x == 0 || y == 0 || x == w - 1 || y == h - 1);
  while (!queue.empty()) {
    const int x = queue.back() % w, y = queue.back() / w;
    queue.pop_back();
    for (const int d : {-1, 1}) reach(x + d, y, b.Connected), reach(x, y + d, b.Connected);
  }
  std::vector<uint32_t> want(shown.size());
  for (size_t i = 0; i < shown.size(); ++i) {
    want[i] = cleared[i] ? 0 : shown[i];
    const int x = int(i % size_t(w)), y = int(i / size_t(w));
    for (int ny = std::max(0, y - 2); b.Matte && b.SoftEdges && !cleared[i] && ny <= std::min(h - 1, y + 2); ++ny)
      for (int nx = std::max(0, x - 2); nx <= std::min(w - 1, x + 2); ++nx)
        if (cleared[size_t(ny) * w + nx] && shown[size_t(ny) * w + nx] != 0) want[i] = 1;
  }
  return want;
}

}  // namespace

std::string CompareWithTarget(const TGifDocument& doc, const QByteArray& saved, TControlReading reading,
                              size_t frames, int merged) {
  QByteArray opened = doc.GifData;
  opened[doc.GceFlagsOffset] = char(uint8_t(opened[doc.GceFlagsOffset]) & ~1);
  // The opened file as browsers read it: of several control blocks before an image, the last.
  const auto target = ComposeFrames(opened, TControlReading::Last), shown = ComposeFrames(saved, reading);
  if (!target || !shown) return "giflib cannot read it";
  if (target->Canvases.size() != shown->Canvases.size()) return "frame count differs";
  if (target->Left != shown->Left || target->Top != shown->Top || target->Width != shown->Width ||
      target->Height != shown->Height)
    return "canvas differs";
  const TColor c = doc.PaletteColors[doc.TransparentIndex];
  const uint32_t chosen = 0xFF000000u | uint32_t(RedOf(c)) << 16 | uint32_t(GreenOf(c)) << 8 | BlueOf(c);
  for (size_t k = 0; k < std::min(frames, target->Canvases.size()); ++k) {
    const std::vector<uint32_t> want =
        OracleTarget(target->Canvases[k], target->Width, target->Height, chosen, doc.Reach);
    for (size_t i = 0; i < want.size(); ++i) {
      const uint32_t got = shown->Canvases[k][i];
      if (want[i] == 1 || got == want[i] || (got != 0 && want[i] != 0 && Distance2(got, want[i]) <= merged)) continue;
      return QStringLiteral("frame %1 pixel (%2,%3): %4 instead of %5")
          .arg(k)
          .arg(target->Left + int(i % size_t(target->Width)))
          .arg(target->Top + int(i / size_t(target->Width)))
          .arg(got, 8, 16, QLatin1Char('0'))
          .arg(want[i], 8, 16, QLatin1Char('0'))
          .toStdString();
    }
  }
  return {};
}

std::vector<int> FramesWrittenAnew(const QByteArray& opened, const QByteArray& saved) {
  const TFrameWalk before = WalkGifFrames(opened), after = WalkGifFrames(saved);
  std::vector<int> changed;
  for (size_t k = 0; k < std::min(before.Frames.size(), after.Frames.size()); ++k) {
    const TGifFrame &b = before.Frames[k], &a = after.Frames[k];
    if (opened.mid(b.Descriptor, b.End - b.Descriptor) != saved.mid(a.Descriptor, a.End - a.Descriptor))
      changed.push_back(int(k));
  }
  return changed;
}

std::vector<TRaster> Rasters(const QByteArray& data) {
  TGifBufferReader reader{&data};
  int error = 0;
  GifFileType* gif = DGifOpen(&reader, ReadGifFromBuffer, &error);
  std::vector<TRaster> out;
  if (!gif) return out;
  if (DGifSlurp(gif) == GIF_OK)
    for (int i = 0; i < gif->ImageCount; ++i) {
      const SavedImage& image = gif->SavedImages[i];
      const GifImageDesc& d = image.ImageDesc;
      const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
      out.push_back({TRect::Sized(d.Left, d.Top, d.Width, d.Height),
                     {image.RasterBits, image.RasterBits + size_t(d.Width) * d.Height}, map ? map->ColorCount : 256});
    }
  DGifCloseFile(gif, &error);
  return out;
}
