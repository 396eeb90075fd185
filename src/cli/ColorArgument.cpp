#include "cli/ColorArgument.h"

#include <QRegularExpression>

#include "cli/ColorNames.h"

namespace {

std::optional<TColorArgument> ParseIndex(const QString& number) {
  static const QRegularExpression digits(QStringLiteral("^[0-9]{1,3}$"));
  if (!digits.match(number).hasMatch()) return std::nullopt;
  bool ok = false;
  const int index = number.toInt(&ok);
  if (!ok || index < 0 || index > 255) return std::nullopt;
  TColorArgument wanted;
  wanted.Kind = TColorArgument::TKind::Index;
  wanted.Index = index;
  return wanted;
}

std::optional<TColorArgument> ParsePixel(const QString& point) {
  static const QRegularExpression form(QStringLiteral("^(\\d{1,5}),(\\d{1,5})$"));
  const auto m = form.match(point);
  if (!m.hasMatch()) return std::nullopt;
  TColorArgument wanted;
  wanted.Kind = TColorArgument::TKind::Pixel;
  wanted.X = m.captured(1).toInt();
  wanted.Y = m.captured(2).toInt();
  return wanted;
}

}  // namespace

std::optional<TColorArgument> ParseColorArgument(const QString& text) {
  if (text.startsWith(QLatin1String("index:"))) return ParseIndex(text.mid(6));
  if (text.startsWith(QLatin1String("pixel:"))) return ParsePixel(text.mid(6));
  static const QRegularExpression bareHex(QStringLiteral("^[0-9A-Fa-f]{6}$"));
  const QString name = bareHex.match(text).hasMatch() ? QLatin1Char('#') + text : text;
  std::optional<uint32_t> rgb;
  // "#RGB" and "#RRGGBB"; alpha forms are not colours of a GIF.
  static const QRegularExpression hex(QStringLiteral("^#([0-9A-Fa-f]{3}|[0-9A-Fa-f]{6})$"));
  if (hex.match(name).hasMatch()) {
    uint32_t value = name.mid(1).toUInt(nullptr, 16);
    if (name.size() == 4)  // each digit doubled: #abc is #aabbcc
      value = ((value >> 8) & 0xF) * 0x110000 | ((value >> 4) & 0xF) * 0x1100 | (value & 0xF) * 0x11;
    rgb = value;
  } else {
    rgb = NamedColorRgb(name);
  }
  if (!rgb) return std::nullopt;
  TColorArgument wanted;
  wanted.Color = RGBColor((*rgb >> 16) & 0xFF, (*rgb >> 8) & 0xFF, *rgb & 0xFF);
  return wanted;
}

QString ColorArgumentText(const TColorArgument& wanted) {
  switch (wanted.Kind) {
    case TColorArgument::TKind::Index:
      return QStringLiteral("index:%1").arg(wanted.Index);
    case TColorArgument::TKind::Pixel:
      return QStringLiteral("pixel:%1,%2").arg(wanted.X).arg(wanted.Y);
    case TColorArgument::TKind::Rgb:
      break;
  }
  return QStringLiteral("#%1%2%3")
      .arg(RedOf(wanted.Color), 2, 16, QLatin1Char('0'))
      .arg(GreenOf(wanted.Color), 2, 16, QLatin1Char('0'))
      .arg(BlueOf(wanted.Color), 2, 16, QLatin1Char('0'));
}

std::optional<int> FindPaletteEntry(const TGifDocument& doc, TColor color) {
  for (int i = 0; i < doc.ColorCount; ++i)
    if (doc.PaletteColors[i] == color) return i;
  return std::nullopt;
}

std::optional<int> EntryOfPickedPixel(const TGifDocument& doc, const TShownPixel& pixel) {
  if (pixel.Index && *pixel.Index >= 0 && *pixel.Index < doc.ColorCount &&
      doc.PaletteColors[*pixel.Index] == pixel.Color)
    return *pixel.Index;
  return FindPaletteEntry(doc, pixel.Color);
}
