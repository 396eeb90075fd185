#pragma once
// Whole-file operations: a file's content travels as one byte string.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <functional>
#include <sys/stat.h>
#include <sys/uio.h>
#include <vector>

struct TFileEntry {
  qint64 Size = 0;
  QDateTime Modified;
  bool IsDir = false;
};

// Every failure below raises EInOutError with a message that names the file,
// gives the system's reason in Japanese and keeps the error code (FileErrors.h).

// The file's directory entry; a name that cannot be looked up is a failed read.
TFileEntry FindFile(const QString& fileName);

// The whole content of the file; only a regular file is read (RegularFile below).
QByteArray LoadStringFromFile(const QString& fileName);

// Opens the regular file at nativePath for reading, named shownName in
// messages. A FIFO, device, socket or folder is refused with its own message
// (opened without blocking, so a FIFO never hangs the caller), and so is a
// file larger than limit bytes, before anything is read. st receives the
// file's status. Returns the descriptor; raises EInOutError.
int OpenRegularFile(const QByteArray& nativePath, const QString& shownName, qint64 limit, struct stat& st);
// The same, read whole in one go into a buffer of the file's size.
QByteArray ReadRegularFile(const QByteArray& nativePath, const QString& shownName, qint64 limit, struct stat& st);

// Writes Data as the whole content of the file, creating missing directories.
// The file is replaced atomically: a failure leaves any previous file as it was.
// An existing file the caller may not write to is refused, not replaced.
void SaveStringToFile(const QString& fileName, const QByteArray& data);
// The same, with the content written by write to the new file's descriptor
// (false, errno set, on a write error), so large content needs no copy.
void SaveToFile(const QString& fileName, const std::function<bool(int fd)>& write);

// Writes all of data to an open descriptor, resuming after interruptions;
// false (errno set) on a write error.
bool WriteAllTo(int fd, const QByteArray& data);
// The same for pieces written one after another, gathered into few writes.
bool WriteAllTo(int fd, std::vector<iovec> pieces);

// Creates the directory and any missing parents; a failure names the directory.
void ForceDirectories(const QString& dir);

// Size in bytes, or -1 when there is no such file.
qint64 CheckFileSize(const QString& fileName);

bool FileExists(const QString& fileName);
bool DirectoryExists(const QString& dir);

// Extension from the last "." of the name part, dot included; empty without one.
QString ExtractFileExt(const QString& fileName);
QString ExtractFileName(const QString& fileName);
// Directory part with its trailing separator.
QString ExtractFilePath(const QString& fileName);
