#pragma once
// The colour a command line names: an RGB value (hex or a colour name), a
// palette entry, or the pixel of the first frame at a point.
#include <QString>
#include <optional>

#include "choice/Choice.h"
#include "document/GifDocument.h"

struct TColorArgument {
  enum class TKind { Rgb, Index, Pixel };
  TKind Kind = TKind::Rgb;
  TColor Color = 0;
  int Index = 0;
  int X = 0, Y = 0;
};

// "#RRGGBB", "RRGGBB", a CSS/SVG colour name, "index:N" (digits, 0..255) or
// "pixel:X,Y"; empty when the text is none of them.
std::optional<TColorArgument> ParseColorArgument(const QString& text);

// How messages name the colour: "#rrggbb", "index:N" or "pixel:X,Y".
QString ColorArgumentText(const TColorArgument& wanted);

// The first entry of the first frame's table that is exactly color.
std::optional<int> FindPaletteEntry(const TGifDocument& doc, TColor color);

// The entry a picked pixel names: its index when the decoded table agrees
// with the document's, else the first entry of exactly its colour.
std::optional<int> EntryOfPickedPixel(const TGifDocument& doc, const TShownPixel& pixel);
