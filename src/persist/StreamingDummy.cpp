#include "persist/StreamingDummy.h"

#include <QMetaEnum>
#include <QMetaProperty>
#include <QSet>
#include <QVariant>
#include <cmath>
#include <optional>

#include "persist/IniNumbers.h"
#include "persist/SaveProp.h"

namespace {

constexpr int MaxDepth = 8;

// A string in quotes, '' for a quote; control characters as #n outside them.
QString QuoteText(const QString& s) {
  QString out;
  bool open = false;
  for (const QChar c : s) {
    if (c.unicode() < 32) {
      if (open) out += QLatin1Char('\'');
      open = false;
      out += QLatin1Char('#') + QString::number(c.unicode());
      continue;
    }
    if (!open) out += QLatin1Char('\'');
    open = true;
    out += c;
    if (c == QLatin1Char('\'')) out += c;
  }
  if (open) out += QLatin1Char('\'');
  return out.isEmpty() ? QStringLiteral("''") : out;
}

std::optional<QString> UnquoteText(const QString& s) {
  QString out;
  int i = 0;
  const int n = s.size();
  if (n == 0) return std::nullopt;
  while (i < n) {
    if (s[i] == QLatin1Char('\'')) {
      ++i;
      for (;;) {
        if (i >= n) return std::nullopt;
        if (s[i] == QLatin1Char('\'')) {
          if (i + 1 < n && s[i + 1] == QLatin1Char('\'')) {
            out += QLatin1Char('\'');
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        out += s[i++];
      }
    } else if (s[i] == QLatin1Char('#')) {
      int j = ++i;
      while (j < n && s[j].isDigit()) ++j;
      bool ok = false;
      const uint code = s.mid(i, j - i).toUInt(&ok);
      if (!ok || code > 0xFFFF) return std::nullopt;
      out += QChar(char16_t(code));
      i = j;
    } else {
      return std::nullopt;
    }
  }
  return out;
}

QString FlagsText(const QMetaEnum& e, int value) {
  QStringList names;
  for (int i = 0; i < e.keyCount(); ++i) {
    const int k = e.value(i);
    if (k != 0 && (value & k) == k) names << QString::fromLatin1(e.key(i));
  }
  return QLatin1Char('[') + names.join(QStringLiteral(", ")) + QLatin1Char(']');
}

std::optional<int> ParseFlags(const QMetaEnum& e, const QString& text) {
  if (!text.startsWith(QLatin1Char('[')) || !text.endsWith(QLatin1Char(']'))) return std::nullopt;
  int value = 0;
  for (const QString& part : text.mid(1, text.size() - 2).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
    bool ok = false;
    const int k = e.keyToValue(part.trimmed().toLatin1().constData(), &ok);
    if (!ok) return std::nullopt;
    value |= k;
  }
  return value;
}

int OrdinalOf(const QObject* obj, const QMetaProperty& p) {
  TProp probe(nullptr);
  probe.SetPropName(QLatin1String(p.name()));
  probe.SetCompo(const_cast<QObject*>(obj));
  return probe.GetOrdValue();
}

bool Persisted(const QMetaProperty& p) {
  return p.isReadable() && p.isWritable() && p.isStored() && ValueKindOf(p) != TValueKind::vkNone;
}

void WriteProperties(const QObject* obj, const QString& prefix, int depth, QSet<const QObject*>& seen,
                     QStringList& out) {
  if (!obj || depth > MaxDepth || seen.contains(obj)) return;
  seen.insert(obj);
  const QMetaObject* meta = obj->metaObject();
  for (int i = QObject::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i) {
    const QMetaProperty p = meta->property(i);
    const QString name = prefix + QLatin1String(p.name());
    const TValueKind kind = ValueKindOf(p);
    if (kind == TValueKind::vkObject && p.isReadable()) {
      WriteProperties(p.read(obj).value<QObject*>(), name + QLatin1Char('.'), depth + 1, seen, out);
      continue;
    }
    if (!Persisted(p)) continue;
    const QVariant v = p.read(obj);
    QString text;
    if (p.isFlagType()) {
      text = FlagsText(p.enumerator(), OrdinalOf(obj, p));
    } else if (p.isEnumType()) {
      const int value = OrdinalOf(obj, p);
      const char* key = p.enumerator().valueToKey(value);
      text = key ? QString::fromLatin1(key) : QString::number(value);
    } else if (p.metaType().id() == QMetaType::Bool) {
      text = v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    } else if (kind == TValueKind::vkString) {
      text = QuoteText(v.toString());
    } else if (kind == TValueKind::vkFloat) {
      text = QString::number(v.toDouble(), 'g', 17);
    } else {
      text = QString::number(OrdinalOf(obj, p));
    }
    out << QStringLiteral("  ") + name + QStringLiteral(" = ") + text;
  }
}

// Follows "A.B.C" from obj to the object holding C; none when a link is missing.
QObject* Holder(QObject* obj, QStringList& path) {
  while (obj && path.size() > 1) {
    const QMetaProperty p = FindPublishedProperty(obj, path.takeFirst());
    if (ValueKindOf(p) != TValueKind::vkObject) return nullptr;
    obj = p.read(obj).value<QObject*>();
  }
  return obj;
}

void SetProperty(QObject* obj, const QString& name, const QString& text) {
  const QMetaProperty p = FindPublishedProperty(obj, name);
  if (!Persisted(p)) return;
  TProp item(nullptr);
  item.SetPropName(QLatin1String(p.name()));
  item.SetCompo(obj);
  switch (ValueKindOf(p)) {
    case TValueKind::vkString:
      if (const auto s = UnquoteText(text)) item.SetStrValue(*s);
      return;
    case TValueKind::vkFloat: {
      bool ok = false;
      const double d = text.toDouble(&ok);
      if (ok) item.SetFloatValue(d);
      return;
    }
    case TValueKind::vkOrdinal: {
      std::optional<int> v;
      if (p.isFlagType()) {
        v = ParseFlags(p.enumerator(), text);
      } else if (p.metaType().id() == QMetaType::Bool && (text == QLatin1String("True") || text == QLatin1String("False"))) {
        v = text == QLatin1String("True") ? 1 : 0;
      } else if (p.isEnumType() && !text.isEmpty() && !text[0].isDigit() && text[0] != QLatin1Char('-')) {
        bool ok = false;
        const int k = p.enumerator().keyToValue(text.toLatin1().constData(), &ok);
        if (ok) v = k;
      } else {
        v = ParseIniInteger(text);
      }
      if (v) item.SetOrdValue(*v);
      return;
    }
    default:
      return;
  }
}

}  // namespace

QStringList TStreamingDummy::WriteText() const {
  QStringList out{QStringLiteral("object TStreamingDummy")};
  QSet<const QObject*> seen;
  WriteProperties(Obj, QStringLiteral("Obj."), 0, seen, out);
  out << QStringLiteral("end");
  return out;
}

void TStreamingDummy::ReadText(const QStringList& text) {
  if (text.size() < 2 || text.first().trimmed() != QLatin1String("object TStreamingDummy") ||
      text.last().trimmed() != QLatin1String("end"))
    return;
  for (int i = 1; i + 1 < text.size(); ++i) {
    const QString line = text[i].trimmed();
    const int eq = line.indexOf(QLatin1Char('='));
    if (eq < 0) continue;
    QStringList path = line.left(eq).trimmed().split(QLatin1Char('.'));
    if (path.size() < 2 || path.takeFirst() != QLatin1String("Obj")) continue;
    if (QObject* holder = Holder(Obj, path)) SetProperty(holder, path.first(), line.mid(eq + 1).trimmed());
  }
}
