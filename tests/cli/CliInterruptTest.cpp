// A real batch stopped by a signal at a random moment: no temporary file is
// left, each target is whole (its original or its complete result), and the
// exit status names the signal.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <csignal>
#include <random>
#include <sys/stat.h>

#include "CliRun.h"
#include "common/TestFiles.h"

namespace {

constexpr int kFiles = 3000;

// Whether the process has its handlers for SIGINT, SIGTERM and SIGHUP in place
// (the caught-signal mask of /proc/PID/status), so a signal now tests them.
bool CatchesStopSignals(qint64 pid) {
  QFile status(QString("/proc/%1/status").arg(pid));
  (void)status.open(QIODevice::ReadOnly);  // none once the process is gone
  const QRegularExpression mask(QStringLiteral("SigCgt:\\s*([0-9a-f]+)"));
  const qulonglong caught = mask.match(QString::fromLatin1(status.readAll())).captured(1).toULongLong(nullptr, 16);
  const qulonglong wanted = (1ull << (SIGINT - 1)) | (1ull << (SIGTERM - 1)) | (1ull << (SIGHUP - 1));
  return (caught & wanted) == wanted;
}

// Writes kFiles copies of the input into folder, starts an in-place batch over
// them and waits until it catches the stop signals.
void StartBatch(QProcess& batch, const QString& folder) {
  QDir().mkpath(folder);
  QStringList args{"--transparent", "white", "--in-place"};
  for (int i = 0; i < kFiles; ++i) {
    args << QString("f%1.gif").arg(i, 4, 10, QLatin1Char('0'));
    WriteAll(folder + "/" + args.back(), TwoWhites());
  }
  batch.setWorkingDirectory(folder);
  batch.start(QStringLiteral(TOMARU_BIN_DIR "/tomaru"), args);
  ASSERT_TRUE(batch.waitForStarted());
  while (!CatchesStopSignals(batch.processId()) && batch.state() == QProcess::Running) QThread::usleep(200);
}

TEST(CliInterrupt, ASignalStopsTheBatchCleanly) {
  // Thousands of files are made and removed: in memory when the machine has
  // room there, as a disk under load takes milliseconds for each.
  QTemporaryDir dir((QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm") : QDir::tempPath()) +
                    QStringLiteral("/tomaru-test-XXXXXX"));
  ASSERT_TRUE(dir.isValid());
  // A whole run, to know how long one lasts here and what it writes.
  QProcess whole;
  StartBatch(whole, dir.filePath("whole"));
  QElapsedTimer clock;
  clock.start();
  ASSERT_TRUE(whole.waitForFinished(20000));
  ASSERT_EQ(whole.exitCode(), 0);
  const int lasts = int(clock.elapsed());
  const QByteArray original = TwoWhites(), result = ReadAll(dir.filePath("whole/f0000.gif"));
  ASSERT_NE(result, original);

  std::random_device seed;
  std::mt19937 random(seed());
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    const QString folder = dir.filePath(QString("batch%1").arg(signal));
    // A run that ended before the signal came proves nothing about it: again, sooner.
    bool interrupted = false;
    for (int latest = lasts * 4 / 5, attempt = 0; !interrupted && attempt < 6; latest /= 2, ++attempt) {
      QProcess batch;
      StartBatch(batch, folder);
      const int delay = std::uniform_int_distribution<int>(0, latest)(random);
      QThread::msleep(delay);
      ::kill(pid_t(batch.processId()), signal);
      ASSERT_TRUE(batch.waitForFinished(20000));
      SCOPED_TRACE(QString("signal %1 after %2 of %3 ms").arg(signal).arg(delay).arg(lasts).toStdString());
      EXPECT_EQ(batch.exitStatus(), QProcess::NormalExit);
      const QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
      EXPECT_EQ(left.size(), kFiles);  // nothing but the targets: no temporary file
      int done = 0, intact = 0;
      for (const QString& name : left) {
        const QByteArray now = ReadAll(folder + "/" + name);
        done += now == result;
        intact += now == result || now == original;
      }
      EXPECT_EQ(intact, kFiles);
      interrupted = batch.exitCode() == 128 + signal;
      if (!interrupted) {
        EXPECT_TRUE(batch.exitCode() == 0 && done == kFiles) << batch.exitCode();
      }
    }
    EXPECT_TRUE(interrupted) << "signal " << signal << " never came before the batch's end";
    // A list no one ever writes to: the batch waits for its names, and stops.
    const QString fifo = folder + "/names";
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QProcess waiting;
    waiting.start(QStringLiteral(TOMARU_BIN_DIR "/tomaru"), {"--transparent", "white", "--in-place", "--files0-from", fifo});
    ASSERT_TRUE(waiting.waitForStarted());
    while (!CatchesStopSignals(waiting.processId()) && waiting.state() == QProcess::Running) QThread::usleep(200);
    ::kill(pid_t(waiting.processId()), signal);
    EXPECT_TRUE(waiting.waitForFinished(5000)) << "a list no one writes to kept the batch past signal " << signal;
    EXPECT_EQ(waiting.exitCode(), 128 + signal);
    EXPECT_EQ(waiting.readAllStandardError(), QByteArray());
  }
}

}  // namespace
