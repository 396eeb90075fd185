#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/TestFiles.h"
#include "document/AppPaths.h"

// A program directory that can take a data directory keeps its files there
// (portable); one that cannot (here: absent), or an installed program (bin/
// beside share/tomaru/, writable as /usr/bin is for root), keeps them per user.
TEST(AppPaths, PortableWhenTheProgramDirectoryIsWritableAndNotInstalledElsePerUser) {
  QTemporaryDir dir;
  const QString bin = dir.path() + QStringLiteral("/usr/bin/");
  QDir().mkpath(bin);
  QDir().mkpath(InstalledDataDir(bin));
  EXPECT_TRUE(InstalledDataDir(bin).startsWith(dir.path() + QStringLiteral("/usr/share/")));
  EXPECT_TRUE(InstalledPluginDir(bin).startsWith(dir.path() + QStringLiteral("/usr/lib")));
  EXPECT_TRUE(InstalledPluginDir(bin).endsWith(QStringLiteral("/tomaru/plugins/")));

  qputenv("XDG_DATA_HOME", QFile::encodeName(dir.path() + QStringLiteral("/home")));
  const std::pair<QString, QString> cases[] = {{QString(), QStringLiteral("/data/")},
                                               {QStringLiteral("/missing/bin/"), QStringLiteral("/home/tomaru/data/")},
                                               {QStringLiteral("/usr/bin/"), QStringLiteral("/home/tomaru/data/")}};
  for (const auto& [appDir, dataDir] : cases) {
    const TAppPaths paths = TAppPaths::ForAppDir(dir.path() + appDir);
    EXPECT_EQ(paths.AppDir, dir.path() + (appDir.isEmpty() ? QStringLiteral("/") : appDir));
    EXPECT_EQ(paths.Data(QStringLiteral("bg.css")), dir.path() + dataDir + QStringLiteral("bg.css"));
  }
  qunsetenv("XDG_DATA_HOME");
}

TEST(AppPaths, ShippedFileBesideTheProgramBeforeTheInstalledOne) {
  QTemporaryDir dir;
  const QString bin = dir.path() + QStringLiteral("/bin/");
  const QString share = dir.path() + QStringLiteral("/share/");
  QDir().mkpath(bin);
  QDir().mkpath(share);
  EXPECT_EQ(ShippedFile(bin, share, QStringLiteral("help.chm")), bin + QStringLiteral("help.chm"));  // neither
  QFile(share + QStringLiteral("help.chm")).open(QIODevice::WriteOnly);
  EXPECT_EQ(ShippedFile(bin, share, QStringLiteral("help.chm")), share + QStringLiteral("help.chm"));
  QFile(bin + QStringLiteral("help.chm")).open(QIODevice::WriteOnly);
  EXPECT_EQ(ShippedFile(bin, share, QStringLiteral("help.chm")), bin + QStringLiteral("help.chm"));
}

namespace {

// Runs body with a data folder, once with a runtime folder set (where work
// folders then go) and once without (they go under the data folder).
void InBothPlaces(const std::function<void(const QString& data, const QString& base)>& body) {
  QTemporaryDir dir;
  const QString data = dir.path() + QStringLiteral("/data/"), run = dir.path() + QStringLiteral("/run/");
  QDir().mkpath(data);
  QDir().mkpath(run);
  const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
  for (const QString& base : {run, data}) {
    base == run ? qputenv("XDG_RUNTIME_DIR", QFile::encodeName(run)) : qunsetenv("XDG_RUNTIME_DIR");
    body(data, base);
  }
  if (!runtime.isEmpty()) qputenv("XDG_RUNTIME_DIR", runtime);
}

}  // namespace

// Each window works in a folder of its own, under the runtime folder when the
// session has one, else under the shared data folder.
TEST(AppPaths, EachWindowGetsAWorkFolderOfItsOwn) {
  InBothPlaces([](const QString& data, const QString& base) {
    const QString one = MakeWorkFolder(data), two = MakeWorkFolder(data);
    EXPECT_TRUE(one.startsWith(base) && one.endsWith(QLatin1Char('/'))) << one.toStdString();
    EXPECT_NE(one, two);
    EXPECT_EQ(QFile::permissions(one) & 0x0077, 0);  // nobody else's
    QFile(TAppPaths{QString(), data, one}.Work(QStringLiteral("_.gif"))).open(QIODevice::WriteOnly);  // not empty
    RemoveWorkFolder(one);
    EXPECT_FALSE(QFileInfo::exists(one));
    EXPECT_TRUE(QFileInfo::exists(two));
    // Without a folder of its own, a window works in the data folder as before.
    EXPECT_EQ((TAppPaths{QString(), data, QString()}).Work(QStringLiteral("bg.css")), data + QStringLiteral("bg.css"));
  });
}

namespace {

// Another process with a window's work folder: living until Kill, which ends
// it as SIGKILL (a crash, a power cut) would, leaving the folder behind.
struct TOtherWindow {
  pid_t Pid = -1;
  QString Dir;

