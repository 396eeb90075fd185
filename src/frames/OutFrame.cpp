#include "frames/OutFrame.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "reduce/LzwEncoder.h"

namespace {

constexpr int kMaxEntries = 256;

int TableBits(size_t entries) {
  int bits = 1;
  while ((size_t(1) << bits) < entries) ++bits;
  return bits;
}

void PutWord(QByteArray& out, int value) {
  out += char(value & 0xFF);
  out += char(value >> 8 & 0xFF);
}

// The entry for transparency: the first of preferred no pixel needs, else
// any such entry, else one added with the spare colour.
int ChooseTransparent(std::vector<TPixel>& colors, const std::unordered_set<TPixel>& needed,
                      const std::vector<int>& preferred, TPixel spare) {
  std::unordered_map<TPixel, int> copies;
  for (const TPixel c : colors) ++copies[c];
  // An entry is free when no pixel needs its colour, or another entry has it too.
  const auto isFree = [&](int e) {
    return e >= 0 && e < int(colors.size()) && (!needed.count(colors[size_t(e)]) || copies[colors[size_t(e)]] > 1);
  };
  for (const int e : preferred)
    if (isFree(e)) return e;
  for (int e = 0; e < int(colors.size()); ++e)
    if (isFree(e)) return e;
  colors.push_back(spare);
  return int(colors.size()) - 1;
}

}  // namespace

void DrawFrame(TCanvas& canvas, const TOutFrame& frame) {
  const TRect r = frame.Rect.Intersected(canvas.Bounds());
  const int count = int(frame.Colors.size());
  for (int y = r.Top; y < r.Bottom; ++y) {
    const uint8_t* row = frame.Indices.data() + size_t(y - frame.Rect.Top) * frame.Rect.Width() - frame.Rect.Left;
    for (int x = r.Left; x < r.Right; ++x) {
      const int index = row[x];
      if (index != frame.Transparent && index < count) canvas.At(x, y) = frame.Colors[size_t(index)];
    }
  }
}

std::optional<TOutFrame> RewriteFrame(const TOutFrame& original, const TFrameTarget& target,
                                      const std::vector<int>& preferred, TPixel spare) {
  const TRect& q = target.Region;
  std::vector<TPixel> painted;
  for (size_t i = 0; i < target.Draw.size(); ++i)
    if (target.Draw[i] && (painted.empty() || painted.back() != target.Target[i])) painted.push_back(target.Target[i]);
  std::sort(painted.begin(), painted.end());
  painted.erase(std::unique(painted.begin(), painted.end()), painted.end());
  const std::unordered_set<TPixel> needed(painted.begin(), painted.end());
  const TRect paint = BoundsWhere(q, [&](size_t i) { return target.Draw[i] != 0; });

  TOutFrame out;
  out.Colors = original.Colors;
  out.Transparent = ChooseTransparent(out.Colors, needed, preferred, spare);
  std::unordered_map<TPixel, int> entryOf;
  for (int e = 0; e < int(out.Colors.size()); ++e)
    if (e != out.Transparent) entryOf.emplace(out.Colors[size_t(e)], e);
  for (const TPixel c : needed)
    if (!entryOf.count(c)) {
      entryOf.emplace(c, int(out.Colors.size()));
      out.Colors.push_back(c);
    }
  if (out.Colors.size() > size_t(kMaxEntries)) return std::nullopt;
  out.LocalTable = original.LocalTable || out.Colors.size() > original.Colors.size();

  out.Rect = original.Rect.United(paint);
  if (out.Rect.Empty()) return std::nullopt;  // nothing on the screen to write
  out.Indices.assign(size_t(out.Rect.Width()) * out.Rect.Height(), uint8_t(out.Transparent));
  const int originalCount = int(original.Colors.size());
  for (int y = out.Rect.Top; y < out.Rect.Bottom; ++y)
    for (int x = out.Rect.Left; x < out.Rect.Right; ++x) {
      uint8_t& to = out.Indices[size_t(y - out.Rect.Top) * out.Rect.Width() + (x - out.Rect.Left)];
      const int own = original.Rect.Contains(x, y)
                          ? original.Indices[size_t(y - original.Rect.Top) * original.Rect.Width() + (x - original.Rect.Left)]
                          : -1;
      const bool drawsColor = own >= 0 && own < originalCount && own != out.Transparent;
      const size_t i = size_t(y - q.Top) * q.Width() + (x - q.Left);
      const TPixel want = target.Target[i];
      if (drawsColor && out.Colors[size_t(own)] == want) {
        to = uint8_t(own);
      } else if (target.Draw[i]) {
        to = uint8_t(entryOf.at(want));
      }
    }
  return out;
}

std::optional<TOutFrame> WidenFrame(const TOutFrame& frame, const TRect& rect, TPixel spare) {
  TOutFrame out;
  out.Colors = frame.Colors;
  out.LocalTable = frame.LocalTable;
  out.Transparent = frame.Transparent;
  if (out.Transparent < 0) {
    // An entry none of its pixels uses, else one more.
    std::vector<bool> used(out.Colors.size(), false);
    for (const uint8_t i : frame.Indices)
      if (i < used.size()) used[i] = true;
    for (size_t e = 0; e < used.size() && out.Transparent < 0; ++e)
      if (!used[e]) out.Transparent = int(e);
    if (out.Transparent < 0) {
      if (out.Colors.size() >= size_t(kMaxEntries)) return std::nullopt;
      out.Colors.push_back(spare);
      out.LocalTable = true;
      out.Transparent = int(out.Colors.size()) - 1;
    }
  }
  out.Rect = frame.Rect.United(rect);
  out.Indices.assign(size_t(out.Rect.Width()) * out.Rect.Height(), uint8_t(out.Transparent));
  const size_t count = out.Colors.size();
  for (int y = frame.Rect.Top; y < frame.Rect.Bottom; ++y)
    for (int x = frame.Rect.Left; x < frame.Rect.Right; ++x) {
      // Entries past the table drew nothing, and may not fit its code size.
      const uint8_t i = frame.Indices[size_t(y - frame.Rect.Top) * frame.Rect.Width() + (x - frame.Rect.Left)];
      out.Indices[size_t(y - out.Rect.Top) * out.Rect.Width() + (x - out.Rect.Left)] =
          i < count ? i : uint8_t(out.Transparent);
    }
  return out;
}

QByteArray EncodeFrame(const TOutFrame& frame) {
  const int bits = TableBits(frame.Colors.size());
  QByteArray out;
  out += char(0x2C);
  PutWord(out, frame.Rect.Left);
  PutWord(out, frame.Rect.Top);
  PutWord(out, frame.Rect.Width());
  PutWord(out, frame.Rect.Height());
  out += char(frame.LocalTable ? 0x80 | (bits - 1) : 0);
  if (frame.LocalTable) {
    for (const TPixel c : frame.Colors) {
      out += char(c >> 16 & 0xFF);
      out += char(c >> 8 & 0xFF);
      out += char(c & 0xFF);
    }
    out += QByteArray(3 * ((1 << bits) - int(frame.Colors.size())), 0);
  }
  LzwCompress(out, frame.Indices.data(), frame.Indices.size(), frame.Rect.Width(), bits, {});
  return out;
}
