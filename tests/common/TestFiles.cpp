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

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int RunInChild(const TChildLimits& limits, const std::function<int()>& body) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (limits.MaxFileSize >= 0) {
      signal(SIGXFSZ, SIG_IGN);  // a too-large write then fails with EFBIG
      rlimit r{rlim_t(limits.MaxFileSize), rlim_t(limits.MaxFileSize)};
      setrlimit(RLIMIT_FSIZE, &r);
    }
    if (limits.Unprivileged && getuid() == 0) {
      if (setgid(65534) != 0 || setuid(65534) != 0) _exit(99);
    }
    int code = 99;
    try {
      code = body();
    } catch (...) {
      code = 98;
    }
    _exit(code);
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}
