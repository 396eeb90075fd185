#pragma once
// The screen a GIF's frames are composed on as a browser keeps it, frame by
// frame: the judge of a save composes the opened picture and the saved file
// on it, and the alpha road the frames it writes.
#include <QByteArray>
#include <algorithm>
#include <vector>

#include "document/FramePatch.h"
#include "document/GifFrames.h"
#include "frames/Canvas.h"
#include "frames/OutFrame.h"

constexpr int kToBackground = 2, kToPrevious = 3;

inline std::vector<TPixel> TableColors(const QByteArray& source, const TGifFrame& frame) {
  if (frame.Table < 0) {
    // No table at all: drawn with the grey ramp the opened picture shows.
    std::vector<TPixel> greys(256);
    for (int i = 0; i < 256; ++i) greys[size_t(i)] = OpaquePixel(uint8_t(i), uint8_t(i), uint8_t(i));
    return greys;
  }
  std::vector<TPixel> colors(size_t(std::max(frame.ColorCount, 0)));
  const auto* t = reinterpret_cast<const uint8_t*>(source.constData()) + frame.Table;
  for (size_t i = 0; i < colors.size(); ++i) colors[i] = OpaquePixel(t[3 * i], t[3 * i + 1], t[3 * i + 2]);
  return colors;
}

inline int TransparentOf(const TFrameControl& c) {
  return c.Packed && (*c.Packed & kGceTransparentFlag) ? c.Index : -1;
}

inline int DisposalOf(const TFrameControl& c) { return c.Packed ? ShownDisposal(*c.Packed) : 0; }

inline TRect RectOf(const TGifFrame& f) { return TRect::Sized(f.Left, f.Top, f.Width, f.Height); }

// Where anything can be shown: a browser grows the screen to hold the first
// frame only and clips every later frame to it, so a frame far off it is
// never seen; outside the frames the screen stays transparent in both
// pictures.
inline TRect FramesBounds(const TFrameWalk& walk) {
  if (walk.Frames.empty()) return {};
  const TRect screen = TRect{0, 0, walk.ScreenWidth, walk.ScreenHeight}.United(RectOf(walk.Frames[0]));
  TRect bounds;
  for (const TGifFrame& f : walk.Frames) bounds = bounds.United(RectOf(f).Intersected(screen));
  return bounds;
}

// A canvas and the last frame drawn on it, whose disposal comes before the next.
struct TScreen {
  TCanvas Canvas;
  int Last = -1;                // frame drawn last, or -1
  TRect Drawn;                  // its rectangle on the screen
  std::vector<TPixel> Under;    // what it covered, for restoring

  explicit TScreen(const TRect& bounds) : Canvas(bounds) {}

  void Dispose(int disposal, const TRect& cleared) {
    if (disposal == kToBackground) Canvas.Clear(cleared.Intersected(Canvas.Bounds()));
    if (disposal == kToPrevious) Canvas.Paste(Drawn, Under);
  }
  // keepUnder: the frame is to be disposed to what was there before it.
  // shows, if given, is what the screen shows over area (which holds the
  // frame) once it is drawn: copied, not drawn.
  void Draw(int frame, const TOutFrame& out, bool keepUnder, const TPixel* shows = nullptr, const TRect& area = {}) {
    Last = frame;
    Drawn = out.Rect.Intersected(Canvas.Bounds());
    if (keepUnder) Canvas.CopyInto(Drawn, Under);
    if (!shows) return DrawFrame(Canvas, out);
    for (int y = Drawn.Top; y < Drawn.Bottom; ++y)
      std::copy_n(shows + size_t(y - area.Top) * area.Width() + (Drawn.Left - area.Left), Drawn.Width(),
                  &Canvas.At(Drawn.Left, y));
  }
  // What the screen shows at (x, y) once the last frame is disposed so.
  TPixel After(int x, int y, int disposal, const TRect& cleared) const {
    if (disposal == kToBackground && cleared.Contains(x, y)) return 0;
    if (disposal == kToPrevious && Drawn.Contains(x, y))
      return Under[size_t(y - Drawn.Top) * Drawn.Width() + (x - Drawn.Left)];
    return Canvas.At(x, y);
  }
};
