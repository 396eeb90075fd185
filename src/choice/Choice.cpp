#include "choice/Choice.h"

#include <QCoreApplication>

#include "document/Eyedropper.h"
#include "choice/PlanJob.h"
#include "document/FileOps.h"
#include "frames/SavePlan.h"

namespace {

void PreviewIfRealTime(const TGifDocument& doc, const TAppPaths& paths, TChoiceView& view) {
  if (view.RealTimePreview()) view.PlanPreview(doc, paths);
}

// The entry of a picked pixel, trusted only when the picture's table agrees
// with the document's (a foreign plug-in may have decoded it differently).
std::optional<TPaletteMatch> EntryOfPixel(const TGifDocument& doc, const TShownPixel& pixel) {
  if (!pixel.Index || *pixel.Index < 0 || *pixel.Index >= doc.ColorCount) return std::nullopt;
  if (doc.PaletteColors[*pixel.Index] != pixel.Color) return std::nullopt;
  return TPaletteMatch{*pixel.Index, true};
}

// The swatch shows the entry's own colour, the one a save makes transparent,
// also when the pixel picked was only near it.
void ShowChosenEntry(const TGifDocument& doc, TChoiceView& view, const TPaletteMatch& match) {
  const TColor c = doc.PaletteColors[match.Index];
  view.ShowPickedColor(c, PickedColorHint(RedOf(c), GreenOf(c), BlueOf(c)));
  view.SetMsg(PanelIndex, MatchPanelText(match));
}

void ChoosePixel(TGifDocument& doc, TChoiceView& view, const TShownPixel& pixel) {
  const TPaletteMatch match =
      EntryOfPixel(doc, pixel).value_or(NearestPaletteEntry(doc, RedOf(pixel.Color), GreenOf(pixel.Color), BlueOf(pixel.Color)));
  doc.TransparentIndex = uint8_t(match.Index);
  doc.ColorChosen = true;
  ShowChosenEntry(doc, view, match);
}

}  // namespace

void PickShownColor(TGifDocument& doc, const TAppPaths& paths, TChoiceView& view, const TShownPixel& pixel) {
  if (doc.ColorCount == 0) {
    view.ShowPickedColor(pixel.Color, PickedColorHint(RedOf(pixel.Color), GreenOf(pixel.Color), BlueOf(pixel.Color)));
    return;
  }
  ChoosePixel(doc, view, pixel);
  if (view.TransparencyChecked()) PreviewIfRealTime(doc, paths, view);
}

void ChooseEntry(TGifDocument& doc, TChoiceView& view, uint8_t index) {
  doc.TransparentOn = true;
  doc.TransparentIndex = index;
  doc.ColorChosen = true;
  ShowChosenEntry(doc, view, {index, true});
}

void ChoosePaletteEntry(TGifDocument& doc, const TAppPaths& paths, TChoiceView& view, uint8_t index) {
  ChooseEntry(doc, view, index);
  view.SetTransChecked(true);
  PreviewIfRealTime(doc, paths, view);
}

void SetTransparency(TGifDocument& doc, const TAppPaths& paths, TChoiceView& view, bool on) {
  doc.TransparentOn = on;
  // Entry 0 would be whatever colour the table starts with, text as often as background.
  if (on && !doc.ColorChosen && !doc.LoadedTransparent && doc.ColorCount > 0)
    if (const std::optional<TShownPixel> corner = view.CornerPixel()) ChoosePixel(doc, view, *corner);
  PreviewIfRealTime(doc, paths, view);
}

void SetReach(TGifDocument& doc, const TAppPaths& paths, TChoiceView& view, const TReach& reach) {
  if (doc.Reach == reach) return;
  doc.Reach = reach;
  // With transparency off the save is the same however far the choice reaches.
  if (doc.ColorCount > 0 && view.TransparencyChecked()) PreviewIfRealTime(doc, paths, view);
}

void ChangePreviewPage(TGifDocument& doc, const TAppPaths& paths, TChoiceView& view, TColor page) {
  if (doc.Reach.Matte) {
    doc.Reach.Matte = page;
    if (doc.ColorCount > 0 && view.TransparencyChecked()) {
      view.PlanPreview(doc, paths);
      return;
    }
  }
  view.Preview();
}

namespace {

// The planned save streamed around the opened bytes: no copy of the file.
void WritePlan(const TSavePlan& plan, const QByteArray& source, const QString& path) {
  SaveToFile(path, [&](int fd) { return plan.Edits.WriteTo(fd, source); });
}

TFramePatchResult SavePlanned(const TGifDocument& doc, const QString& path, bool allFrames) {
  const TSavePlan plan = PlanSave(doc, allFrames);
  WritePlan(plan, doc.GifData, path);
  return plan.Frames;
}

// Writes a finished plan and tells what was written.
void WriteFinished(const TPlanResult& result, TChoiceView& view, const QString& path, qint64 openedSize) {
  if (result.Failure) std::rethrow_exception(result.Failure);
  // The plan's outcome replaces its progress, also when the write fails.
  view.SetMsg(PanelFrames, FramesPanelText(result.Plan.Frames));
  WritePlan(result.Plan, result.Source, path);
  view.SetMsg(PanelFileSize, FileSizeText(openedSize, result.Plan.Frames.Rewritten > 0 ? CheckFileSize(path) : -1));
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

void ShowPlannedPreview(const TPlanResult& result, const TAppPaths& paths, TChoiceView& view, qint64 openedSize) {
  WriteFinished(result, view, paths.Work(QStringLiteral("_.gif")), openedSize);
  view.Preview();
}

void SavePlanned(const TPlanResult& result, TChoiceView& view, const QString& path, qint64 openedSize) {
  WriteFinished(result, view, path, openedSize);
}
