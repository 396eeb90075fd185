#include "frames/OutFrame.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

#include "frames/ColorMap.h"
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
  // Every index's colour, 0 for those that draw nothing (colours are opaque),
  // so that the row loop needs no branch.
  TPixel lookup[256] = {};
  for (size_t e = 0; e < std::min<size_t>(frame.Colors.size(), 256); ++e)
    if (int(e) != frame.Transparent) lookup[e] = frame.Colors[e];
  for (int y = r.Top; y < r.Bottom; ++y) {
    const uint8_t* row = frame.Indices.data() + size_t(y - frame.Rect.Top) * frame.Rect.Width() + (r.Left - frame.Rect.Left);
    TPixel* to = &canvas.At(r.Left, y);
    for (int x = 0; x < r.Width(); ++x) {
      const TPixel c = lookup[row[x]];
      to[x] = c ? c : to[x];
    }
  }
}

namespace {

// Opaque colour to table entry, the first entry of a colour winning.
class TEntryOf {
 public:
  void Add(TPixel c, int entry) {
    if (!Entries.Find(c)) Entries[c] = entry;
  }
  int Find(TPixel c) const {
    const int* e = Entries.Find(c);
    return e ? *e : -1;
  }

 private:
  TColorMap<int> Entries;
};

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
  // A full table whose every colour is shown has no entry left for
  // transparency: a table of the shown colours alone may still fit.
  if (out.Colors.size() > size_t(kMaxEntries)) return std::nullopt;
  TEntryOf entryOf;
  for (int e = 0; e < int(out.Colors.size()); ++e)
    if (e != out.Transparent) entryOf.Add(out.Colors[size_t(e)], e);
  for (const TPixel c : needed)
    if (entryOf.Find(c) < 0) {
      if (out.Colors.size() >= size_t(kMaxEntries)) return std::nullopt;
      entryOf.Add(c, int(out.Colors.size()));
      out.Colors.push_back(c);
    }
  out.LocalTable = original.LocalTable || out.Colors.size() > original.Colors.size();

