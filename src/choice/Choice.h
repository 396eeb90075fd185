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

 private:
  bool All;
};

// A pixel of the shown picture: its colour, and its palette entry when the
// picture was decoded with indices.
struct TShownPixel {
  TColor Color = 0;
  std::optional<int> Index;
};

// The eyedropper: the entry of the clicked pixel, or the nearest colour where
// no entry is known.
void PickShownColor(TGifDocument& doc, const TAppPaths& paths, TChoiceView& view, const TShownPixel& pixel);

// The palette window's choice of an entry; makes no preview.
void ChooseEntry(TGifDocument& doc, TChoiceView& view, uint8_t index);

void SetTransparency(TGifDocument& doc, const TAppPaths& paths, TChoiceView& view, bool on);

// Writes data/_.gif as it would be saved and shows the preview.
void PreviewChoice(const TGifDocument& doc, const TAppPaths& paths, TChoiceView& view);

// Writes the file as previewed to path.
void SaveChoice(const TGifDocument& doc, TChoiceView& view, const QString& path);
