#include "persist/SaveProp.h"

#include <QCoreApplication>

#include <QEvent>
#include <QMetaObject>
#include <QVariant>
#include <cstring>

#include "document/Exception.h"
#include "persist/IniNumbers.h"

// ---- property access ------------------------------------------------------

TValueKind ValueKindOf(const QMetaProperty& property) {
  if (!property.isValid()) return TValueKind::vkNone;
  if (property.isEnumType()) return TValueKind::vkOrdinal;
  const QMetaType type = property.metaType();
  switch (type.id()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::QChar:
    case QMetaType::Char16:
    case QMetaType::Char32:
      return TValueKind::vkOrdinal;
    case QMetaType::Long:
    case QMetaType::ULong:
      return sizeof(long) == 4 ? TValueKind::vkOrdinal : TValueKind::vkNone;
    case QMetaType::Double:
    case QMetaType::Float:
      return TValueKind::vkFloat;
    case QMetaType::QString:
      return TValueKind::vkString;
    default:
      break;
  }
  if (type.flags() & QMetaType::PointerToQObject) return TValueKind::vkObject;
  return TValueKind::vkNone;
}

QMetaProperty FindPublishedProperty(const QObject* object, const QString& name) {
  if (!object || name.isEmpty()) return {};
  const QMetaObject* meta = object->metaObject();
  const int exact = meta->indexOfProperty(name.toLatin1().constData());
  if (exact >= 0) return meta->property(exact);
  for (int i = 0; i < meta->propertyCount(); ++i)
    if (QString::fromLatin1(meta->property(i).name()).compare(name, Qt::CaseInsensitive) == 0) return meta->property(i);
  return {};
}

namespace {

// Enumerations and flags travel as their underlying integer, whatever its size.
int EnumToInt(const QVariant& v) {
  const qsizetype size = v.metaType().sizeOf();
  if (size == 1) return int(*static_cast<const qint8*>(v.constData()));
  if (size == 2) return int(*static_cast<const qint16*>(v.constData()));
  qint32 value = 0;
  std::memcpy(&value, v.constData(), sizeof value);  // low half of a 64-bit one
  return value;
}

QVariant IntToEnum(QMetaType type, int value) {
  QVariant v(type, nullptr);
  const qsizetype size = type.sizeOf();
  if (size == 1) {
    const qint8 b = qint8(value);
    std::memcpy(v.data(), &b, 1);
  } else if (size == 2) {
    const qint16 s = qint16(value);
    std::memcpy(v.data(), &s, 2);
  } else if (size == 4) {
    std::memcpy(v.data(), &value, 4);
  } else {
    const qint64 l = value;
    std::memcpy(v.data(), &l, 8);
  }
  return v;
}

int ReadOrdinal(const QMetaProperty& p, const QObject* o) {
  const QVariant v = p.read(o);
  if (!v.isValid()) return 0;
  if (p.isEnumType()) return EnumToInt(v);
  switch (p.metaType().id()) {
    case QMetaType::Bool: return v.toBool() ? 1 : 0;
    case QMetaType::QChar: return v.value<QChar>().unicode();
    case QMetaType::Char16: return int(v.value<char16_t>());
    case QMetaType::Char32: return int(v.value<char32_t>());
    case QMetaType::UInt: return int(v.toUInt());
    default: return v.toInt();
  }
}

void WriteOrdinal(const QMetaProperty& p, QObject* o, int value) {
  if (p.isEnumType()) {
    p.write(o, IntToEnum(p.metaType(), value));
    return;
  }
  switch (p.metaType().id()) {
    case QMetaType::Bool: p.write(o, QVariant(value != 0)); break;
    case QMetaType::QChar: p.write(o, QVariant::fromValue(QChar(char16_t(value)))); break;
    case QMetaType::Char16: p.write(o, QVariant::fromValue(char16_t(value))); break;
    case QMetaType::Char32: p.write(o, QVariant::fromValue(char32_t(value))); break;
    case QMetaType::Char: p.write(o, QVariant::fromValue(char(value))); break;
    case QMetaType::SChar: p.write(o, QVariant::fromValue(static_cast<signed char>(value))); break;
    case QMetaType::UChar: p.write(o, QVariant::fromValue(static_cast<uchar>(value))); break;
    case QMetaType::Short: p.write(o, QVariant::fromValue(short(value))); break;
    case QMetaType::UShort: p.write(o, QVariant::fromValue(ushort(value))); break;
    case QMetaType::UInt: p.write(o, QVariant(uint(value))); break;
    default: p.write(o, QVariant(value)); break;
  }
}

}  // namespace

