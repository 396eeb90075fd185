#include "help/SplitDigit.h"

QString splitdigit(const QString& s) {
  QString result;
  int taken = 0;
  for (int i = s.size() - 1; i >= 0; --i) {
    result.prepend(s.at(i));
    if (++taken % 3 == 0) result.prepend(QLatin1Char(','));
  }
  if (result.startsWith(QLatin1Char(','))) result.remove(0, 1);
  return result;
}
