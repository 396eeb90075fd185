#pragma once
// File names on the command line are bytes, as the file system keeps them: a
// name that is not UTF-8 is used exactly as given and shown escaped.
#include <QByteArray>
#include <QString>
#include <QStringList>

// The arguments as texts for the option parser, with the bytes behind each.
// An argument that is not UTF-8 becomes a stand-in text that Bytes() turns
// back into the argument's own bytes.
class TArgumentBytes {
 public:
  TArgumentBytes(int argc, char** argv);
  const QStringList& Texts() const { return Args; }
  QByteArray Bytes(const QString& text) const;

 private:
  QStringList Args;
  QList<QByteArray> Raw;
};

// A name as messages and --info write it: UTF-8 as it is, except a
// backslash as \\, tab, newline and carriage return as \t \n \r, every other
// control character and every byte that is not UTF-8 as \xHH. One name is
// then always one line.
QString ShownName(const QByteArray& name);
