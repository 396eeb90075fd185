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
  // The page colour that edge pixels, read as blends of the art and the
  // chosen colour, are blended with instead.
  std::optional<TColor> Matte;

  bool IsDefault() const { return Tolerance == 0 && !Connected && !Matte; }
  bool operator==(const TReach& o) const {
    return Tolerance == o.Tolerance && Connected == o.Connected && Matte == o.Matte;
  }
  bool operator!=(const TReach& o) const { return !(*this == o); }
};
