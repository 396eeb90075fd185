#pragma once
// A frame as a saved file draws it, and what writing one anew takes: a table
// that holds every colour it must draw, one entry left over for transparency,
// and the project's own LZW coder.
#include <QByteArray>
#include <optional>
#include <vector>

#include "frames/Canvas.h"
#include "frames/StopPoll.h"

struct TOutFrame {
  TRect Rect;                    // on the screen
  std::vector<uint8_t> Indices;  // Rect's pixels row by row
  std::vector<TPixel> Colors;    // its table, entry by entry
  int Transparent = -1;          // the entry that draws nothing, or -1
  bool LocalTable = false;       // written with a table of its own
  int MergedColors = 0;          // colours painted as their nearest, to fit the table
};

// Draws the frame where it meets the canvas; entries past its table draw nothing.
void DrawFrame(TCanvas& canvas, const TOutFrame& frame);

// What the screen must show over a region once a frame is drawn, given what
// it shows before: Draw marks the pixels the frame must paint (the target is
// opaque there); elsewhere the screen already shows the target. The region
// holds the frame's rectangle.
struct TFrameTarget {
  TRect Region;
  std::vector<TPixel> Target;  // Region's pixels row by row
  std::vector<uint8_t> Draw;   // 1 where the frame must paint
  // Beyond one colour (a tolerance, region or matte) a frame that must paint
  // more colours than a table holds may paint the nearest instead.
  bool MayMerge = false;
  TStopPoll Poll;  // asked as the rows are read
};

// The frame written anew over its rectangle widened to every pixel it must
// paint: its own indices kept wherever they show the right colour, the rest
// painted from the target or left transparent. Transparency goes to the first
// of preferred that no pixel needs, else another free entry; colours the
// table lacks are added to a table of the frame's own. Where that table would
// need more than 256 entries, a table of only the colours the frame shows, an
// entry for transparency only if a pixel needs it; failing that, where the
// target allows, the colours to paint merged into their nearest until they
// fit (MergedColors), changing as few painted pixels as little as possible.
// Indices past the table are kept, so empty where one must be painted, or
// when even that table does not fit.
std::optional<TOutFrame> RewriteFrame(const TOutFrame& original, const TFrameTarget& target,
                                      const std::vector<int>& preferred, TPixel spare);

// The frame over a wider rectangle, the new pixels transparent; empty when
// it has no entry to spare for that.
std::optional<TOutFrame> WidenFrame(const TOutFrame& frame, const TRect& rect, TPixel spare);

// Its image descriptor, table when it has its own, and image data.
QByteArray EncodeFrame(const TOutFrame& frame);

// The same, once they decode back to exactly the frame's pixels; empty when
// they do not, so that no file is written unreadable.
std::optional<QByteArray> EncodeReadable(const TOutFrame& frame);