// ---- TProp ----------------------------------------------------------------

void TProp::SetCompo(QObject* compo) {
  if (compo == FCompo) return;
  FCompo = compo;
  if (compo && !FindPublishedProperty(compo, FPropName).isValid()) FPropName.clear();
  if (compo && Collection && Collection->Owner()) Collection->Owner()->FollowDestruction(compo);
  UpdateKey();
}

void TProp::SetPropName(const QString& name) {
  if (name == FPropName) return;
  FPropName = name;
  UpdateKey();
}

void TProp::SetSectionName(const QString& name) {
  if (name == FSectionName) return;
  FSectionName = name;
  UpdateKey();
}

void TProp::SetKeyName(const QString& name) {
  if (name == FKeyName) return;
  FKeyName = name;
  UpdateKey();
}

void TProp::Assign(const TProp& source) {
  SetCompo(source.FCompo);
  SetPropName(source.FPropName);
  SetSectionName(source.FSectionName);
  SetKeyName(source.FKeyName);
  FEnabled = source.FEnabled;
  FRange = source.FRange;
}

QString TProp::DisplayName() const {
  if (FCompo && !FCompo->objectName().isEmpty() && !FPropName.isEmpty())
    return FCompo->objectName() + QLatin1Char('.') + FPropName;
  return QStringLiteral("TProp");
}

QMetaProperty TProp::Property() const {
  if (!FCompo || FPropName.isEmpty() || !FEnabled) return {};
  return FindPublishedProperty(FCompo, FPropName);
}

TProp::TSectionKey TProp::GetSectionKey() const {
  TSectionKey r;
  if (!Property().isValid()) return r;
  r.Valid = true;
  r.Section = !FSectionName.isEmpty()            ? FSectionName
              : !FCompo->objectName().isEmpty() ? FCompo->objectName()
                                                 : QString::fromLatin1(FCompo->metaObject()->className());
  r.Key = !FEffectiveKey.isEmpty() ? FEffectiveKey : !FKeyName.isEmpty() ? FKeyName : FPropName;
  return r;
}

void TProp::UpdateKey() {
  FEffectiveKey.clear();
  FValueKind = TValueKind::vkNone;
  const TSectionKey sk = GetSectionKey();
  if (!sk.Valid) return;
  FValueKind = ValueKindOf(Property());
  if (FValueKind == TValueKind::vkNone) return;
  QString candidate = sk.Key;
  for (int n = 1; Collection && !Collection->IsUnique(this, sk.Section, candidate); ++n)
    candidate = sk.Key + QString::number(n);
  FEffectiveKey = candidate;
}

int TProp::GetOrdValue() const {
  const QMetaProperty p = Property();
  if (!p.isValid()) return 0;
  if (ValueKindOf(p) == TValueKind::vkObject) return GetObjectValue() ? 1 : 0;
  return ReadOrdinal(p, FCompo);
}

void TProp::SetOrdValue(int value) {
  const QMetaProperty p = Property();
  if (p.isValid() && ValueKindOf(p) == TValueKind::vkOrdinal) WriteOrdinal(p, FCompo, value);
}

QString TProp::GetStrValue() const {
  const QMetaProperty p = Property();
  return p.isValid() ? p.read(FCompo).toString() : QString();
}

void TProp::SetStrValue(const QString& value) {
  const QMetaProperty p = Property();
  if (p.isValid()) p.write(FCompo, QVariant(value));
}

double TProp::GetFloatValue() const {
  const QMetaProperty p = Property();
  return p.isValid() ? p.read(FCompo).toDouble() : 0.0;
}

void TProp::SetFloatValue(double value) {
  const QMetaProperty p = Property();
  if (!p.isValid()) return;
  if (p.metaType().id() == QMetaType::Float)
    p.write(FCompo, QVariant(float(value)));
  else
    p.write(FCompo, QVariant(value));
}

QObject* TProp::GetObjectValue() const {
  const QMetaProperty p = Property();
  if (!p.isValid() || ValueKindOf(p) != TValueKind::vkObject) return nullptr;
  return p.read(FCompo).value<QObject*>();
}

// ---- TProps ---------------------------------------------------------------

TProp* TProps::Add() {
  Items.push_back(std::make_unique<TProp>(this));
  return Items.back().get();
}

TProp* TProps::Add(QObject* compo, const QString& propName) {
  TProp* item = Add();
  item->SetPropName(propName);
  item->SetCompo(compo);
  return item;
}

