#include "reduce/FewerColors.h"

#include <algorithm>

#include "reduce/LiqLibrary.h"

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
  const TLiq& liq = Liq();
  const auto attr = LiqMade<TLiqAttr>(liq.AttrCreate());
  CheckLiq(liq.SetMaxColors(attr.get(), maxColors));
  CheckLiq(liq.SetSpeed(attr.get(), 8));
  const auto histogram = LiqMade<TLiqHistogram>(liq.HistogramCreate(attr.get()));
  std::vector<liq_histogram_entry> entries;
  entries.reserve(colors.size());
  for (const TColorCount& c : colors)
    entries.push_back({{uint8_t(c.Rgb >> 16), uint8_t(c.Rgb >> 8), uint8_t(c.Rgb), 255}, std::max(c.Count, 1u)});
  CheckLiq(liq.HistogramAddColors(histogram.get(), attr.get(), entries.data(), int(entries.size()), 0));
  liq_result* raw = nullptr;
  CheckLiq(liq.HistogramQuantize(histogram.get(), attr.get(), &raw));
  TLiqResult result(raw);
  const liq_palette* palette = liq.GetPalette(result.get());
  std::vector<uint32_t> chosen;
  for (unsigned i = 0; i < palette->count && int(chosen.size()) < maxColors; ++i) {
    const liq_color& c = palette->entries[i];
    chosen.push_back(uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b);
  }
  if (chosen.empty()) chosen.push_back(colors.front().Rgb);
  return chosen;
}
