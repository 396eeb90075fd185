#include "choice/Choice.h"

#include <QCoreApplication>

#include "document/Eyedropper.h"
#include "document/FileOps.h"
#include "frames/SavePlan.h"

namespace {

void PreviewIfRealTime(const TGifDocument& doc, const TAppPaths& paths, TChoiceView& view) {
  if (view.RealTimePreview()) PreviewChoice(doc, paths, view);
}

// The entry of a picked pixel, trusted only when the picture's table agrees
// with the document's (a foreign plug-in may have decoded it differently).
std::optional<TPaletteMatch> EntryOfPixel(const TGifDocument& doc, const TShownPixel& pixel) {
  if (!pixel.Index || *pixel.Index < 0 || *pixel.Index >= doc.ColorCount) return std::nullopt;
  if (doc.PaletteColors[*pixel.Index] != pixel.Color) return std::nullopt;
  return TPaletteMatch{*pixel.Index, true};
}

}  // namespace

void PickShownColor(TGifDocument& doc, const TAppPaths& paths, TChoiceView& view, const TShownPixel& pixel) {
  const int r = RedOf(pixel.Color), g = GreenOf(pixel.Color), b = BlueOf(pixel.Color);
  view.ShowPickedColor(pixel.Color, PickedColorHint(r, g, b));
  if (doc.ColorCount == 0) return;
  const TPaletteMatch match = EntryOfPixel(doc, pixel).value_or(NearestPaletteEntry(doc, r, g, b));
  view.SetMsg(PanelIndex, MatchPanelText(match));
  doc.TransparentIndex = uint8_t(match.Index);
  if (view.TransparencyChecked()) PreviewIfRealTime(doc, paths, view);
}

void ChooseEntry(TGifDocument& doc, TChoiceView& view, uint8_t index) {
  view.ShowPickedColor(doc.PaletteColors[index], QString());
  doc.TransparentOn = true;
  doc.TransparentIndex = index;
  view.SetMsg(PanelIndex, QString::number(index));
}

void SetTransparency(TGifDocument& doc, const TAppPaths& paths, TChoiceView& view, bool on) {
  doc.TransparentOn = on;
  PreviewIfRealTime(doc, paths, view);
}

namespace {

// The planned save streamed around the opened bytes: no copy of the file.
TFramePatchResult SavePlanned(const TGifDocument& doc, const QString& path, bool allFrames) {
  const TSavePlan plan = PlanSave(doc, allFrames);
  SaveToFile(path, [&](int fd) { return plan.Edits.WriteTo(fd, doc.GifData); });
  return plan.Frames;
}

}  // namespace

void PreviewChoice(const TGifDocument& doc, const TAppPaths& paths, TChoiceView& view) {
  const TFramePatchResult frames = SavePlanned(doc, paths.Work(QStringLiteral("_.gif")), view.AllFrames());
  view.SetMsg(PanelFrames, FramesPanelText(frames));
  view.Preview();
}

void SaveChoice(const TGifDocument& doc, TChoiceView& view, const QString& path) {
  const TFramePatchResult frames = SavePlanned(doc, path, view.AllFrames());
  view.SetMsg(PanelFrames, FramesPanelText(frames));
}
