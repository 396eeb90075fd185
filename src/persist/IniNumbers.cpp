#include "persist/IniNumbers.h"

#include <QLocale>
#include <cmath>

namespace {

int DigitValue(QChar c) {
  const ushort u = c.unicode();
  if (u >= '0' && u <= '9') return u - '0';
  if (u >= 'a' && u <= 'f') return u - 'a' + 10;
  if (u >= 'A' && u <= 'F') return u - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<int> ParseIniInteger(const QString& text) {
  int i = 0;
  const int n = text.size();
  while (i < n && text[i] == QLatin1Char(' ')) ++i;
  bool negative = false;
  if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) negative = text[i++] == QLatin1Char('-');
  int base = 10;
  if (i < n && text[i] == QLatin1Char('$')) {
    base = 16;
    ++i;
  } else if (i + 1 < n && text[i] == QLatin1Char('0') && (text[i + 1] == QLatin1Char('x') || text[i + 1] == QLatin1Char('X'))) {
    base = 16;
    i += 2;
  }
  if (i >= n) return std::nullopt;
  // Decimal stops at the sign's own limit; hexadecimal may use all 32 bits.
  const quint64 limit = base == 16 ? 0xFFFFFFFFull : negative ? 0x80000000ull : 0x7FFFFFFFull;
  quint64 value = 0;
  for (; i < n; ++i) {
    const int d = DigitValue(text[i]);
    if (d < 0 || d >= base) return std::nullopt;
    value = value * quint64(base) + quint64(d);
    if (value > limit) return std::nullopt;
  }
  const quint32 bits = negative ? quint32(0u - quint32(value)) : quint32(value);
  return int(bits);
}

QString FormatIniFloat(double value) {
  if (std::isnan(value)) return QStringLiteral("NAN");
  if (std::isinf(value)) return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
  if (value == 0) return QStringLiteral("0");
  // 15 significant digits, trailing zeros dropped; plain form while the
  // exponent stays within the digits shown and the value is not tiny.
  QString digits = QString::number(std::fabs(value), 'e', 14);  // d.ddddddddddddddde±xx
  const int e = digits.indexOf(QLatin1Char('e'));
  const int exponent = digits.mid(e + 1).toInt();
  QString mantissa = digits.left(e).remove(QLatin1Char('.'));
  while (mantissa.size() > 1 && mantissa.endsWith(QLatin1Char('0'))) mantissa.chop(1);
  const QString point = QLocale().decimalPoint();
  QString out;
  if (exponent >= 15 || exponent < -4) {
    out = mantissa.left(1);
    if (mantissa.size() > 1) out += point + mantissa.mid(1);
    out += QLatin1Char('E') + QString::number(exponent);
  } else if (exponent >= 0) {
    QString whole = mantissa.left(exponent + 1);
    while (whole.size() < exponent + 1) whole += QLatin1Char('0');
    out = whole;
    if (mantissa.size() > exponent + 1) out += point + mantissa.mid(exponent + 1);
  } else {
    out = QLatin1Char('0') + point + QString(-exponent - 1, QLatin1Char('0')) + mantissa;
  }
  return value < 0 ? QLatin1Char('-') + out : out;
}

std::optional<double> ParseIniFloat(const QString& text) {
  const QString t = text.trimmed();
  if (t.isEmpty()) return std::nullopt;
  const QString upper = t.toUpper();
  if (upper == QLatin1String("NAN")) return std::nan("");
  if (upper == QLatin1String("INF") || upper == QLatin1String("+INF")) return HUGE_VAL;
  if (upper == QLatin1String("-INF")) return -HUGE_VAL;
  bool ok = false;
  QLocale locale;
  locale.setNumberOptions(QLocale::RejectGroupSeparator);
  const double v = locale.toDouble(t, &ok);
  if (ok) return v;
  return std::nullopt;
}
