// The INI store as property.ini is read: parsing, the typed reads, the object
// text and FindValues over every section. A file rewritten from what was read
// reads back the same, so a save never changes lines it did not set.
#include <QTimer>

#include "FuzzSupport.h"
#include "document/FileOps.h"
#include "persist/IniSaveProps.h"
#include "persist/MemIniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray text = Bytes(data, size);
  const QString name = ScratchDir() + QStringLiteral("property.ini");
  SaveStringToFile(name, text);

  TMemIniFile ini(name);
  const QByteArray written = ini.Text();
  FUZZ_CHECK(TMemIniFile(name, written).Text() == written);

  TIniSaveProps props;
  props.SetFileName(name);
  int found = 0;
  // Stop after a number of values the input chooses, to walk the early ends too.
  const int stopAfter = size ? data[0] % 8 : 0;
  props.OnFindOrdValue = [&](QObject*, const QString&, const QString& key, int, bool& Continue) {
    FUZZ_CHECK(!key.isEmpty());
    Continue = ++found != stopAfter;
  };
  props.OnFindStrValue = [&](QObject*, const QString&, const QString& key, const QString& value, bool& Continue) {
    FUZZ_CHECK(!key.isEmpty() && !value.isEmpty());
    Continue = ++found != stopAfter;
  };
  props.BeginRead();
  const QStringList sections = props.IniFile()->ReadSections();
  for (const QString& section : sections) {
    props.FindValues(section);
    QTimer timer;
    props.ReadObject(section, QStringLiteral("Obj"), &timer);
    props.ReadObject(section, QString(), &timer);
    for (const auto& [key, value] : props.IniFile()->ReadSectionValues(section)) {
      if (!key.isEmpty()) FUZZ_CHECK(props.ValueExists(section, key));
      props.ReadInteger(section, key);
      props.ReadFloat(section, key);
      FUZZ_CHECK(key.isEmpty() || !props.ReadString(section, key).isNull());
    }
  }
  props.EndRead();
  return 0;
}
