#pragma once
// A frame's target beyond one colour: from the frame as a browser shows it
// and the choice (the chosen colour, a tolerance, the region, a matte), which
// pixels turn transparent and which edge pixels take a new colour.
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "document/Background.h"
#include "frames/Canvas.h"

class TBackgroundTarget {
 public:
  TBackgroundTarget(TPixel chosen, const TBackground& settings);

  // Makes the target of shown. changed: where shown differs from what the
  // last call was given on the same screen; without it the whole is made
  // anew. Frame after frame, the edges' colours are reduced the same way
  // while the frames show the same colours. Answers the bounds of what
  // changed in the target (made whole: of what is not transparent).
  TRect Make(const TCanvas& shown, const std::optional<TRect>& changed = {});
  // The last target, row by row over shown's bounds; 0 is transparent.
  const std::vector<TPixel>& Target() const { return Out; }
  // Whether its colours were reduced so that it shows at most 255 and
  // transparency, as a frame's table can hold.
  bool Reduced() const { return OutMapping != 0; }

  // Whether a colour is taken by the tolerance (transparency always is).
  bool Taken(TPixel p) const;

 private:
  void Fill();
  void Matte(const TCanvas& shown, const TRect& r);
  void Recount(const TRect& r);
  int Mapping();

  const TPixel Chosen;
  const TBackground Settings;
  int64_t MaxDistance = 0;  // squared, times 100^2
  TPixel Page = 0;
  TRect Area;
  int Width = 0, Height = 0;
  // A byte a pixel: taken by the tolerance; cleared (now and for the last
  // target); recoloured by the matte.
  std::vector<uint8_t> Mask, State, LastState, Recoloured, Across, Sources;
  std::vector<uint32_t> Seeds;
  // The target before and after its colours are reduced.
  std::vector<TPixel> Raw, Out;
  // Raw and Recoloured over the area made again, as they were before.
  std::vector<TPixel> OldRaw;
  std::vector<uint8_t> OldRecoloured;
  // How many pixels show each opaque colour: open addressing, a look-up a
  // multiply, since every pixel of a changed area is counted twice.
  class TTally {
   public:
    void Add(TPixel c, int64_t n);
    int64_t Of(TPixel c) const;
    std::vector<TPixel> Colors() const;  // those shown, unordered
    size_t Size() const { return Shown; }
    void Clear() { *this = TTally(); }

   private:
    size_t Slot(TPixel c) const { return size_t(c * 2654435761u) & (Keys.size() - 1); }
    void Grow();
    std::vector<TPixel> Keys = std::vector<TPixel>(64, 0);  // 0: empty
    std::vector<int64_t> Counts = std::vector<int64_t>(64, 0);
    size_t Used = 0, Shown = 0;
  };
  // How many pixels of Raw show each colour: as they were and recoloured.
  TTally Kept, Added;
  // The last reduction: the colours kept as they are, those the reduced
  // ones may take, and where each went.
  struct TReduction {
    bool All = false;
    std::vector<TPixel> Kept, Choices;
    std::unordered_map<TPixel, TPixel> Nearest;
  } Last;
  int Generation = 0;  // counts reductions made
  int OutMapping = 0;  // the reduction Out shows, 0 for none
};