void TProps::Delete(int index) { Items.erase(Items.begin() + index); }

void TProps::Assign(const TProps& source) {
  if (&source == this) return;
  Clear();
  for (const auto& item : source.Items) Add()->Assign(*item);
}

bool TProps::IsUnique(const TProp* item, const QString& section, const QString& key) const {
  for (const auto& other : Items) {
    if (other.get() == item) continue;
    const TProp::TSectionKey sk = other->GetSectionKey();
    if (sk.Valid && sk.Section.compare(section, Qt::CaseInsensitive) == 0 &&
        sk.Key.compare(key, Qt::CaseInsensitive) == 0)
      return false;
  }
  return true;
}

QString TProps::GetAttr(int column) const {
  switch (column) {
    case 0: return QStringLiteral("Property");
    case 1: return QStringLiteral("Section");
    case 2: return QStringLiteral("Key");
    default: return QString();
  }
}

QString TProps::GetItemAttr(int column, int index) const {
  if (index < 0 || index >= Count()) return QString();
  const TProp* item = Items[size_t(index)].get();
  switch (column) {
    case 0: return item->DisplayName();
    case 1: return item->GetSectionKey().Section;
    case 2: return item->GetSectionKey().Key;
    default: return QString();
  }
}

// ---- TCustomSaveProps -----------------------------------------------------

TCustomSaveProps::TCustomSaveProps(QObject* owner) : QObject(owner) { SetAutoSave(true); }

TCustomSaveProps::~TCustomSaveProps() {
  if (FHookInstalled && parent()) parent()->removeEventFilter(this);
}

bool TCustomSaveProps::OwnerIsWindowed() const { return parent() && parent()->isWidgetType(); }

TPlacementForm* TCustomSaveProps::OwnerForm() const { return dynamic_cast<TPlacementForm*>(parent()); }

void TCustomSaveProps::FollowDestruction(QObject* component) {
  connect(component, &QObject::destroyed, this, &TCustomSaveProps::OnComponentDestroyed, Qt::UniqueConnection);
}

void TCustomSaveProps::SetAutoSave(bool autoSave) {
  if (autoSave == FAutoSave) return;
  FAutoSave = autoSave;
  QObject* owner = parent();
  if (!owner) return;
  if (OwnerIsWindowed()) {
    // A window is saved while it is still whole: at its close, the last
    // moment before destruction at which all its properties can be read.
    if (autoSave) {
      owner->installEventFilter(this);
      FHookInstalled = true;
    } else if (FHookInstalled) {
      owner->removeEventFilter(this);
      FHookInstalled = false;
    }
  } else if (autoSave) {
    FollowDestruction(owner);
  }
  // A non-windowed owner's destruction stays followed: its items still need
  // to be let go; Notification looks at AutoSave before saving.
}

bool TCustomSaveProps::eventFilter(QObject* watched, QEvent* event) {
  if (FHookInstalled && watched == parent() && event->type() == QEvent::Close) Save();
  return QObject::eventFilter(watched, event);
}

void TCustomSaveProps::SetRestorePlacement(TRestoreKinds kinds) {
  if (kinds.Has(TRestoreKind::Enabled) && !OwnerForm())
    throw Exception(QCoreApplication::translate("SaveProp", "Owner が TForm でないと設定できません"));
  FRestorePlacement = kinds;
}

void TCustomSaveProps::Loaded() {
  if (FAutoLoad) Load();
}

void TCustomSaveProps::Notification(QObject* component) {
  if (component == parent() && !OwnerIsWindowed() && FAutoSave) {
    Save();
    return;
  }
  for (int i = 0; i < FProps.Count(); ++i)
    if (FProps[i]->Compo() == component) FProps[i]->SetCompo(nullptr);
}

void TCustomSaveProps::CheckDuplicate(const QString& section, const QString& key) const {
  if (FSaving || FProps.IsUnique(nullptr, section, key)) return;
  throw Exception(QCoreApplication::translate("SaveProp", "セクション名 %1 とキー名 %2 の組み合わせが重複しています").arg(section, key));
}

QString TCustomSaveProps::PlacementKey(int index) const {
  static const char* const parts[5] = {"Left", "Top", "Right", "Bottom", "State"};
  const QString owner = parent() ? parent()->objectName() : QString();
  return index >= 0 && index < 5 ? owner + QLatin1String(parts[index]) : owner;
}

