#pragma once
// How far a choice reaches past the chosen colour's own pixels: near colours
// too, only the background joined to the picture's edge, and edges blended
// for the page the picture will sit on. The defaults reach exactly the
// chosen colour's copies, everywhere, with edges left as they are.
#include <optional>

#include "document/Color.h"

constexpr int kMaxTolerance = 100;

struct TReach {
  // 0-100: the largest RGB distance from the chosen colour that is taken
  // too, as a share of the distance from black to white.
  int Tolerance = 0;
  // Only taken pixels joined to the picture's edge through taken pixels
  // (4-neighbours), found in each frame as a browser shows it.
  bool Connected = false;
  // The page colour a GIF's soft edges are blended with; a GIF without one
  // keeps its edges as they are.
  std::optional<TColor> Matte;
  // Edge pixels are read as blends of the art and the chosen colour and
  // unmixed: kept partly see-through where a format holds alpha, blended
  // with the page colour (Matte) where it does not.
  bool SoftEdges = false;

  bool IsDefault() const { return Tolerance == 0 && !Connected && !SoftEdges && !Matte; }
  // What a GIF's save can use: soft edges only with a page colour, a page
  // colour only for soft edges. Settings meant for alpha leave a GIF as it was.
  TReach ForGif() const {
    TReach r = *this;
    r.SoftEdges = SoftEdges && Matte;
    if (!r.SoftEdges) r.Matte.reset();
    return r;
  }
  bool operator==(const TReach& o) const {
    return Tolerance == o.Tolerance && Connected == o.Connected && SoftEdges == o.SoftEdges && Matte == o.Matte;
  }
  bool operator!=(const TReach& o) const { return !(*this == o); }
};
