#pragma once
// Small file helpers shared by the tests.
#include <QByteArray>
#include <QString>

QByteArray ReadAll(const QString& path);
void WriteAll(const QString& path, const QByteArray& data);
bool Exists(const QString& path);

#include <functional>

// Runs body in a forked child and returns its exit status (-1 if it died).
// Root ignores file permissions, so tests of read-only places drop to an
// unprivileged user in the child; tests of a full disk cap the file size.
struct TChildLimits {
  bool Unprivileged = false;
  long MaxFileSize = -1;  // RLIMIT_FSIZE in bytes, -1 for none
};
int RunInChild(const TChildLimits& limits, const std::function<int()>& body);
