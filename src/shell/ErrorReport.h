#pragma once
// The application's top-level error report: an error that escapes a handler is
// shown once (title "Tomaru", error icon, one OK) and the program goes on.
#include <QString>
#include <exception>
#include <functional>

// The message as shown: "." is appended when the last character sorts after ".".
QString ErrorReportText(const QString& message);

// Shows the report through the current dialogs (see Dialogs.h).
void ReportError(const QString& message);
void ReportException(const std::exception& e);

// Runs a handler; whatever it raises is reported and goes no further.
template <typename F>
void Guarded(F&& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    ReportException(e);
  }
}
