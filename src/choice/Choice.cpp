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

void ChoosePaletteEntry(TGifDocument& doc, const TAppPaths& paths, TChoiceView& view, uint8_t index) {
  ChooseEntry(doc, view, index);
  view.SetTransChecked(true);
  PreviewIfRealTime(doc, paths, view);
}

void SetTransparency(TGifDocument& doc, const TAppPaths& paths, TChoiceView& view, bool on) {
  doc.TransparentOn = on;
  PreviewIfRealTime(doc, paths, view);
}

void SetBackground(TGifDocument& doc, const TAppPaths& paths, TChoiceView& view, const TBackground& background) {
  if (doc.Background == background) return;
  doc.Background = background;
  // With transparency off the save is the same whatever the background.
  if (doc.ColorCount > 0 && view.TransparencyChecked()) PreviewIfRealTime(doc, paths, view);
}

void ChangePreviewPage(TGifDocument& doc, const TAppPaths& paths, TChoiceView& view, TColor page) {
  if (doc.Background.Matte) {
    doc.Background.Matte = page;
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
