#pragma once
// Read access to a compiled HTML help file (".chm") through chmlib.
// The file may be damaged or hostile: every read is bounded, and a path that
// is missing, unreadable or too large simply yields nothing.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

struct chmFile;

class TChmFile {
 public:
  // Nothing in a help file needs more than this; larger objects are refused.
  static constexpr qint64 MaxObjectSize = 32 * 1024 * 1024;

  explicit TChmFile(const QString& fileName);
  ~TChmFile();
  TChmFile(const TChmFile&) = delete;
  TChmFile& operator=(const TChmFile&) = delete;

  bool IsOpen() const { return FHandle != nullptr; }

  // Paths inside the file, with or without the leading "/" ("html/x" or "/html/x").
  bool Contains(const QString& path) const;
  std::optional<QByteArray> Read(const QString& path) const;

  // The page the file opens at, as a path without the leading "/"; empty when
  // the file names none.
  QString DefaultTopic() const;

  // Every ordinary file inside, without the leading "/" (for tests and checks).
  QStringList Files() const;

 private:
  chmFile* FHandle = nullptr;
};

// The default topic recorded in a "#SYSTEM" object; empty when it holds none
// or is malformed.
QString DefaultTopicFromSystem(const QByteArray& system);
