#include "persist/IniSaveProps.h"

#include <QCoreApplication>
#include <stdexcept>

#include "document/FileOps.h"
#include "persist/IniNumbers.h"
#include "persist/StreamingDummy.h"

TIniSaveProps::~TIniSaveProps() = default;  // an open file goes unwritten

QString TIniSaveProps::GetIniFileName() const {
  if (!FFileName.isEmpty()) return FFileName;
  const QString exe = QCoreApplication::applicationFilePath();
  const QString ext = ExtractFileExt(exe);
  return exe.left(exe.size() - ext.size()) + QStringLiteral(".ini");
}

TMemIniFile& TIniSaveProps::Ini() const {
  // Only Load and Save call the object and find operations, inside their brackets.
  if (!FIniFile) {
    Q_ASSERT_X(false, "SaveProp", "no INI file open");
    throw std::logic_error("SaveProp: no INI file open");
  }
  return *FIniFile;
}

template <typename F>
auto TIniSaveProps::Reading(F&& body) {
  BeginRead();
  try {
    auto result = body(*FIniFile);
    EndRead();
    return result;
  } catch (...) {
    EndRead();
    throw;
  }
}

template <typename F>
void TIniSaveProps::Writing(F&& body) {
  BeginWrite();
  try {
    body(*FIniFile);
  } catch (...) {
    EndWrite();
    throw;
  }
  EndWrite();
}

void TIniSaveProps::BeginRead() {
  if (!FIniFile) FIniFile = std::make_unique<TMemIniFile>(GetIniFileName());
  ++FOpenCount;
}

void TIniSaveProps::EndRead() {
  --FOpenCount;
  if (FOpenCount <= 0 && FIniFile) FIniFile.reset();
}

void TIniSaveProps::BeginWrite() { BeginRead(); }

void TIniSaveProps::EndWrite() {
  --FOpenCount;
  if (FOpenCount <= 0 && FIniFile) {
    // A failed write keeps the file open with the count at zero, so the next
    // bracket works on this copy instead of reading the file again.
    FIniFile->UpdateFile();
    FIniFile.reset();
  }
}

bool TIniSaveProps::ValueExists(const QString& section, const QString& key) {
  return Reading([&](TMemIniFile& ini) { return ini.ValueExists(section, key); });
}

int TIniSaveProps::ReadInteger(const QString& section, const QString& key) {
  return Reading([&](TMemIniFile& ini) { return ini.ReadInteger(section, key, 0); });
}

QString TIniSaveProps::ReadString(const QString& section, const QString& key) {
  return Reading([&](TMemIniFile& ini) { return ini.ReadString(section, key, QString()); });
}

double TIniSaveProps::ReadFloat(const QString& section, const QString& key) {
  return Reading([&](TMemIniFile& ini) { return ini.ReadFloat(section, key, 0.0); });
}

void TIniSaveProps::WriteInteger(const QString& section, const QString& key, int value) {
  CheckDuplicate(section, key);
  Writing([&](TMemIniFile& ini) { ini.WriteInteger(section, key, value); });
}

void TIniSaveProps::WriteString(const QString& section, const QString& key, const QString& value) {
  CheckDuplicate(section, key);
  Writing([&](TMemIniFile& ini) { ini.WriteString(section, key, value); });
}

void TIniSaveProps::WriteFloat(const QString& section, const QString& key, double value) {
  CheckDuplicate(section, key);
  Writing([&](TMemIniFile& ini) { ini.WriteFloat(section, key, value); });
}

QStringList TIniSaveProps::ObjectText(const QString& section, const QString& key) const {
  QStringList lines;
  for (const auto& [name, value] : Ini().ReadSectionValues(section))
    if (name.startsWith(key, Qt::CaseSensitive)) lines << value;
  if (lines.isEmpty()) return lines;
  lines.prepend(QStringLiteral("object TStreamingDummy"));
  lines.append(QStringLiteral("end"));
  return lines;
}

void TIniSaveProps::ReadObject(const QString& section, const QString& key, QObject* object) {
  const QStringList text = ObjectText(section, key);
  if (text.isEmpty() || !object) return;
  TStreamingDummy dummy;
  dummy.Obj = object;
  dummy.ReadText(text);
}

void TIniSaveProps::WriteObject(const QString& section, const QString& key, QObject* object) {
  TMemIniFile& ini = Ini();
  if (!object) return;
  TStreamingDummy dummy;
  dummy.Obj = object;
  QStringList lines = dummy.WriteText();
  lines.removeFirst();
  lines.removeLast();
  for (int i = 0; i < lines.size(); ++i) ini.WriteString(section, key + QString::number(i), lines[i]);
}

void TIniSaveProps::FindValues(const QString& section) {
  bool Continue = true;
  for (const auto& [key, value] : Ini().ReadSectionValues(section)) {
    if (key.isEmpty() || value.isEmpty()) continue;
    if (OnFindOrdValue) {
      QString t = value.toLower();
      if (t.startsWith(QLatin1String("0x"))) t = QLatin1Char('$') + t.mid(2);
      if (const auto number = ParseIniInteger(t)) {
        OnFindOrdValue(this, section, key, *number, Continue);
        if (Continue) continue;
        return;
      }
    }
    if (OnFindStrValue) {
      OnFindStrValue(this, section, key, value, Continue);
      if (!Continue) return;
    }
  }
}

void TIniSaveProps::Save() {
  if (Loading()) return;
  Writing([&](TMemIniFile& ini) {
    for (int i = 0; i < Props().Count(); ++i) {
      const TProp* item = Props()[i];
      if (item->ValueKind() != TValueKind::vkObject) continue;
      const TProp::TSectionKey sk = item->GetSectionKey();
      if (sk.Valid && ini.KeyCount(sk.Section) > 0) ini.ClearSection(sk.Section);
    }
    TCustomSaveProps::Save();
  });
}
