#pragma once
// The screen a GIF is composed on, as a browser keeps it: a pixel is a colour
// or transparent.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "document/Color.h"

// The frame code's one colour encoding: 0 is transparent; anything else is
// 0xFF000000 | RRGGBB. The program's TColor is turned into it here only.
using TPixel = uint32_t;
inline TPixel OpaquePixel(uint8_t r, uint8_t g, uint8_t b) {
  return 0xFF000000u | uint32_t(r) << 16 | uint32_t(g) << 8 | b;
}
inline TPixel PixelOf(TColor c) { return OpaquePixel(uint8_t(RedOf(c)), uint8_t(GreenOf(c)), uint8_t(BlueOf(c))); }
inline int RedOfPixel(TPixel p) { return int(p >> 16 & 0xFF); }
inline int GreenOfPixel(TPixel p) { return int(p >> 8 & 0xFF); }
inline int BlueOfPixel(TPixel p) { return int(p & 0xFF); }
// The program's one colour distance (squared), on screen pixels.
inline int PixelDistance2(TPixel a, TPixel b) {
  return ColorDistance(RedOfPixel(a), GreenOfPixel(a), BlueOfPixel(a), RedOfPixel(b), GreenOfPixel(b), BlueOfPixel(b));
}

// A rectangle of whole pixels; Right and Bottom are one past the last.
struct TRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;

  static TRect Sized(int left, int top, int width, int height) { return {left, top, left + width, top + height}; }
  bool Empty() const { return Right <= Left || Bottom <= Top; }
  bool operator==(const TRect& r) const { return Left == r.Left && Top == r.Top && Right == r.Right && Bottom == r.Bottom; }
  bool operator!=(const TRect& r) const { return !(*this == r); }
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
  bool Contains(const TRect& r) const {
    return r.Empty() || (r.Left >= Left && r.Top >= Top && r.Right <= Right && r.Bottom <= Bottom);
  }
  TRect United(const TRect& r) const {
    if (r.Empty()) return *this;
    if (Empty()) return r;
    return {std::min(Left, r.Left), std::min(Top, r.Top), std::max(Right, r.Right), std::max(Bottom, r.Bottom)};
  }
  TRect Intersected(const TRect& r) const {
    const TRect i{std::max(Left, r.Left), std::max(Top, r.Top), std::min(Right, r.Right), std::min(Bottom, r.Bottom)};
    return i.Empty() ? TRect{} : i;
  }
};

// A canvas need not start at the screen's top left: pixels are addressed in
// screen coordinates over whatever rectangle it holds.
class TCanvas {
 public:
  explicit TCanvas(const TRect& area) : Area(area), Pixels(size_t(area.Width()) * area.Height(), 0) {}
  TCanvas(int width, int height) : TCanvas(TRect{0, 0, width, height}) {}
  TRect Bounds() const { return Area; }
  const TPixel& At(int x, int y) const { return Pixels[Offset(x, y)]; }
  TPixel& At(int x, int y) { return Pixels[Offset(x, y)]; }

  // Into out, whose memory is kept for the next copy.
  void CopyInto(const TRect& r, std::vector<TPixel>& out) const {
    out.resize(size_t(r.Width()) * r.Height());
    for (int y = r.Top; y < r.Bottom; ++y)
      std::copy_n(&At(r.Left, y), r.Width(), out.begin() + size_t(y - r.Top) * r.Width());
  }
  void Paste(const TRect& r, const std::vector<TPixel>& saved) {
    for (int y = r.Top; y < r.Bottom; ++y)
      std::copy_n(saved.begin() + size_t(y - r.Top) * r.Width(), r.Width(), &At(r.Left, y));
  }
  void Clear(const TRect& r) {
    for (int y = r.Top; y < r.Bottom; ++y) std::fill_n(&At(r.Left, y), r.Width(), TPixel(0));
  }

 private:
  size_t Offset(int x, int y) const { return size_t(y - Area.Top) * size_t(Area.Width()) + size_t(x - Area.Left); }
  TRect Area;
  std::vector<TPixel> Pixels;
};
