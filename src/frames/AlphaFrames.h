#pragma once
// The frames of a choice as a format with 8-bit alpha stores them: each frame
// as a browser shows the opened file, turned into its target (frames/
// ReachTarget), composed on the same screen the judge of a GIF save composes
// on. Window-free and encoder-free: the writer takes what the sink is given.
#include <cstdint>
#include <functional>
#include <optional>

#include "document/GifDocument.h"
#include "frames/Canvas.h"
#include "frames/SavePlan.h"

// The canvas the judge composes on, the frame count, the NETSCAPE loop field.
struct TAlphaCanvas {
  TRect Area;
  size_t Frames = 0;
  std::optional<uint16_t> Loops;
};
TAlphaCanvas AlphaCanvasOf(const TGifDocument& doc, bool allFrames);

struct TAlphaFramesResult {
  int UndecodedFrom = -1;  // the first frame that could not be decoded: nothing after it was given
  bool Stopped = false;    // progress or the sink said stop
  bool TooLarge = false;   // the canvas holds more pixels than a frame is composed over
};

// Each frame of doc's choice as a browser shows the opened file, turned into its RGBA target
// (pixels over Area row by row, 0xAARRGGBB straight) with its delay in hundredths; sink false stops.
using TAlphaSink = std::function<bool(const TPixel* pixels, int delay)>;
TAlphaFramesResult ComposeAlphaFrames(const TGifDocument& doc, bool allFrames, const TAlphaSink& sink,
                                      const TPlanProgress& progress = {});

// A still picture's target at full colour (pixels 0xAARRGGBB straight, as
// read): the pixels of chosen taken as reach says; none leaves it as it is.
std::vector<TPixel> AlphaTargetOfPicture(const TCanvas& picture, std::optional<TPixel> chosen, const TReach& reach);
