#include "CliRun.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <functional>
#include <grp.h>
#include <unistd.h>

namespace {

const QString kTomaru = QStringLiteral(TOMARU_BIN_DIR "/tomaru");

// Messages come in the program's source texts unless lang says otherwise.
TCliRun RunProgram(const QString& program, const QStringList& args, const QString& workDir,
                   const std::function<void()>& inChild = {}, const QString& lang = QStringLiteral("ja_JP.UTF-8")) {
  QProcess process;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  // No way to reach a display: a window, or a display connection, would fail the run.
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(QString::fromLatin1(name));
  for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"}) env.remove(QString::fromLatin1(name));
  env.insert(QStringLiteral("LANG"), lang);
  env.insert(QStringLiteral("T"), kTomaru);
  process.setProcessEnvironment(env);
  process.setWorkingDirectory(workDir);
  if (inChild) process.setChildProcessModifier(inChild);
  process.start(program, args);
  TCliRun run;
  if (!process.waitForFinished(60000)) return run;
  run.Exit = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  run.Out = QString::fromUtf8(process.readAllStandardOutput());
  run.Err = QString::fromUtf8(process.readAllStandardError());
  return run;
}

}  // namespace

TCliRun RunTomaru(const QStringList& args, const QString& workDir, const QString& lang) {
  return RunProgram(kTomaru, args, workDir, {}, lang);
}

TCliRun RunTomaruAs(unsigned uid, unsigned gid, const QStringList& args, const QString& workDir) {
  return RunProgram(kTomaru, args, workDir, [uid, gid] {
    if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0) ::_exit(99);
  });
}

TCliRun RunTomaruScript(const QString& script, const QString& workDir) {
  return RunProgram(QStringLiteral("/bin/bash"), {QStringLiteral("-c"), script}, workDir);
}

QByteArray TwoWhites(std::optional<uint8_t> gceFlags) {
  TGifPlan plan;
  plan.Colors = {{255, 0, 0}, {255, 255, 255}, {0, 255, 0}, {255, 255, 255}};
  plan.Pixels = {0, 1, 2, 3, 3, 3, 1, 0, 0, 0, 0, 0};
  plan.GceFlags = gceFlags;
  return MakeGif(plan);
}

int TransparentIndexOf(const QByteArray& gif) {
  const auto decoded = DecodeGif(gif);
  return decoded ? decoded->TransparentIndex : -2;
}
