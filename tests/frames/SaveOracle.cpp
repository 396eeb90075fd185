#include "SaveOracle.h"

#include <gif_lib.h>

#include "common/GifAnimation.h"
#include "common/GifBuffers.h"
#include "document/GifFrames.h"
#include "frames/Background.h"
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

std::string CompareWithTarget(const TGifDocument& doc, const QByteArray& saved, TControlReading reading,
                              size_t frames) {
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
  // Beyond one colour, each frame's target is made from the whole frame.
  TBackgroundTarget beyond(chosen, doc.Background);
  TCanvas frame(TRect::Sized(target->Left, target->Top, target->Width, target->Height));
  for (size_t k = 0; k < std::min(frames, target->Canvases.size()); ++k) {
    if (!doc.Background.IsDefault()) {
      frame.Paste(frame.Bounds(), target->Canvases[k]);
      beyond.Make(frame);
    }
    for (size_t i = 0; i < target->Canvases[k].size(); ++i) {
      const uint32_t want = !doc.Background.IsDefault()        ? beyond.Target()[i]
                            : target->Canvases[k][i] == chosen ? 0
                                                               : target->Canvases[k][i];
      if (shown->Canvases[k][i] != want)
        return QStringLiteral("frame %1 pixel (%2,%3): %4 instead of %5")
            .arg(k)
            .arg(target->Left + int(i % size_t(target->Width)))
            .arg(target->Top + int(i / size_t(target->Width)))
            .arg(shown->Canvases[k][i], 8, 16, QLatin1Char('0'))
            .arg(want, 8, 16, QLatin1Char('0'))
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