  out.Rect = original.Rect.United(paint);
  if (out.Rect.Empty()) return std::nullopt;  // nothing on the screen to write
  out.Indices.assign(size_t(out.Rect.Width()) * out.Rect.Height(), uint8_t(out.Transparent));
  const int originalCount = int(original.Colors.size());
  const TRect& o = original.Rect;
  // What each of the frame's own indices shows, 1 (no pixel) for those that
  // show nothing here: one look-up tells whether a pixel keeps its index.
  TPixel shows[256];
  std::fill_n(shows, 256, TPixel(1));
  for (int e = 0; e < originalCount && e < 256; ++e)
    if (e != out.Transparent) shows[e] = out.Colors[size_t(e)];
  bool haveLast = false;  // neighbours mostly want the same colour: look it up once per run
  TPixel lastWant = 0;
  int lastEntry = 0;
  const auto paintAt = [&](uint8_t* to, TPixel want) {
    if (!haveLast || want != lastWant) haveLast = true, lastWant = want, lastEntry = entryOf.Find(want);
    *to = uint8_t(lastEntry);
  };
  const int width = out.Rect.Width();
  for (int y = out.Rect.Top; y < out.Rect.Bottom; ++y) {
    uint8_t* to = &out.Indices[size_t(y - out.Rect.Top) * width];
    const size_t row = size_t(y - q.Top) * q.Width() + (out.Rect.Left - q.Left);
    const TPixel* want = &target.Target[row];
    const uint8_t* draw = &target.Draw[row];
    // The frame's own indices on this row, from column ownLeft to ownRight.
    const bool ownRow = y >= o.Top && y < o.Bottom;
    const int ownLeft = ownRow ? o.Left - out.Rect.Left : 0, ownRight = ownRow ? o.Right - out.Rect.Left : 0;
    const uint8_t* own = ownRow ? &original.Indices[size_t(y - o.Top) * o.Width()] - ownLeft : nullptr;
    for (int x = 0; x < ownLeft; ++x)
      if (draw[x]) paintAt(to + x, want[x]);
    for (int x = ownLeft; x < ownRight; ++x) {
      const uint8_t index = own[x];
      if (shows[index] == want[x]) {
        to[x] = index;
      } else if (index >= originalCount) {
        // Painting it would change it for readers that draw it.
        if (draw[x]) return std::nullopt;
        to[x] = index;
      } else if (draw[x]) {
        paintAt(to + x, want[x]);
      }
    }
    for (int x = std::max(ownRight, 0); x < width; ++x)
      if (draw[x]) paintAt(to + x, want[x]);
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
  if (out.Rect.Empty() || out.Colors.size() > size_t(kMaxEntries)) return std::nullopt;
  TEntryOf entryOf;
  for (int e = 0; e < int(out.Colors.size()); ++e) entryOf.Add(out.Colors[size_t(e)], e);
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
      const int entry = want != 0 ? entryOf.Find(want) : -1;
      if (own >= originalCount) {
        if (target.Draw[i]) return std::nullopt;
        chosen[n] = own, lowestPast = std::min(lowestPast, own);
      } else if (target.Draw[i] || entry >= 0) {
        chosen[n] = entry;
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

// Where the colours to paint go when more of them are shown than a table
// holds beside transparency: the colour whose pixels would change least
// (pixels times distance squared to its nearest) merges into its nearest,
// again until room are left. Answers each colour's colour as painted.
// (Nearest neighbours are found only for colours that may be cheapest, and
// again only when their nearest merged.)
TColorMap<TPixel> MergedColors(const std::vector<TPixel>& colors, std::vector<int64_t> counts, size_t room,
                               const TStopPoll& poll) {
  const size_t n = colors.size();
  std::vector<size_t> nearest(n), into(n);
  std::vector<uint8_t> alive(n, 1), known(n, 0);
  std::vector<int> gap(n), channels;
  for (const TPixel c : colors) channels.insert(channels.end(), {RedOfPixel(c), GreenOfPixel(c), BlueOfPixel(c)});
  const auto findNearest = [&](size_t i) {
    const int* a = &channels[3 * i];
    int best = INT32_MAX;
    for (size_t j = 0; j < n; ++j) {
      const int* b = &channels[3 * j];
      const int d = (a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]);
      if (d < best && j != i && alive[j]) best = d, nearest[i] = j;
    }
    gap[i] = best, known[i] = 1;
    poll.Done(int64_t(n));
  };
  // Fewest pixels first: a colour costs at least its pixels (colours differ
  // by 1 at least, and only gain pixels), so the search for the cheapest
  // stops at the first whose pixels alone cost more than the best found.
  std::vector<size_t> order(n);
  for (size_t i = 0; i < n; ++i) order[i] = i, into[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return counts[a] < counts[b]; });
  const std::vector<int64_t> fewest = counts;
  for (size_t left = n; left > room; --left) {
    size_t cheapest = n;
    int64_t least = INT64_MAX;
    for (const size_t i : order) {
      if (fewest[i] >= least) break;
      if (!alive[i]) continue;
      if (!known[i]) findNearest(i);
      if (counts[i] * gap[i] < least) least = counts[i] * gap[i], cheapest = i;
    }
    const size_t to = nearest[cheapest];
    alive[cheapest] = 0, into[cheapest] = to, counts[to] += counts[cheapest];
    for (size_t i = 0; i < n; ++i)
      if (alive[i] && known[i] && nearest[i] == cheapest) known[i] = 0;
  }
  TColorMap<TPixel> painted;
  for (size_t i = 0; i < n; ++i) {
    size_t j = i;
    while (into[j] != j) j = into[j];
    painted[colors[i]] = colors[j];
  }
  return painted;
}

// Beyond this many colours to paint a frame is not merged down to a table:
// the merge's cost grows with their square.
constexpr size_t kMaxMergedColors = 4096;

}  // namespace

