#include "persist/MemIniFile.h"

#include <QFile>

#include "document/FileOps.h"
#include "persist/IniNumbers.h"

namespace {

QString Fold(const QByteArray& name) { return QString::fromUtf8(name).toCaseFolded(); }
QString Fold(const QString& name) { return name.toCaseFolded(); }


bool IsBlank(char c) { return uchar(c) <= ' '; }

QByteArray Trimmed(const QByteArray& s) {
  qsizetype b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.mid(b, e - b);
}

// A written value must stay on its line: a line break inside it would start
// a new line, and so a new key or section, in the file.
QByteArray OneLine(const QString& value) {
  QByteArray bytes = value.toUtf8();
  bytes.replace('\r', ' ');
  bytes.replace('\n', ' ');
  return bytes;
}

TMemIniFile::TLine MakeLine(const QByteArray& name, const QByteArray& value) {
  TMemIniFile::TLine line;
  line.Text = name + '=' + value;
  line.Equals = name.size();
  return line;
}

}  // namespace

TMemIniFile::TMemIniFile(const QString& fileName) : Path(fileName) {
  SetAsideOversized(fileName, MaxFileSize);
  const qint64 size = CheckFileSize(fileName);
  LeftUnread = size > MaxFileSize;
  if (size <= 0 || size > MaxFileSize || !FileExists(fileName)) return;
  Parse(LoadStringFromFile(fileName));
}

TMemIniFile::TMemIniFile(const QString& fileName, const QByteArray& text) : Path(fileName) { Parse(text); }

void TMemIniFile::Parse(const QByteArray& text) {
  TSection* current = nullptr;
  const qsizetype n = text.size();
  // An editor's byte-order mark would otherwise hide the first section.
  qsizetype start = text.startsWith("\xEF\xBB\xBF") ? 3 : 0;
  while (start < n) {
    qsizetype end = start;
    while (end < n && text[end] != '\r' && text[end] != '\n') ++end;
    const QByteArray line = Trimmed(text.mid(start, end - start));
    start = end;
    if (start < n && text[start] == '\r') ++start;
    if (start < n && text[start] == '\n') ++start;  // LF alone, or the LF of CR LF
    if (line.isEmpty() || line[0] == ';') continue;
    if (line[0] == '[' && line.endsWith(']')) {
      current = &AddSection(Trimmed(line.mid(1, line.size() - 2)));
      continue;
    }
    if (!current) continue;  // lines before the first section are dropped
    const qsizetype eq = line.indexOf('=');
    if (eq < 0)
      current->Lines.push_back(TLine{line, -1});
    else
      current->Lines.push_back(MakeLine(Trimmed(line.left(eq)), Trimmed(line.mid(eq + 1))));
  }
}

TMemIniFile::TSection& TMemIniFile::AddSection(const QByteArray& name) {
  Sections.push_back(TSection{name, {}});
  const QString key = Fold(name);
  if (!SectionIndex.contains(key)) SectionIndex.insert(key, int(Sections.size()) - 1);
  return Sections.back();
}

const TMemIniFile::TSection* TMemIniFile::Find(const QString& section) const {
  const auto it = SectionIndex.constFind(Fold(section));
  return it == SectionIndex.constEnd() ? nullptr : &Sections[*it];
}

TMemIniFile::TSection* TMemIniFile::Find(const QString& section) {
  const auto it = SectionIndex.constFind(Fold(section));
  return it == SectionIndex.constEnd() ? nullptr : &Sections[*it];
}

TMemIniFile::TSection& TMemIniFile::FindOrAdd(const QString& section) {
  if (TSection* s = Find(section)) return *s;
  return AddSection(OneLine(section));
}

int TMemIniFile::FindLine(const TSection& s, const QString& key) {
  const QByteArray bytes = key.toUtf8();
  for (int i = 0; i < int(s.Lines.size()); ++i) {
    const TLine& line = s.Lines[i];
    if (line.Equals < 0) continue;
    const QByteArray name = line.Name();
    // Byte-equal names need no folding, the usual case.
    if (name == bytes || QString::fromUtf8(name).compare(key, Qt::CaseInsensitive) == 0) return i;
  }
  return -1;
}

bool TMemIniFile::SectionExists(const QString& section) const { return Find(section) != nullptr; }

bool TMemIniFile::ValueExists(const QString& section, const QString& key) const {
  const TSection* s = Find(section);
  return s && FindLine(*s, key) >= 0;
}

QString TMemIniFile::ReadString(const QString& section, const QString& key, const QString& def) const {
  const TSection* s = Find(section);
  const int i = s ? FindLine(*s, key) : -1;
  return i >= 0 ? QString::fromUtf8(s->Lines[size_t(i)].Value()) : def;
}

int TMemIniFile::ReadInteger(const QString& section, const QString& key, int def) const {
  return ParseIniInteger(ReadString(section, key, QString())).value_or(def);
}

double TMemIniFile::ReadFloat(const QString& section, const QString& key, double def) const {
  return ParseIniFloat(ReadString(section, key, QString())).value_or(def);
}

void TMemIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
  TSection& s = FindOrAdd(section);
  const int i = FindLine(s, key);
  if (i >= 0) {
    TLine& line = s.Lines[size_t(i)];
    line = MakeLine(line.Name(), OneLine(value));
    return;
  }
  s.Lines.push_back(MakeLine(OneLine(key), OneLine(value)));
}

void TMemIniFile::WriteInteger(const QString& section, const QString& key, int value) {
  WriteString(section, key, QString::number(value));
}

void TMemIniFile::WriteFloat(const QString& section, const QString& key, double value) {
  WriteString(section, key, FormatIniFloat(value));
}

void TMemIniFile::DeleteKey(const QString& section, const QString& key) {
  TSection* s = Find(section);
  const int i = s ? FindLine(*s, key) : -1;
  if (i >= 0) s->Lines.erase(s->Lines.begin() + i);
}

QStringList TMemIniFile::ReadSections() const {
  QStringList names;
  for (const TSection& s : Sections) names << QString::fromUtf8(s.Name);
  return names;
}

std::vector<std::pair<QString, QString>> TMemIniFile::ReadSectionValues(const QString& section) const {
  std::vector<std::pair<QString, QString>> values;
  if (const TSection* s = Find(section))
    for (const TLine& line : s->Lines) values.emplace_back(QString::fromUtf8(line.Name()), QString::fromUtf8(line.Value()));
  return values;
}

int TMemIniFile::KeyCount(const QString& section) const {
  const TSection* s = Find(section);
  return s ? int(s->Lines.size()) : 0;
}

void TMemIniFile::ClearSection(const QString& section) {
  if (TSection* s = Find(section)) s->Lines.clear();
}

QByteArray TMemIniFile::Text() const {
  QByteArray out;
  for (const TSection& s : Sections) {
    out += '[' + s.Name + "]\r\n";
    for (const TLine& line : s.Lines) out += line.Text + "\r\n";
    out += "\r\n";
  }
  return out;
}

void TMemIniFile::UpdateFile() const {
  if (!LeftUnread) SaveStringToFile(Path, Text());
}
