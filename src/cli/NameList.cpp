#include "cli/NameList.h"

#include <QCoreApplication>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "cli/FileNames.h"
#include "document/FileErrors.h"

namespace {

constexpr qsizetype kChunk = 64 * 1024;

QString ListError(const QString& shown, int code) {
  return QCoreApplication::translate("NameList", "tomaru: ファイル名の一覧「%1」を読み込めませんでした。(%2)")
      .arg(shown, SystemErrorText(code));
}

}  // namespace

TNameList::TNameList(const QByteArray& path) : ShownList(ShownName(path)) {
  if (path == "-") {
    Fd = STDIN_FILENO;
    return;
  }
  // Not blocking: a named pipe with no writer yet would hold open() past a
  // stop signal (the handlers restart system calls). Fill waits in poll instead.
  Fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  Owned = Fd >= 0;
  if (Fd < 0) Failure = ListError(ShownList, errno);
}

TNameList::~TNameList() {
  if (Owned) ::close(Fd);
}

// Reads more of the list, waiting in short steps so that a stop signal is
// seen while a slow producer (a find over a large tree) is still working.
bool TNameList::Fill(const std::function<bool()>& stop) {
  Buffer.remove(0, Start);
  Start = 0;
  int code = 0;
  for (;;) {
    if (stop()) return false;
    pollfd ready{Fd, POLLIN, 0};
    const int polled = ::poll(&ready, 1, 100);
    if (polled < 0 && errno != EINTR) {
      code = errno;
      break;
    }
    if (polled <= 0) continue;
    const qsizetype had = Buffer.size();
    Buffer.resize(had + kChunk);
    const ssize_t got = ::read(Fd, Buffer.data() + had, size_t(kChunk));
    code = errno;
    Buffer.resize(had + std::max<ssize_t>(got, 0));
    if (got > 0) return true;
    if (got == 0) {
      Ended = true;
      return true;
    }
    if (code != EINTR && code != EAGAIN) break;
  }
  Failure = ListError(ShownList, code);
  Ended = true;
  return false;
}

bool TNameList::Next(QByteArray& name, bool& tooLong, const std::function<bool()>& stop) {
  if (Fd < 0 || !Failure.isEmpty()) return false;
  tooLong = false;
  for (;;) {
    const qsizetype end = Buffer.indexOf('\0', Start);
    const qsizetype nameEnd = end >= 0 ? end : Buffer.size();
    if (nameEnd - Start >= kLongestName) tooLong = true;
    if (tooLong) {
      // Only the end of the name is looked for from now on.
      Start = nameEnd;
      if (end < 0) Buffer.clear(), Start = 0;
    }
    if (end >= 0) {
      name = tooLong ? QByteArray() : Buffer.mid(Start, end - Start);
      Start = end + 1;
      ++Names;
      return true;
    }
    if (Ended) {
      // The last name may lack its NUL, as with du and wc.
      if (Start >= Buffer.size() && !tooLong) return false;
      name = tooLong ? QByteArray() : Buffer.mid(Start);
      Start = Buffer.size();
      ++Names;
      return true;
    }
    if (!Fill(stop)) return false;
  }
}
