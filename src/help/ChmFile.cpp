#include "help/ChmFile.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <chm_lib.h>

namespace {

QByteArray InsideName(const QString& path) {
  QByteArray name = path.toUtf8();
  if (!name.startsWith('/')) name.prepend('/');
  return name;
}

QString Outside(const char* name) {
  QString path = QString::fromUtf8(name);
  if (path.startsWith(QLatin1Char('/'))) path.remove(0, 1);
  return path;
}

int CollectFile(chmFile*, chmUnitInfo* ui, void* context) {
  const QString path = Outside(ui->path);
  if (!path.endsWith(QLatin1Char('/'))) static_cast<QStringList*>(context)->append(path);
  return CHM_ENUMERATOR_CONTINUE;
}

// "#SYSTEM" entry code of the default topic.
constexpr quint16 kDefaultTopicCode = 2;

}  // namespace

TChmFile::TChmFile(const QString& fileName) {
  // Only a regular file: a pipe or device under that name would hang the reader.
  if (!QFileInfo(fileName).isFile()) return;
  const QByteArray local = QFile::encodeName(fileName);
  FHandle = chm_open(local.constData());
}

TChmFile::~TChmFile() {
  if (FHandle) chm_close(FHandle);
}

bool TChmFile::Contains(const QString& path) const {
  if (!FHandle) return false;
  chmUnitInfo ui{};
  const QByteArray name = InsideName(path);
  if (name.size() > CHM_MAX_PATHLEN) return false;
  return chm_resolve_object(FHandle, name.constData(), &ui) == CHM_RESOLVE_SUCCESS;
}

std::optional<QByteArray> TChmFile::Read(const QString& path) const {
  if (!FHandle) return std::nullopt;
  const QByteArray name = InsideName(path);
  if (name.size() > CHM_MAX_PATHLEN) return std::nullopt;
  chmUnitInfo ui{};
  if (chm_resolve_object(FHandle, name.constData(), &ui) != CHM_RESOLVE_SUCCESS) return std::nullopt;
  if (ui.length > LONGUINT64(MaxObjectSize)) return std::nullopt;
  QByteArray data(qsizetype(ui.length), Qt::Uninitialized);
  if (ui.length == 0) return data;
  const LONGINT64 got = chm_retrieve_object(FHandle, &ui, reinterpret_cast<unsigned char*>(data.data()), 0,
                                            LONGINT64(ui.length));
  if (got != LONGINT64(ui.length)) return std::nullopt;
  return data;
}

QString TChmFile::DefaultTopic() const {
  const auto system = Read(QStringLiteral("#SYSTEM"));
  return system ? DefaultTopicFromSystem(*system) : QString();
}

QStringList TChmFile::Files() const {
  QStringList files;
  if (FHandle) chm_enumerate(FHandle, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, CollectFile, &files);
  return files;
}

QString DefaultTopicFromSystem(const QByteArray& system) {
  // A 4-byte version, then entries of (code: u16, length: u16, data).
  qsizetype at = 4;
  while (at + 4 <= system.size()) {
    const auto* p = reinterpret_cast<const uchar*>(system.constData() + at);
    const quint16 code = qFromLittleEndian<quint16>(p);
    const quint16 length = qFromLittleEndian<quint16>(p + 2);
    at += 4;
    if (length > system.size() - at) return QString();
    if (code == kDefaultTopicCode) {
      QByteArray topic = system.mid(at, length);
      const qsizetype nul = topic.indexOf('\0');
      if (nul >= 0) topic.truncate(nul);
      QString path = QString::fromUtf8(topic);
      while (path.startsWith(QLatin1Char('/'))) path.remove(0, 1);
      return path;
    }
    at += length;
  }
  return QString();
}
