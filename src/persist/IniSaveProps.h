#pragma once
// The property store that keeps its values in an INI text file, held in
// memory while a group of accesses is open and written once when the
// outermost write group closes.
#include <memory>

#include "persist/MemIniFile.h"
#include "persist/SaveProp.h"

class TIniSaveProps : public TCustomSaveProps {
  Q_OBJECT
 public:
  using TCustomSaveProps::TCustomSaveProps;
  ~TIniSaveProps() override;

  // Empty: the executable's path with ".ini" in place of its extension.
  const QString& FileName() const { return FFileName; }
  void SetFileName(const QString& fileName) { FFileName = fileName; }
  QString GetIniFileName() const;

  // Open only while a bracket is (or, after a failed write, the file that
  // could not be written).
  TMemIniFile* IniFile() const { return FIniFile.get(); }
  int OpenCount() const { return FOpenCount; }

  int ReadInteger(const QString& section, const QString& key) override;
  QString ReadString(const QString& section, const QString& key) override;
  double ReadFloat(const QString& section, const QString& key) override;
  void WriteInteger(const QString& section, const QString& key, int value) override;
  void WriteString(const QString& section, const QString& key, const QString& value) override;
  void WriteFloat(const QString& section, const QString& key, double value) override;
  void ReadObject(const QString& section, const QString& key, QObject* object) override;
  void WriteObject(const QString& section, const QString& key, QObject* object) override;
  void FindValues(const QString& section) override;
  void BeginRead() override;
  void EndRead() override;
  void BeginWrite() override;
  void EndWrite() override;
  void Save() override;
  bool ValueExists(const QString& section, const QString& key) override;

  // The text ReadObject hands to the object: the section's values whose key
  // begins with Key (case-sensitive), in file order, between the wrapper lines.
  QStringList ObjectText(const QString& section, const QString& key) const;

 private:
  TMemIniFile& Ini() const;
  template <typename F>
  auto Reading(F&& body);
  template <typename F>
  void Writing(F&& body);

  QString FFileName;
  std::unique_ptr<TMemIniFile> FIniFile;
  int FOpenCount = 0;
};
