#pragma once
// Opaque screen colours to values: open addressing, a look-up a multiply,
// for the per-pixel look-ups of the frame code. It grows before half its
// slots are used, so every probe ends at an empty slot whatever the colours.
#include <cstdint>
#include <vector>

#include "frames/Canvas.h"

template <typename V>
class TColorMap {
 public:
  // The value of c, made V{} when new. c must be opaque (0 marks empty slots).
  V& operator[](TPixel c) {
    if ((Used + 1) * 2 > Keys.size()) Rehash(Keys.size() * 2);
    size_t s = Slot(c);
    while (Keys[s] != 0 && Keys[s] != c) s = Next(s);
    if (Keys[s] == 0) Keys[s] = c, Values[s] = V{}, ++Used;
    return Values[s];
  }
  const V* Find(TPixel c) const {
    if (c == 0) return nullptr;
    for (size_t s = Slot(c); Keys[s] != 0; s = Next(s))
      if (Keys[s] == c) return &Values[s];
    return nullptr;
  }
  size_t Size() const { return Used; }
  // Each colour and its value, in slot order.
  template <typename F>
  void ForEach(F f) const {
    for (size_t s = 0; s < Keys.size(); ++s)
      if (Keys[s] != 0) f(Keys[s], Values[s]);
  }
  // Keeps only the colours keep(colour, value) accepts.
  template <typename F>
  void KeepIf(F keep) {
    TColorMap kept;
    ForEach([&](TPixel c, const V& v) {
      if (keep(c, v)) kept[c] = v;
    });
    *this = std::move(kept);
  }

 private:
  size_t Slot(TPixel c) const { return size_t(c * 2654435761u) >> Shift; }
  size_t Next(size_t s) const { return (s + 1) & (Keys.size() - 1); }
  void Rehash(size_t size) {
    TColorMap grown;
    grown.Keys.assign(size, 0), grown.Values.assign(size, V{});
    while ((size_t(1) << (32 - grown.Shift)) < size) --grown.Shift;
    ForEach([&](TPixel c, const V& v) { grown[c] = v; });
    *this = std::move(grown);
  }
  std::vector<TPixel> Keys = std::vector<TPixel>(64, 0);
  std::vector<V> Values = std::vector<V>(64, V{});
  int Shift = 32 - 6;  // the hash's top bits pick one of Keys.size() slots
  size_t Used = 0;
};
