#include "cli/ColorSpec.h"

#include <QColor>
#include <QRegularExpression>

namespace {

std::optional<TColorSpec> ParseIndex(const QString& number) {
  bool ok = false;
  const int index = number.toInt(&ok);
  if (!ok || index < 0 || index > 255) return std::nullopt;
  TColorSpec spec;
  spec.Kind = TColorSpec::TKind::Index;
  spec.Index = index;
  return spec;
}

std::optional<TColorSpec> ParsePixel(const QString& point) {
  static const QRegularExpression form(QStringLiteral("^(\\d{1,5}),(\\d{1,5})$"));
  const auto m = form.match(point);
  if (!m.hasMatch()) return std::nullopt;
  TColorSpec spec;
  spec.Kind = TColorSpec::TKind::Pixel;
  spec.X = m.captured(1).toInt();
  spec.Y = m.captured(2).toInt();
  return spec;
}

}  // namespace

std::optional<TColorSpec> ParseColorSpec(const QString& text) {
  if (text.startsWith(QLatin1String("index:"))) return ParseIndex(text.mid(6));
  if (text.startsWith(QLatin1String("pixel:"))) return ParsePixel(text.mid(6));
  static const QRegularExpression bareHex(QStringLiteral("^[0-9A-Fa-f]{6}$"));
  const QString name = bareHex.match(text).hasMatch() ? QLatin1Char('#') + text : text;
  // Qt reads "#RGB" and "#RRGGBB" and the SVG names; alpha forms are not colours of a GIF.
  if (name.startsWith(QLatin1Char('#')) && name.size() != 4 && name.size() != 7) return std::nullopt;
  const QColor color = QColor::fromString(name);
  if (!color.isValid()) return std::nullopt;
  TColorSpec spec;
  spec.Color = RGBColor(color.red(), color.green(), color.blue());
  return spec;
}

QString ColorSpecText(const TColorSpec& spec) {
  switch (spec.Kind) {
    case TColorSpec::TKind::Index:
      return QStringLiteral("index:%1").arg(spec.Index);
    case TColorSpec::TKind::Pixel:
      return QStringLiteral("pixel:%1,%2").arg(spec.X).arg(spec.Y);
    case TColorSpec::TKind::Rgb:
      break;
  }
  return QStringLiteral("#%1%2%3")
      .arg(RedOf(spec.Color), 2, 16, QLatin1Char('0'))
      .arg(GreenOf(spec.Color), 2, 16, QLatin1Char('0'))
      .arg(BlueOf(spec.Color), 2, 16, QLatin1Char('0'));
}

std::optional<int> FindPaletteEntry(const TGifDocument& doc, TColor color) {
  for (int i = 0; i < doc.ColorCount; ++i)
    if (doc.PaletteColors[i] == color) return i;
  return std::nullopt;
}
