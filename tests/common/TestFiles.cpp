#include "common/TestFiles.h"

#include <QFile>
#include <QFileInfo>
#include <stdexcept>

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot read " + path.toStdString());
  return f.readAll();
}

void WriteAll(const QString& path, const QByteArray& data) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(data) != data.size())
    throw std::runtime_error("cannot write " + path.toStdString());
}

bool Exists(const QString& path) { return QFileInfo::exists(path); }
