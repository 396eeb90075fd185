#include "preview/PreviewColor.h"

#include <cctype>

namespace {

struct TNamedColor {
  TColor Value;
  const char* Name;
};

const TNamedColor kNamed[16] = {
    {RGBColor(0, 0, 0), "clBlack"},       {RGBColor(128, 0, 0), "clMaroon"},
    {RGBColor(0, 128, 0), "clGreen"},     {RGBColor(128, 128, 0), "clOlive"},
    {RGBColor(0, 0, 128), "clNavy"},      {RGBColor(128, 0, 128), "clPurple"},
    {RGBColor(0, 128, 128), "clTeal"},    {RGBColor(128, 128, 128), "clGray"},
    {RGBColor(192, 192, 192), "clSilver"}, {RGBColor(255, 0, 0), "clRed"},
    {RGBColor(0, 255, 0), "clLime"},      {RGBColor(255, 255, 0), "clYellow"},
    {RGBColor(0, 0, 255), "clBlue"},      {RGBColor(255, 0, 255), "clFuchsia"},
    {RGBColor(0, 255, 255), "clAqua"},    {RGBColor(255, 255, 255), "clWhite"},
};

}  // namespace

QString ChangeHTMLColor(TColor color, const TSystemColorResolver& system) {
  TColor v = color;
  if (color & 0x80000000u) v = system ? system(int(color & 0xFF)) & 0xFFFFFF : 0;
  return QStringLiteral("#%1%2%3")
      .arg(RedOf(v), 2, 16, QLatin1Char('0'))
      .arg(GreenOf(v), 2, 16, QLatin1Char('0'))
      .arg(BlueOf(v), 2, 16, QLatin1Char('0'))
      .toUpper();
}

QString ColorHintText(TColor color) {
  for (const TNamedColor& n : kNamed)
    if (n.Value == color) return QString::fromLatin1(n.Name);
  return QStringLiteral("$%1").arg(color, 8, 16, QLatin1Char('0')).toUpper();
}

std::optional<TColor> ColorFromHintText(const QString& hint) {
  const QString text = hint.trimmed();
  for (const TNamedColor& n : kNamed)
    if (text.compare(QLatin1String(n.Name), Qt::CaseInsensitive) == 0) return n.Value;
  if (text.size() < 2 || text.size() > 9 || text[0] != QLatin1Char('$')) return std::nullopt;
  bool ok = false;
  const uint value = text.mid(1).toUInt(&ok, 16);  // digits only: no sign, no "0x"
  for (const QChar c : text.mid(1))
    if (!isxdigit(c.unicode() < 128 ? c.toLatin1() : 'g')) ok = false;
  if (!ok || value > 0xFFFFFFu) return std::nullopt;
  return TColor(value);
}

QByteArray BackgroundCss(TColor color, const TSystemColorResolver& system) {
  return "body { background-color: " + ChangeHTMLColor(color, system).toLatin1() + "; }";
}
