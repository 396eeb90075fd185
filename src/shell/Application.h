#pragma once
// The application: its id (TOMARU_APP_ID) as name and desktop file name, the
// UI font, the translations for the user's language (Japanese or English) and
// the top-level error report for anything that escapes an event handler.
#include <QApplication>

class TApplication : public QApplication {
 public:
  TApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

// The desktop's UI font at 11 px, with a Japanese fallback.
void ApplyProgramFont(QApplication& app);
