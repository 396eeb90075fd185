#pragma once
// The colour names a command line accepts: those of CSS and SVG.
#include <QString>
#include <cstdint>
#include <optional>

// 0xRRGGBB of a colour name, matched without regard to case; none for any other text.
std::optional<uint32_t> NamedColorRgb(const QString& name);
