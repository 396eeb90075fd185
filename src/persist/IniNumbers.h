#pragma once
// How numbers are spelled in the INI file.
#include <QString>
#include <optional>

// A signed 32-bit integer: leading blanks and a sign allowed, then decimal
// digits, or hexadecimal after "$", "0x" or "0X"; nothing may follow.
// Hexadecimal covers the full 32 bits ("$FFFFFFFF" is -1).
std::optional<int> ParseIniInteger(const QString& text);

// General decimal form with up to 15 significant digits, the locale's decimal
// separator and an exponent as "E-5" or "E20" when the number is far from one.
QString FormatIniFloat(double value);
// The reverse of FormatIniFloat; none for an empty or unreadable text.
std::optional<double> ParseIniFloat(const QString& text);
