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

// Opaque colour to table entry, the first entry of a colour winning: an
// open-addressed table sized for a table's 256 colours and more, so a
// lookup costs a multiply, not a division.
class TEntryOf {
 public:
  void Add(TPixel c, int entry) {
    size_t s = Slot(c);
    while (Keys[s] != 0 && Keys[s] != c) s = (s + 1) & (kSlots - 1);
    if (Keys[s] == c) return;
    Keys[s] = c;
    Entries[s] = int16_t(entry);
  }
  int Find(TPixel c) const {
    for (size_t s = Slot(c); Keys[s] != 0; s = (s + 1) & (kSlots - 1))
      if (Keys[s] == c) return Entries[s];
    return -1;
  }

 private:
  static constexpr size_t kSlots = 2048;  // a table's colours and those a frame adds stay under a quarter full
  static size_t Slot(TPixel c) { return (c * 2654435761u) >> 21 & (kSlots - 1); }
  std::vector<TPixel> Keys = std::vector<TPixel>(kSlots, 0);  // 0: empty (colours are opaque)
  std::vector<int16_t> Entries = std::vector<int16_t>(kSlots, 0);
};

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
  // Every index's colour, 0 for those that draw nothing (colours are opaque),
  // so that the row loop needs no branch.
  TPixel lookup[256] = {};
  for (size_t e = 0; e < std::min<size_t>(frame.Colors.size(), 256); ++e)
    if (int(e) != frame.Transparent) lookup[e] = frame.Colors[e];
  for (int y = r.Top; y < r.Bottom; ++y) {
    const uint8_t* row = frame.Indices.data() + size_t(y - frame.Rect.Top) * frame.Rect.Width() - frame.Rect.Left;
    TPixel* to = &canvas.At(0, y);
    for (int x = r.Left; x < r.Right; ++x) {
      const TPixel c = lookup[row[x]];
      to[x] = c ? c : to[x];
    }
  }
}

std::optional<TOutFrame> RewriteFrame(const TOutFrame& original, const TFrameTarget& target,
                                      const std::vector<int>& preferred, TPixel spare) {
  const TRect& q = target.Region;
  // The colours the frame must paint and their bounds, in one pass. A small
  // direct-mapped memo keeps most pixels away from the set.
  std::unordered_set<TPixel> found;
  std::vector<TPixel> seen(1024, 0);  // 0 is never painted: the target is opaque there
  int left = q.Width(), right = -1, top = -1, bottom = -1;
  for (int y = 0; y < q.Height(); ++y) {
    const uint8_t* draw = &target.Draw[size_t(y) * q.Width()];
    const TPixel* want = &target.Target[size_t(y) * q.Width()];
    int first = -1, last = -1;
    for (int x = 0; x < q.Width(); ++x) {
      if (!draw[x]) continue;
      if (first < 0) first = x;
      last = x;
      const TPixel c = want[x];
      TPixel& memo = seen[(c * 2654435761u) >> 22];
      if (memo != c) memo = c, found.insert(c);
    }
    if (first < 0) continue;
    left = std::min(left, first), right = std::max(right, last);
    if (top < 0) top = y;
    bottom = y;
  }
  const TRect paint = top < 0 ? TRect{} : TRect{q.Left + left, q.Top + top, q.Left + right + 1, q.Top + bottom + 1};
  // Made from the sorted colours, so that new entries come in the same order
  // in every run.
  std::vector<TPixel> painted(found.begin(), found.end());
  std::sort(painted.begin(), painted.end());
  const std::unordered_set<TPixel> needed(painted.begin(), painted.end());

  TOutFrame out;
  out.Colors = original.Colors;
  out.Transparent = ChooseTransparent(out.Colors, needed, preferred, spare);
  TEntryOf entryOf;
  for (int e = 0; e < int(out.Colors.size()); ++e)
    if (e != out.Transparent) entryOf.Add(out.Colors[size_t(e)], e);
  for (const TPixel c : needed)
    if (entryOf.Find(c) < 0) {
      if (out.Colors.size() >= size_t(kMaxEntries)) return std::nullopt;
      entryOf.Add(c, int(out.Colors.size()));
      out.Colors.push_back(c);
    }
  if (out.Colors.size() > size_t(kMaxEntries)) return std::nullopt;
  out.LocalTable = original.LocalTable || out.Colors.size() > original.Colors.size();

  out.Rect = original.Rect.United(paint);
  if (out.Rect.Empty()) return std::nullopt;  // nothing on the screen to write
  out.Indices.assign(size_t(out.Rect.Width()) * out.Rect.Height(), uint8_t(out.Transparent));
  const int originalCount = int(original.Colors.size());
  const TRect& o = original.Rect;
  bool haveLast = false;  // neighbours mostly want the same colour: look it up once per run
  TPixel lastWant = 0;
  int lastEntry = 0;
  for (int y = out.Rect.Top; y < out.Rect.Bottom; ++y) {
    uint8_t* to = &out.Indices[size_t(y - out.Rect.Top) * out.Rect.Width()] - out.Rect.Left;
    const size_t row = size_t(y - q.Top) * q.Width();
    const TPixel* want = &target.Target[row] - q.Left;
    const uint8_t* draw = &target.Draw[row] - q.Left;
    // The frame's own indices on this row, over [ownLeft, ownRight).
    const bool ownRow = y >= o.Top && y < o.Bottom;
    const uint8_t* own = ownRow ? &original.Indices[size_t(y - o.Top) * o.Width()] - o.Left : nullptr;
    const int ownLeft = ownRow ? o.Left : 0, ownRight = ownRow ? o.Right : 0;
    for (int x = out.Rect.Left; x < out.Rect.Right; ++x) {
      const int index = x >= ownLeft && x < ownRight ? own[x] : -1;
      if (index >= 0 && index < originalCount && index != out.Transparent && out.Colors[size_t(index)] == want[x]) {
        to[x] = uint8_t(index);
      } else if (draw[x]) {
        if (!haveLast || want[x] != lastWant) haveLast = true, lastWant = want[x], lastEntry = entryOf.Find(want[x]);
        to[x] = uint8_t(lastEntry);
      }
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
