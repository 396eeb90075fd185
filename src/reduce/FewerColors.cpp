#include "reduce/FewerColors.h"

#include <algorithm>
#include <new>

#include "reduce/LiqHandles.h"

std::vector<uint32_t> ChooseFewerColors(const std::vector<TColorCount>& colors, int maxColors) {
  maxColors = std::clamp(maxColors, 1, 256);
  if (int(colors.size()) <= maxColors) {
    std::vector<uint32_t> same;
    for (const TColorCount& c : colors) same.push_back(c.Rgb);
    return same;
  }
  if (maxColors == 1) {
    // libimagequant wants room for two: one colour is the weighted mean.
    double sum[3] = {}, total = 0;
    for (const TColorCount& c : colors)
      for (int s = 0; s < 3; ++s) sum[s] += double(c.Rgb >> (16 - 8 * s) & 0xFF) * c.Count;
    for (const TColorCount& c : colors) total += c.Count;
    if (total <= 0) return {colors.front().Rgb};
    uint32_t mean = 0;
    for (int s = 0; s < 3; ++s) mean |= uint32_t(sum[s] / total + 0.5) << (16 - 8 * s);
    return {mean};
  }
  TLiqAttr attr(liq_attr_create());
  if (!attr) throw std::bad_alloc();
  liq_set_max_colors(attr.get(), maxColors);
  liq_set_speed(attr.get(), 8);
  TLiqHistogram histogram(liq_histogram_create(attr.get()));
  if (!histogram) throw std::bad_alloc();
  std::vector<liq_histogram_entry> entries;
  entries.reserve(colors.size());
  for (const TColorCount& c : colors)
    entries.push_back({{uint8_t(c.Rgb >> 16), uint8_t(c.Rgb >> 8), uint8_t(c.Rgb), 255}, std::max(c.Count, 1u)});
  if (liq_histogram_add_colors(histogram.get(), attr.get(), entries.data(), int(entries.size()), 0) != LIQ_OK)
    throw std::bad_alloc();
  liq_result* raw = nullptr;
  if (liq_histogram_quantize(histogram.get(), attr.get(), &raw) != LIQ_OK) throw std::bad_alloc();
  TLiqResult result(raw);
  const liq_palette* palette = liq_get_palette(result.get());
  std::vector<uint32_t> chosen;
  for (unsigned i = 0; i < palette->count && int(chosen.size()) < maxColors; ++i) {
    const liq_color& c = palette->entries[i];
    chosen.push_back(uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b);
  }
  if (chosen.empty()) chosen.push_back(colors.front().Rgb);
  return chosen;
}
