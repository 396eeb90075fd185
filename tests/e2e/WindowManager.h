#pragma once
// A real window manager (openbox) on the test's X display, and the X tools
// the desktop tests read and drive it with (xprop, wmctrl, xdotool).
//
// The test starts openbox itself inside the xvfb-run display and stops it at
// the end; openbox reads a configuration of defaults written here, so a
// user's own rc.xml changes nothing.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

// Runs a tool to its end; its standard output, or an empty string on failure.
// The test's own windows go on answering the display meanwhile.
inline QString RunTool(const QString& program, const QStringList& args, int timeoutMs = 5000) {
  QProcess p;
  p.start(program, args);
  QElapsedTimer t;
  t.start();
  while (!p.waitForFinished(5)) {
    QCoreApplication::processEvents();
    if (p.state() == QProcess::NotRunning) break;
    if (t.elapsed() > timeoutMs) {
      p.kill();
      p.waitForFinished(1000);
      return QString();
    }
  }
  return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// Polls cond while the event loop runs; true once it holds.
inline bool WaitUntil(const std::function<bool()>& cond, int timeoutMs) {
  QElapsedTimer t;
  t.start();
  while (!cond()) {
    if (t.elapsed() > timeoutMs) return false;
    QTest::qWait(25);
  }
  return true;
}

class TWindowManager {
 public:
  ~TWindowManager() { Stop(); }

  // Starts openbox; false (with Error set) when it is missing or does not come up.
  bool Start() {
    if (QStandardPaths::findExecutable(QStringLiteral("openbox")).isEmpty()) {
      Error = QStringLiteral("openbox is not installed (scripts/packages.txt)");
      return false;
    }
    const QString rc = Config.filePath(QStringLiteral("rc.xml"));
    QFile f(rc);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write("<?xml version=\"1.0\"?>\n<openbox_config xmlns=\"http://openbox.org/3.4/rc\"/>\n");
    f.close();
    Process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    Process.setStandardOutputFile(QProcess::nullDevice());
    Process.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable"), QStringLiteral("--config-file"), rc});
    if (!Process.waitForStarted(5000)) {
      Error = QStringLiteral("openbox did not start");
      return false;
    }
    // Managing: it has put its check window on the root window.
    if (!WaitUntil([] { return RunTool(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
                                .contains(QLatin1String("window id")); },
                   10000)) {
      Error = QStringLiteral("openbox did not take over the display");
      return false;
    }
    return true;
  }

  void Stop() {
    if (Process.state() == QProcess::NotRunning) return;
    Process.terminate();
    if (!Process.waitForFinished(3000)) {
      Process.kill();
      Process.waitForFinished(1000);
    }
  }

  bool Running() const { return Process.state() == QProcess::Running; }
  QString Error;

 private:
  QTemporaryDir Config;
  QProcess Process;
};

// ---- reading the window manager's view ----

inline QList<quint64> WindowIds(const QString& text) {
  QList<quint64> ids;
  static const QRegularExpression hex(QStringLiteral("0x[0-9a-fA-F]+"));
  for (auto it = hex.globalMatch(text); it.hasNext();) ids << it.next().captured().toULongLong(nullptr, 16);
  return ids;
}

// The managed client windows, bottom first (_NET_CLIENT_LIST_STACKING).
inline QList<quint64> StackingOrder() {
  const QString text = RunTool(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")});
  const int hash = text.indexOf(QLatin1Char('#'));
  return hash < 0 ? QList<quint64>() : WindowIds(text.mid(hash));
}

inline QString WindowProperty(quint64 id, const char* name) {
  return RunTool(QStringLiteral("xprop"),
                 {QStringLiteral("-id"), QString::number(id), QString::fromLatin1(name)});
}

struct TClientWindow {
  quint64 Id = 0;
  qint64 Pid = 0;
  QString Title;
};

// The windows the manager lists (wmctrl -lp), with their process and title.
inline QList<TClientWindow> ClientWindows() {
  QList<TClientWindow> out;
  for (const QString& line : RunTool(QStringLiteral("wmctrl"), {QStringLiteral("-lp")}).split(QLatin1Char('\n'))) {
    const QStringList f = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (f.size() < 4) continue;
    TClientWindow w;
    w.Id = f[0].toULongLong(nullptr, 16);
    w.Pid = f[2].toLongLong();
    // Title: everything after the host name column.
    const QString host = f[3];
    const int at = line.indexOf(host, line.indexOf(f[2]) + f[2].size());
    w.Title = f.size() > 4 ? line.mid(at + host.size()).trimmed() : QString();
    out << w;
  }
  return out;
}

// The window of process pid (any process when pid < 0) with exactly this
// title; 0 when there is none.
inline quint64 WindowOf(qint64 pid, const QString& title) {
  for (const TClientWindow& w : ClientWindows())
    if ((pid < 0 || w.Pid == pid) && w.Title == title) return w.Id;
  return 0;
}

inline QString Hex(quint64 id) { return QStringLiteral("0x%1").arg(id, 0, 16); }

// Raises and focuses a window through the manager, as a click on it would.
inline void Activate(quint64 id) {
  RunTool(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(id)});
}

// One key or several in turn, separated by spaces ("Right Right Return").
inline void Keys(const QString& keys) {
  RunTool(QStringLiteral("xdotool"), QStringList{QStringLiteral("key"), QStringLiteral("--clearmodifiers")} + keys.split(QLatin1Char(' ')));
}
