#pragma once
// A frame's target beyond one colour: from the frame as a browser shows it
// and the choice (the chosen colour, a tolerance, the region, a matte), which
// pixels turn transparent and which edge pixels take a new colour.
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "document/Background.h"
#include "frames/Canvas.h"

class TBackgroundTarget {
 public:
  TBackgroundTarget(TPixel chosen, const TBackground& settings);

  // The target of the whole of shown, row by row, into target. Answers
  // whether the edges' new colours were reduced so that the target shows at
  // most 255 colours (and a transparent one), as a frame's table can hold.
  bool Make(const TCanvas& shown, std::vector<TPixel>& target);

  // Whether a colour is taken by the tolerance (transparency always is).
  bool Taken(TPixel p) const;

 private:
  void Clear(const TCanvas& shown);
  void Matte(const TCanvas& shown, std::vector<TPixel>& target);
  bool FitColors(std::vector<TPixel>& target);

  const TPixel Chosen;
  const TBackground Settings;
  int64_t MaxDistance = 0;  // squared, scaled by kScale
  TPixel Page = 0;
  // Scratch kept from frame to frame, a byte a pixel each.
  int Width = 0, Height = 0;
  std::vector<uint8_t> State, Across, Near;
  std::vector<uint32_t> Seeds;
  std::vector<uint32_t> Changed;  // pixels the matte recoloured
  // The last reduction: the colours kept, those reduced and where each went.
  struct TReduction {
    bool All = false;
    std::vector<TPixel> Kept, Reduced;
    std::unordered_map<TPixel, TPixel> Nearest;
  } Last;
};
