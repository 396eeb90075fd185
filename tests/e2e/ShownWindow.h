#pragma once
// The real window on screen with a GIF written from a plan and opened in it.
#include <QTemporaryDir>
#include <QTest>

#include "common/GifFactory.h"
#include "common/TestFiles.h"
#include "shell/MainForm.h"

inline void ShowAndOpen(TMainForm& form, const QTemporaryDir& dir, const QString& name, const TGifPlan& plan) {
  const QString path = dir.filePath(name);
  WriteAll(path, MakeGif(plan));
  form.show();
  if (!QTest::qWaitForWindowExposed(&form)) throw std::runtime_error("window not shown");
  form.FileOpen(path);
}
