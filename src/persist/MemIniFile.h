#pragma once
// The INI file held in memory: read once when created, written once on
// UpdateFile. Section and key names match without regard to letter case.
#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

#include "persist/SetAside.h"

class TMemIniFile {
 public:
  // One line of a section, kept as bytes so lines of other writers survive
  // a rewrite unchanged. A line without "=" has an empty name and value.
  struct TLine {
    QByteArray Text;
    qsizetype Equals = -1;  // position of the first "=", or -1
    QByteArray Name() const { return Equals < 0 ? QByteArray() : Text.left(Equals); }
    QByteArray Value() const { return Equals < 0 ? QByteArray() : Text.mid(Equals + 1); }
  };

  // A file larger than this is not a settings file of ours (those hold a few
  // hundred bytes): it is moved aside unread and the store starts empty; if
  // it cannot be moved, UpdateFile leaves it alone.
  static constexpr qint64 MaxFileSize = kMaxSettingsFileSize;

  // Reads FileName when it exists; I/O failures raise EInOutError.
  explicit TMemIniFile(const QString& fileName);
  // Parses Text as the file's content (no file is read).
  TMemIniFile(const QString& fileName, const QByteArray& text);

  const QString& FileName() const { return Path; }

  bool SectionExists(const QString& section) const;
  bool ValueExists(const QString& section, const QString& key) const;
  QString ReadString(const QString& section, const QString& key, const QString& def) const;
  int ReadInteger(const QString& section, const QString& key, int def) const;
  double ReadFloat(const QString& section, const QString& key, double def) const;
  void WriteString(const QString& section, const QString& key, const QString& value);
  void WriteInteger(const QString& section, const QString& key, int value);
  void WriteFloat(const QString& section, const QString& key, double value);
  void DeleteKey(const QString& section, const QString& key);

  QStringList ReadSections() const;
  // The section's value lines in file order, as name and value.
  std::vector<std::pair<QString, QString>> ReadSectionValues(const QString& section) const;
  int KeyCount(const QString& section) const;
  // Removes every line of the section; the section keeps its place.
  void ClearSection(const QString& section);

  // The whole file as it would be written.
  QByteArray Text() const;
  // Writes Text() to FileName, replacing it atomically.
  void UpdateFile() const;

 private:
  struct TSection {
    QByteArray Name;
    std::vector<TLine> Lines;
  };

  void Parse(const QByteArray& text);
  TSection& AddSection(const QByteArray& name);
  const TSection* Find(const QString& section) const;
  TSection* Find(const QString& section);
  TSection& FindOrAdd(const QString& section);
  // The first line carrying the key, or -1.
  static int FindLine(const TSection& s, const QString& key);

  QString Path;
  bool LeftUnread = false;  // an oversized file that stayed in place
  std::vector<TSection> Sections;
  QHash<QString, int> SectionIndex;  // folded name -> first section carrying it
};
