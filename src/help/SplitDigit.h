#pragma once
// Thousands separators for the About box's memory figure.
#include <QString>

// Puts "," before every group of three characters counted from the right:
// "1234567" -> "1,234,567"; "123" and "" stay as they are.
QString splitdigit(const QString& s);
