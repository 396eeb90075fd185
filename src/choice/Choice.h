#pragma once
// The road of a choice: the colour picked on the picture or in the palette,
// transparency on or off, the preview copy, the save. The window provides
// the view side through TChoiceView; what happens, and in what order, is here.
#include <QString>
#include <optional>

#include "document/AppPaths.h"
#include "document/GifDocument.h"
#include "document/FramesPanel.h"
#include "document/StatusPanels.h"

class TChoiceView;
struct TPlanResult;

// A pixel of the shown picture: its colour, and its palette entry when the
// picture was decoded with indices.
struct TShownPixel {
  TColor Color = 0;
  std::optional<int> Index;
};

// Writes data/_.gif as it would be saved and shows the preview.
void PreviewChoice(const TGifDocument& doc, const TAppPaths& paths, TChoiceView& view);

class TChoiceView {
 public:
  virtual ~TChoiceView() = default;
  virtual void SetMsg(int index, const QString& text) = 0;
  // The swatch of the colour just picked, with its hint (none: keep the hint).
  virtual void ShowPickedColor(TColor color, const QString& hint) = 0;
  virtual bool RealTimePreview() const = 0;
  virtual bool TransparencyChecked() const = 0;
  // Whether a choice applies to every frame of an animation.
  virtual bool AllFrames() const = 0;
  // Shows data/preview.html afresh.
  virtual void Preview() = 0;
  // Ticks or clears the transparency box.
  virtual void SetTransChecked(bool checked) = 0;
  // Makes the preview of doc's choice: planned here and now, unless the view
  // plans it elsewhere and shows it when done.
  virtual void PlanPreview(const TGifDocument& doc, const TAppPaths& paths) { PreviewChoice(doc, paths, *this); }
  // The picture's top-left pixel as shown, where a picture is shown.
  virtual std::optional<TShownPixel> CornerPixel() { return std::nullopt; }
};

// The choice road with nothing to show: transparency as asked, every frame
// or the first only, no preview. The command line and its tests use it.
class TQuietChoiceView : public TChoiceView {
 public:
  explicit TQuietChoiceView(bool allFrames) : All(allFrames) {}
  void SetMsg(int, const QString&) override {}
  void ShowPickedColor(TColor, const QString&) override {}
  bool RealTimePreview() const override { return false; }
  bool TransparencyChecked() const override { return true; }
  bool AllFrames() const override { return All; }
  void Preview() override {}
  void SetTransChecked(bool) override {}

 private:
  bool All;
};

// The eyedropper: the entry of the clicked pixel, or the nearest colour where
// no entry is known.
void PickShownColor(TGifDocument& doc, const TAppPaths& paths, TChoiceView& view, const TShownPixel& pixel);

// The choice of an entry: transparency on, that entry. The command line's.
void ChooseEntry(TGifDocument& doc, TChoiceView& view, uint8_t index);
// The palette window's choice: ChooseEntry, the box ticked, and the preview
// when it is made in real time.
void ChoosePaletteEntry(TGifDocument& doc, const TAppPaths& paths, TChoiceView& view, uint8_t index);

// Transparency on or off. Ticked before any colour was chosen in a file that
// had none, it takes the picture's top-left pixel (the command line's
// pixel:0,0), the background as a rule.
void SetTransparency(TGifDocument& doc, const TAppPaths& paths, TChoiceView& view, bool on);

// How far the choice reaches (tolerance, region, matte): kept for every file
// opened later, and previewed at once when transparency is on.
void SetReach(TGifDocument& doc, const TAppPaths& paths, TChoiceView& view, const TReach& reach);
// The preview's page changed to page. Edges matted to the page are blended
// for the new one and planned again, so the page never shows them blended for
// the old; otherwise the page alone is shown anew.
void ChangePreviewPage(TGifDocument& doc, const TAppPaths& paths, TChoiceView& view, TColor page);

// Writes the file as previewed to path.
void SaveChoice(const TGifDocument& doc, TChoiceView& view, const QString& path);

// A plan finished elsewhere (TPlanJob), written as the preview copy and
// shown, or written to path; the panels tell what was written, the size
// panel beside openedSize. A failed plan throws its failure.
void ShowPlannedPreview(const TPlanResult& result, const TAppPaths& paths, TChoiceView& view, qint64 openedSize);
void SavePlanned(const TPlanResult& result, TChoiceView& view, const QString& path, qint64 openedSize);