std::array<int, 5> TCustomSaveProps::GetPlacement() const {
  std::array<int, 5> v{};
  if (const TPlacementForm* form = OwnerForm()) {
    const QRect r = form->NormalRect();
    v = {r.x(), r.y(), r.x() + r.width(), r.y() + r.height(), form->PlacementState()};
  }
  return v;
}

void TCustomSaveProps::SetPlacement(const std::array<int, 5>& values) {
  TPlacementForm* form = OwnerForm();
  if (!form) return;
  int state = values[4];
  if (state == 1 && !FRestorePlacement.Has(TRestoreKind::AllowMinimize)) state = 0;
  if (state == 2 && !FRestorePlacement.Has(TRestoreKind::AllowMaximize)) state = 0;
  if (state < 0 || state > 2) state = 0;  // a state we do not know comes up normal
  form->ApplyPlacement(QRect(QPoint(values[0], values[1]), QPoint(values[2] - 1, values[3] - 1)), state);
}

void TCustomSaveProps::Load() {
  if (OnBeforeLoad) {
    try {
      OnBeforeLoad(this);
    } catch (...) {
    }
  }
  BeginRead();
  FLoading = true;
  try {
    for (int i = 0; i < FProps.Count(); ++i) {
      TProp* item = FProps[i];
      const TProp::TSectionKey sk = item->GetSectionKey();
      if (!sk.Valid) continue;
      switch (item->ValueKind()) {
        case TValueKind::vkOrdinal:
          if (!ValueExists(sk.Section, sk.Key)) break;
          if (item->HasRange()) {
            // A hostile or mistyped value keeps the setting's default.
            const std::optional<int> value = ParseIniInteger(ReadString(sk.Section, sk.Key));
            if (value && item->InRange(*value)) item->SetOrdValue(*value);
          } else {
            item->SetOrdValue(ReadInteger(sk.Section, sk.Key));
          }
          break;
        case TValueKind::vkString:
          if (ValueExists(sk.Section, sk.Key)) item->SetStrValue(ReadString(sk.Section, sk.Key));
          break;
        case TValueKind::vkFloat:
          if (ValueExists(sk.Section, sk.Key)) item->SetFloatValue(ReadFloat(sk.Section, sk.Key));
          break;
        case TValueKind::vkObject:
          ReadObject(sk.Section, sk.Key, item->GetObjectValue());
          break;
        case TValueKind::vkNone:
          break;
      }
    }
    if (OnFindOrdValue || OnFindStrValue)
      for (const QString& section : FFindKeys) FindValues(section);
    if (FRestorePlacement.Has(TRestoreKind::Enabled)) {
      const QString section = QLatin1String(WindowPlacementSection);
      std::array<int, 5> values{};
      bool all = true;
      for (int i = 0; i < 5 && all; ++i) {
        all = ValueExists(section, PlacementKey(i));
        if (all) values[size_t(i)] = ReadInteger(section, PlacementKey(i));
      }
      if (all) SetPlacement(values);
    }
    if (OnAfterLoad) OnAfterLoad(this);
  } catch (...) {
    FLoading = false;
    EndRead();
    throw;
  }
  FLoading = false;
  EndRead();
}

void TCustomSaveProps::Save() {
  if (FLoading) return;
  BeginWrite();
  FSaving = true;
  try {
    for (int i = 0; i < FProps.Count(); ++i) {
      TProp* item = FProps[i];
      const TProp::TSectionKey sk = item->GetSectionKey();
      if (!sk.Valid) continue;
      switch (item->ValueKind()) {
        case TValueKind::vkOrdinal: WriteInteger(sk.Section, sk.Key, item->GetOrdValue()); break;
        case TValueKind::vkString: WriteString(sk.Section, sk.Key, item->GetStrValue()); break;
        case TValueKind::vkFloat: WriteFloat(sk.Section, sk.Key, item->GetFloatValue()); break;
        case TValueKind::vkObject: WriteObject(sk.Section, sk.Key, item->GetObjectValue()); break;
        case TValueKind::vkNone: break;
      }
    }
    if (FRestorePlacement.Has(TRestoreKind::Enabled)) {
      const std::array<int, 5> values = GetPlacement();
      for (int i = 0; i < 5; ++i)
        WriteInteger(QLatin1String(WindowPlacementSection), PlacementKey(i), values[size_t(i)]);
    }
    FSaving = false;
    if (OnAfterSave) OnAfterSave(this);
  } catch (...) {
    FSaving = false;
    EndWrite();
    throw;
  }
  EndWrite();
}
