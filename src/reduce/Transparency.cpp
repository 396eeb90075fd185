#include "reduce/Transparency.h"

#include <array>
#include <new>
#include <unordered_map>
#include <vector>

namespace {

QImage Argb(const QImage& picture) { return picture.convertToFormat(QImage::Format_ARGB32); }

template <typename Visit>
void ForEachPixel(const QImage& argb, Visit visit) {
  for (int y = 0; y < argb.height(); ++y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
    for (int x = 0; x < argb.width(); ++x) visit(x, y, row[x]);
  }
}

QImage NewIndexed(int w, int h) {
  QImage image(w, h, QImage::Format_Indexed8);
  if (image.isNull() && w > 0 && h > 0) throw std::bad_alloc();
  return image;
}

}  // namespace

bool IsTransparentPixel(QRgb argb) { return qAlpha(argb) < 128; }

bool HasTransparentPixels(const QImage& picture) {
  if (!picture.hasAlphaChannel()) return false;
  const QImage argb = Argb(picture);
  for (int y = 0; y < argb.height(); ++y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
    for (int x = 0; x < argb.width(); ++x)
      if (IsTransparentPixel(row[x])) return true;
  }
  return false;
}

int GetColorCountWithTransparency(const QImage& picture) {
  std::vector<uint64_t> seen(size_t(1) << 18, 0);
  int count = 0;
  bool transparent = false;
  ForEachPixel(Argb(picture), [&](int, int, QRgb pixel) {
    if (IsTransparentPixel(pixel)) {
      transparent = true;
      return;
    }
    const uint32_t color = pixel & 0xFFFFFFu;
    uint64_t& word = seen[color >> 6];
    const uint64_t bit = uint64_t(1) << (color & 63);
    if (!(word & bit)) word |= bit, ++count;
  });
  return count + int(transparent);
}

TIndexedPicture IndexWithTransparency(const QImage& picture) {
  const QImage argb = Argb(picture);
  TIndexedPicture out;
  QImage indexed = NewIndexed(argb.width(), argb.height());
  QVector<QRgb> table;
  std::unordered_map<uint32_t, uchar> entries;
  bool fits = true;
  ForEachPixel(argb, [&](int x, int y, QRgb pixel) {
    if (!fits) return;
    const bool transparent = IsTransparentPixel(pixel);
    // The transparent entry has a key no colour has.
    const uint32_t key = transparent ? 0x1000000u : pixel & 0xFFFFFFu;
    auto found = entries.find(key);
    if (found == entries.end()) {
      if (table.size() == 256) {
        fits = false;
        return;
      }
      if (transparent) out.TransparentIndex = table.size();
      found = entries.emplace(key, uchar(table.size())).first;
      table.append(qRgb(qRed(pixel), qGreen(pixel), qBlue(pixel)));
    }
    indexed.scanLine(y)[x] = found->second;
  });
  if (!fits) return {};
  if (out.TransparentIndex >= 0) table[out.TransparentIndex] = UnusedColor(table, out.TransparentIndex);
  indexed.setColorTable(table);
  out.Image = std::move(indexed);
  return out;
}

TIndexedPicture AddTransparentEntry(QImage reduced, const QImage& source) {
  QImage indexed = reduced.format() == QImage::Format_Indexed8 ? std::move(reduced)
                                                                 : reduced.convertToFormat(QImage::Format_Indexed8);
  QVector<QRgb> table = indexed.colorTable();
  const QImage argb = Argb(source);
  std::array<uint64_t, 256> uses{};
  ForEachPixel(argb, [&](int x, int y, QRgb pixel) {
    if (!IsTransparentPixel(pixel)) ++uses[indexed.constScanLine(y)[x]];
  });
  int entry = table.size();
  if (table.size() == 256) {
    entry = 0;
    for (int i = 1; i < 256; ++i)
      if (uses[size_t(i)] < uses[size_t(entry)]) entry = i;
    const uchar replacement = uchar(NearestEntry(table, table[entry], entry));
    for (int y = 0; y < indexed.height(); ++y) {
      uchar* line = indexed.scanLine(y);
      for (int x = 0; x < indexed.width(); ++x)
        if (line[x] == entry) line[x] = replacement;
    }
  } else {
    table.append(0);
  }
  table[entry] = UnusedColor(table, entry);
  ForEachPixel(argb, [&](int x, int y, QRgb pixel) {
    if (IsTransparentPixel(pixel)) indexed.scanLine(y)[x] = uchar(entry);
  });
  indexed.setColorTable(table);
  return {std::move(indexed), entry};
}

QRgb UnusedColor(const QVector<QRgb>& table, int except) {
  for (uint32_t candidate = 0xFF00FFu;; candidate = (candidate + 0x010203u) & 0xFFFFFFu) {
    bool used = false;
    for (int i = 0; i < table.size() && !used; ++i) used = i != except && (table[i] & 0xFFFFFFu) == candidate;
    if (!used) return 0xFF000000u | candidate;
  }
}

int NearestEntry(const QVector<QRgb>& table, QRgb color, int skip) {
  int best = -1, bestDistance = 0;
  for (int i = 0; i < table.size(); ++i) {
    if (i == skip) continue;
    const int dr = qRed(table[i]) - qRed(color), dg = qGreen(table[i]) - qGreen(color),
              db = qBlue(table[i]) - qBlue(color);
    const int d = dr * dr + dg * dg + db * db;
    if (best < 0 || d < bestDistance) best = i, bestDistance = d;
  }
  return best;
}
