#pragma once
// Previews are planned off the window's thread: a test that looks at their
// outcome first lets the window deliver the plan.
#include <QElapsedTimer>
#include <QTest>

#include "shell/MainForm.h"

inline void WaitForPlan(const TMainForm& form) {
  QElapsedTimer timer;
  timer.start();
  while (form.Plans->Running() && timer.elapsed() < 60000) QTest::qWait(5);
}