std::optional<TOutFrame> RewriteFrame(const TOutFrame& original, const TFrameTarget& target,
                                      const std::vector<int>& preferred, TPixel spare) {
  const TRect& q = target.Region;
  // The colours the frame must paint, how many pixels of each, and their
  // bounds, in one pass; neighbours mostly share a colour.
  TColorMap<int64_t> found;
  int left = q.Width(), right = -1, top = -1, bottom = -1;
  for (int y = 0; y < q.Height(); ++y) {
    const uint8_t* draw = &target.Draw[size_t(y) * q.Width()];
    const TPixel* want = &target.Target[size_t(y) * q.Width()];
    target.Poll.Done(q.Width());
    // Mostly little is painted: the marks are found with memchr.
    const auto* from = static_cast<const uint8_t*>(std::memchr(draw, 1, size_t(q.Width())));
    if (!from) continue;
    const auto* end = static_cast<const uint8_t*>(memrchr(draw, 1, size_t(q.Width()))) + 1;
    TPixel run = 0;
    int64_t length = 0;
    for (const uint8_t* p = from; p < end; ++p) {
      // A run of pixels left alone is skipped at once; the last is painted.
      if (!*p) p = static_cast<const uint8_t*>(std::memchr(p, 1, size_t(end - p)));
      const TPixel c = want[p - draw];
      // A frame cannot clear what is under it.
      if (c == 0) return std::nullopt;
      if (c != run) {
        if (length > 0) found[run] += length;
        run = c, length = 0;
      }
      ++length;
    }
    found[run] += length;
    const int first = int(from - draw), last = int(end - draw) - 1;
    left = std::min(left, first), right = std::max(right, last);
    if (top < 0) top = y;
    bottom = y;
  }
  const TRect paint = top < 0 ? TRect{} : TRect{q.Left + left, q.Top + top, q.Left + right + 1, q.Top + bottom + 1};
  // Sorted, and the set made from them in that order, so that new entries
  // come in the same order in every run.
  std::vector<TPixel> painted;
  found.ForEach([&](TPixel c, int64_t) { painted.push_back(c); });
  std::sort(painted.begin(), painted.end());
  const std::unordered_set<TPixel> needed(painted.begin(), painted.end());
  if (auto out = WithOwnTable(original, target, needed, paint, preferred, spare)) return out;
  if (painted.size() <= size_t(kMaxEntries))
    if (auto out = WithColorsShown(original, target, painted, paint, spare)) return out;
  // Fewer colours than a full table fail for indices past it, which merging cannot mend.
  if (!target.MayMerge || painted.size() < size_t(kMaxEntries) || painted.size() > kMaxMergedColors)
    return std::nullopt;
  // More colours to paint than a table holds: the nearest merged, one entry
  // left for transparency, and the pixels painted with what they merged into.
  std::vector<int64_t> counts;
  for (const TPixel c : painted) counts.push_back(*found.Find(c));
  const TColorMap<TPixel> into = MergedColors(painted, counts, size_t(kMaxEntries) - 1, target.Poll);
  TFrameTarget merged{q, target.Target, target.Draw, false, target.Poll};
  TPixel from = 0, to = 0;  // neighbours mostly share a colour
  for (size_t i = 0; i < merged.Target.size(); ++i) {
    if (!merged.Draw[i]) continue;
    if (merged.Target[i] != from) from = merged.Target[i], to = *into.Find(from);
    merged.Target[i] = to;
  }
  std::vector<TPixel> kept;
  for (const TPixel c : painted)
    if (*into.Find(c) == c) kept.push_back(c);
  auto out = WithColorsShown(original, merged, kept, paint, spare);
  if (out) out->MergedColors = int(painted.size() - kept.size());
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
      out += char(RedOfPixel(c));
      out += char(GreenOfPixel(c));
      out += char(BlueOfPixel(c));
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
  // Read back by the decoder every save is judged with: the same pixels, and
  // the sub-blocks ending with the bytes.
  const int data = kGifImageDescriptorSize + (frame.LocalTable ? 3 * (2 << (uint8_t(bytes[9]) & 7)) : 0);
  int end = data + 1;
  while (end < bytes.size() && bytes[end] != 0) end += 1 + uint8_t(bytes[end]);
  if (end != bytes.size() - 1) return std::nullopt;
  thread_local std::vector<uint8_t> back;
  if (!DecodeImageData(bytes, data, int(bytes.size()), r, false, r, back) || back != frame.Indices) return std::nullopt;
  return bytes;
}