  explicit TOtherWindow(const QString& data) {
    int fds[2];
    if (::pipe(fds) != 0) return;
    Pid = ::fork();
    if (Pid == 0) {
      ::close(fds[0]);
      const QByteArray dir = QFile::encodeName(MakeWorkFolder(data));
      if (::write(fds[1], dir.constData(), size_t(dir.size())) < 0) ::_exit(1);
      ::close(fds[1]);
      for (;;) ::pause();
    }
    ::close(fds[1]);
    QByteArray dir;
    char buffer[512];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) dir.append(buffer, n);
    ::close(fds[0]);
    Dir = QFile::decodeName(dir);
  }
  void Kill() {
    if (Pid > 0) ::kill(Pid, SIGKILL), ::waitpid(Pid, nullptr, 0);
    Pid = -1;
  }
  ~TOtherWindow() { Kill(); }
};

// There, even as a dangling link.
bool Present(const QString& path) {
  struct stat st {};
  return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

}  // namespace

TEST(AppPaths, TheFolderOfAWindowThatIsGoneIsRemovedAndALivingOnesNever) {
  InBothPlaces([](const QString& data, const QString& base) {
    const QString mine = MakeWorkFolder(data);
    TOtherWindow other(data);
    ASSERT_TRUE(other.Dir.startsWith(base)) << other.Dir.toStdString();
    QFile(other.Dir + QStringLiteral("_.gif")).open(QIODevice::WriteOnly);
    EXPECT_EQ(RemoveGoneWorkFolders(data), 0);
    // A lock file that cannot be read (here a dangling link in its place, which
    // stops root too) does not make a living window's folder gone.
    const QString lock = other.Dir + QStringLiteral("lock"), away = other.Dir + QStringLiteral("away");
    ASSERT_TRUE(QFile::rename(lock, away) && QFile::link(other.Dir + QStringLiteral("nowhere"), lock));
    EXPECT_EQ(RemoveGoneWorkFolders(data), 0);
    EXPECT_TRUE(Present(other.Dir + QStringLiteral("_.gif")));
    ASSERT_TRUE(QFile::remove(lock) && QFile::rename(away, lock));

    other.Kill();
    EXPECT_EQ(RemoveGoneWorkFolders(data), 1);
    EXPECT_FALSE(Present(other.Dir));
    EXPECT_TRUE(Present(mine + QStringLiteral("lock")));  // this process's window lives on
    RemoveWorkFolder(mine);
    // A window closed properly lets go of its lock: nothing left to sweep.
    EXPECT_EQ(RemoveGoneWorkFolders(data), 0);
  });
}

// Only a real folder of ours with the working folder's name and a lock file of
// ours is a window's: whatever else is found, however like one it looks, stays.
TEST(AppPaths, NothingButAGoneWindowsFolderIsTouched) {
  QTemporaryDir dir;
  const QString run = dir.path() + QStringLiteral("/run/"), outside = dir.path() + QStringLiteral("/outside/");
  QDir().mkpath(run);
  QDir().mkpath(outside);
  WriteAll(outside + QStringLiteral("lock"), QByteArray());
  WriteAll(outside + QStringLiteral("keep.gif"), "GIF89a");
  const auto folder = [&](const char* name, const char* lock) {
    const QString path = run + QLatin1String(name) + QLatin1Char('/');
    QDir().mkpath(path);
    if (lock) WriteAll(path + QLatin1String(lock), QByteArray());
    return path;
  };
  const bool root = ::geteuid() == 0;  // only root can give a folder to someone else
  folder("tomaru-abc", "lock");                                              // too short a name
  folder("other-AAAAAA", "lock");                                            // another program's
  folder("tomaru-AAAAAA", nullptr);                                          // no lock file
  folder("tomaru-AAAAAA.old", "lock");                                       // a name that only begins like one
  ::symlink(QFile::encodeName(outside).constData(), QFile::encodeName(run + "tomaru-BBBBBB").constData());
  WriteAll(run + QStringLiteral("tomaru-CCCCCC"), "a file");
  ::symlink(QFile::encodeName(outside + "lock").constData(),
            QFile::encodeName(folder("tomaru-DDDDDD", nullptr) + "lock").constData());  // the lock a link
  ::mkfifo(QFile::encodeName(folder("tomaru-EEEEEE", nullptr) + "lock").constData(), 0600);  // a pipe: no hang
  folder("tomaru-FFFFFF", nullptr);                                          // the lock a folder
  QDir().mkpath(run + QStringLiteral("tomaru-FFFFFF/lock"));
  if (root) {
    ::chown(QFile::encodeName(folder("tomaru-GGGGGG", "lock")).constData(), 65534, 65534);  // someone else's folder
    ::chown(QFile::encodeName(folder("tomaru-HHHHHH", "lock") + "lock").constData(), 65534, 65534);
  }
  const QStringList before = QDir(run).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);

  // The one folder of a window that is gone, with a link out of it that is not followed.
  const QString gone = folder("tomaru-Zz09Zz", "lock");
  QDir().mkpath(gone + QStringLiteral("sub"));
  WriteAll(gone + QStringLiteral("sub/_.gif"), "GIF89a");
  ::symlink(QFile::encodeName(outside).constData(), QFile::encodeName(gone + "out").constData());

  qputenv("XDG_RUNTIME_DIR", QFile::encodeName(run));
  EXPECT_EQ(RemoveGoneWorkFolders(run), 1);
  qunsetenv("XDG_RUNTIME_DIR");
  EXPECT_FALSE(Present(gone));
  EXPECT_EQ(QDir(run).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot), before);
  EXPECT_TRUE(Present(outside + QStringLiteral("keep.gif")) && Present(outside + QStringLiteral("lock")));
}
