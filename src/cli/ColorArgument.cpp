#include "cli/ColorArgument.h"

#include <QColor>
#include <QRegularExpression>

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
  // Qt reads "#RGB" and "#RRGGBB" and the SVG names; alpha forms are not colours of a GIF.
  if (name.startsWith(QLatin1Char('#')) && name.size() != 4 && name.size() != 7) return std::nullopt;
  // Names are the CSS/SVG colour names; "transparent" names no colour at all.
  static const QRegularExpression word(QStringLiteral("^[A-Za-z]+$"));
  if (!name.startsWith(QLatin1Char('#')) &&
      (!word.match(name).hasMatch() || name.compare(QLatin1String("transparent"), Qt::CaseInsensitive) == 0))
    return std::nullopt;
  const QColor color = QColor::fromString(name);
  if (!color.isValid()) return std::nullopt;
  TColorArgument wanted;
  wanted.Color = RGBColor(color.red(), color.green(), color.blue());
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
