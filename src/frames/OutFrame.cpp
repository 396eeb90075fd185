#include "frames/OutFrame.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "frames/FrameDecoder.h"
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

namespace {

// The frame's own index at (x, y), or -1 outside it.
int OwnIndex(const TOutFrame& f, int x, int y) {
  return f.Rect.Contains(x, y) ? f.Indices[size_t(y - f.Rect.Top) * f.Rect.Width() + (x - f.Rect.Left)] : -1;
}

// Readers disagree on what an index past the table draws, so such pixels
// keep their index when a frame is written anew: only where the table has
// not grown over them.
bool StayPast(const std::vector<uint8_t>& indices, size_t before, size_t after) {
  return after <= before ||
         std::none_of(indices.begin(), indices.end(), [&](uint8_t i) { return i >= before && i < after; });
}

// The frame over the rectangle it must paint, its own table kept and grown.
std::optional<TOutFrame> WithOwnTable(const TOutFrame& original, const TFrameTarget& target,
                                      const std::unordered_set<TPixel>& needed, const TRect& paint,
                                      const std::vector<int>& preferred, TPixel spare) {
  const TRect& q = target.Region;
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
      const int own = OwnIndex(original, x, y);
      const bool drawsColor = own >= 0 && own < originalCount && own != out.Transparent;
      const size_t i = size_t(y - q.Top) * q.Width() + (x - q.Left);
      const TPixel want = target.Target[i];
      if (own >= originalCount) {
        // Painting it would change it for readers that draw it.
        if (target.Draw[i]) return std::nullopt;
        to = uint8_t(own);
      } else if (drawsColor && out.Colors[size_t(own)] == want) {
        to = uint8_t(own);
      } else if (target.Draw[i]) {
        to = uint8_t(entryOf.at(want));
      }
    }
  if (!StayPast(out.Indices, size_t(originalCount), out.Colors.size())) return std::nullopt;
  return out;
}

// The frame with a table of just the colours its target shows, and an entry
// for transparency only where some pixel needs one: a frame whose own table
// is full may still fit.
std::optional<TOutFrame> WithColorsShown(const TOutFrame& original, const TFrameTarget& target,
                                         const std::vector<TPixel>& painted, const TRect& paint, TPixel spare) {
  const TRect& q = target.Region;
  TOutFrame out;
  out.Colors = painted;
  out.LocalTable = true;
  out.Rect = original.Rect.United(paint);
  if (out.Rect.Empty()) return std::nullopt;
  std::unordered_map<TPixel, int> entryOf;
  for (int e = 0; e < int(out.Colors.size()); ++e) entryOf.emplace(out.Colors[size_t(e)], e);
  const int originalCount = int(original.Colors.size());
  constexpr int kUnset = -1;
  std::vector<int> chosen(size_t(out.Rect.Width()) * out.Rect.Height(), kUnset);
  bool transparentNeeded = false;
  int lowestPast = kMaxEntries;
  size_t n = 0;
  for (int y = out.Rect.Top; y < out.Rect.Bottom; ++y)
    for (int x = out.Rect.Left; x < out.Rect.Right; ++x, ++n) {
      const int own = OwnIndex(original, x, y);
      const size_t i = size_t(y - q.Top) * q.Width() + (x - q.Left);
      const TPixel want = target.Target[i];
      // Where nothing needs painting, painting what is shown already changes nothing.
      const auto entry = entryOf.find(want);
      if (own >= originalCount) {
        if (target.Draw[i]) return std::nullopt;
        chosen[n] = own, lowestPast = std::min(lowestPast, own);
      } else if (target.Draw[i] || (want != 0 && entry != entryOf.end())) {
        chosen[n] = entry->second;
      } else {
        transparentNeeded = true;
      }
    }
  if (transparentNeeded) {
    out.Transparent = int(out.Colors.size());
    out.Colors.push_back(spare);
  }
  // Kept past-table indices must stay past this table too.
  if (out.Colors.size() > size_t(kMaxEntries) || lowestPast < int(out.Colors.size())) return std::nullopt;
  out.Indices.resize(chosen.size());
  for (size_t j = 0; j < chosen.size(); ++j) out.Indices[j] = uint8_t(chosen[j] == kUnset ? out.Transparent : chosen[j]);
  return out;
}

}  // namespace

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
  if (auto out = WithOwnTable(original, target, needed, paint, preferred, spare)) return out;
  return WithColorsShown(original, target, painted, paint, spare);
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
      if (!StayPast(frame.Indices, frame.Colors.size(), out.Colors.size())) return std::nullopt;
    }
  }
  out.Rect = frame.Rect.United(rect);
  out.Indices.assign(size_t(out.Rect.Width()) * out.Rect.Height(), uint8_t(out.Transparent));
  for (int y = frame.Rect.Top; y < frame.Rect.Bottom; ++y)
    std::copy_n(frame.Indices.begin() + size_t(y - frame.Rect.Top) * frame.Rect.Width(), frame.Rect.Width(),
                out.Indices.begin() + size_t(y - out.Rect.Top) * out.Rect.Width() + (frame.Rect.Left - out.Rect.Left));
  return out;
}

QByteArray EncodeFrame(const TOutFrame& frame) {
  const int bits = TableBits(frame.Colors.size());
  // Indices kept past the table need codes wide enough for them.
  const int highest = frame.Indices.empty() ? 0 : *std::max_element(frame.Indices.begin(), frame.Indices.end());
  const int codeBits = std::max(bits, TableBits(size_t(highest) + 1));
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
  LzwCompress(out, frame.Indices.data(), frame.Indices.size(), frame.Rect.Width(), codeBits, {});
  return out;
}

std::optional<QByteArray> EncodeReadable(const TOutFrame& frame) {
  // Past the format's 16-bit fields nothing can be written.
  const TRect& r = frame.Rect;
  if (r.Empty() || r.Left > 0xFFFF || r.Top > 0xFFFF || r.Width() > 0xFFFF || r.Height() > 0xFFFF) return std::nullopt;
  QByteArray bytes = EncodeFrame(frame);
  // Read back with giflib as a file of its own: the same pixels, then the end.
  QByteArray gif("GIF89a");
  PutWord(gif, std::min(r.Right, 0xFFFF));
  PutWord(gif, std::min(r.Bottom, 0xFFFF));
  gif += QByteArray(3, 0);
  gif += bytes;
  gif += char(0x3B);
  TFrameDecoder decoder(gif, frame.Rect);
  TDecodedFrame decoded;
  if (!decoder.Next(decoded) || decoded.Indices != frame.Indices || decoded.Whole.Left != frame.Rect.Left ||
      decoded.Whole.Top != frame.Rect.Top || decoded.Whole.Right != frame.Rect.Right ||
      decoded.Whole.Bottom != frame.Rect.Bottom || decoder.Next(decoded))
    return std::nullopt;
  return bytes;
}
