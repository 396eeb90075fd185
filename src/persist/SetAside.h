#pragma once
// Working files far larger than any the program writes (property.ini,
// recent.dat) are no files of ours. Read as empty they would be written over
// at exit, so they are moved aside instead, every byte kept, under a free
// name beside them, and the program starts from its defaults.
#include <QString>
#include <QStringList>

// What property.ini and recent.dat may hold: theirs are a few hundred bytes.
constexpr qint64 kMaxSettingsFileSize = 1024 * 1024;

// Moves the file to "<name>.large" (then ".large2", ...) when it is larger
// than maxSize. The new name, or empty when the file stays where it is (not
// there, small enough, or it cannot be moved: then it is not read either).
QString SetAsideOversized(const QString& fileName, qint64 maxSize = kMaxSettingsFileSize);

// Sets aside each oversized file of the list; the one message that says
// so, or empty when none was.
QString SetAsideOversizedFiles(const QStringList& fileNames);
