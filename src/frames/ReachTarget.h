#pragma once
// A frame's target beyond one colour: from the frame as a browser shows it
// and the choice (the chosen colour, a tolerance, the region, soft edges), one
// pixel each: transparent where the choice takes it, the frame as shown
// where it keeps it, and on a soft edge the art's unmixed colour with its
// share as alpha. A GIF holds no partial alpha: its road blends those edge
// pixels into the page colour instead, the only step the two roads differ in.
#include <cstdint>
#include <optional>
#include <vector>

#include "document/Reach.h"
#include "frames/Canvas.h"
#include "frames/ColorMap.h"
#include "frames/StopPoll.h"

// Where the target goes: a GIF (soft edges only with a matte, blended into
// it) or a format with 8-bit alpha (soft edges kept partly see-through).
enum class TTargetRoad { Gif, Alpha };

class TReachTarget {
 public:
  TReachTarget(TPixel chosen, const TReach& settings, TTargetRoad road = TTargetRoad::Gif);

  // Makes the target of shown. changed: where shown differs from what the
  // last call was given on the same screen; without it the whole is made
  // anew. Answers the bounds of what changed in the target (made whole: of
  // what is not transparent). poll is asked as the rows go.
  TRect Make(const TCanvas& shown, const std::optional<TRect>& changed = {}, const TStopPoll& poll = {});
  // The last target, row by row over shown's bounds, in the frame code's
  // pixels (0xAARRGGBB, straight alpha; 0 is transparent); on the GIF road
  // every pixel is transparent or opaque. It may show more colours than a
  // table holds: a frame that must paint them merges the nearest (RewriteFrame).
  const std::vector<TPixel>& Target() const { return Raw; }

  // Whether a colour is taken by the tolerance (transparency always is).
  bool Taken(TPixel p) const;

 private:
  // The steps of Make, over rectangles of the area (0, 0 at its top left).
  void Restart(const TRect& area);
  void Mark(const TCanvas& shown, const TRect& c, const TStopPoll& poll);
  TRect FillRegion(const TRect& c, bool whole, const TStopPoll& poll);
  void Fill(const TStopPoll& poll);
  void Remake(const TCanvas& shown, const TRect& u, bool whole, const TStopPoll& poll);
  void Unmix(const TCanvas& shown, const TRect& r, const TStopPoll& poll);
  void OntoPage(const TCanvas& shown);
  TRect Changed(const TRect& u, bool whole) const;
  double PaletteError(TPixel p);

  const TPixel Chosen;
  const TReach Settings;
  const TTargetRoad Road;
  const bool Soft;  // edges unmixed
  int64_t MaxDistance = 0;  // squared, times 100^2
  TPixel Page = 0;
  TRect Area;
  int Width = 0, Height = 0;
  // A byte a pixel: taken by the tolerance; cleared (now and for the last
  // target).
  std::vector<uint8_t> Mask, State, LastState, Across, Sources;
  std::vector<uint32_t> Seeds;
  // The target, and as it was over the area made again.
  std::vector<TPixel> Raw, OldRaw;
  // The edge pixels unmixed by the last Make and the art's share in each,
  // for the GIF road's blend.
  std::vector<std::pair<size_t, double>> Shares;
  // Every colour shown on the screen since it was made whole, and the
  // palette's error at those an edge pixel showed.
  TColorMap<float> Palette, Errors;
};
