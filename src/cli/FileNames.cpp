#include "cli/FileNames.h"

#include <QFile>
#include <QStringDecoder>

namespace {

// Private-use stand-in followed by the argument's position.
constexpr char16_t kStandIn = u'\xF8FF';

// The length of the well-formed UTF-8 sequence at p (at most left bytes), or 0.
int Utf8Length(const unsigned char* p, qsizetype left) {
  const unsigned c = p[0];
  int n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
  if (n == 0 || n > left) return 0;
  for (int i = 1; i < n; ++i)
    if ((p[i] & 0xC0) != 0x80) return 0;
  if (n == 1) return 1;
  // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
  unsigned cp = c & (0x7F >> n);
  for (int i = 1; i < n; ++i) cp = (cp << 6) | (p[i] & 0x3F);
  static const unsigned smallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < smallest[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

bool IsUtf8(const QByteArray& bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
  for (qsizetype i = 0; i < bytes.size();) {
    const int n = Utf8Length(p + i, bytes.size() - i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

}  // namespace

TArgumentBytes::TArgumentBytes(int argc, char** argv) {
  for (int i = 0; i < argc; ++i) {
    const QByteArray bytes(argv[i]);
    Raw.push_back(bytes);
    Args.push_back(IsUtf8(bytes) ? QString::fromUtf8(bytes) : QString(QChar(kStandIn)) + QString::number(i));
  }
}

QByteArray TArgumentBytes::Bytes(const QString& text) const {
  if (text.startsWith(QChar(kStandIn))) {
    bool ok = false;
    const int i = text.mid(1).toInt(&ok);
    if (ok && i >= 0 && i < Raw.size()) return Raw[i];
  }
  return text.toUtf8();
}

QString ShownName(const QByteArray& name) {
  QString out;
  const auto* p = reinterpret_cast<const unsigned char*>(name.constData());
  for (qsizetype i = 0; i < name.size();) {
    const int n = Utf8Length(p + i, name.size() - i);
    const unsigned c = p[i];
    if (n > 1 && !(n == 2 && c == 0xC2 && p[i + 1] < 0xA0)) {  // C1 controls are controls too
      out += QString::fromUtf8(name.constData() + i, n);
      i += n;
      continue;
    }
    if (c == '\\') out += QStringLiteral("\\\\");
    else if (c == '\n') out += QStringLiteral("\\n");
    else if (c == '\t') out += QStringLiteral("\\t");
    else if (c == '\r') out += QStringLiteral("\\r");
    else if (n == 1 && c >= 0x20 && c != 0x7F) out += QChar(char16_t(c));
    else out += QStringLiteral("\\x%1").arg(c, 2, 16, QLatin1Char('0'));
    ++i;
  }
  return out;
}
