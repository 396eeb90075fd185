#pragma once
// The program's general error: carries a user-facing message. Raised by the
// deeper layers (file I/O, plug-ins, the property store) and shown once by the
// application's top-level error report, after which the program goes on.
#include <QCoreApplication>
#include <QString>
#include <stdexcept>

class Exception : public std::runtime_error {
 public:
  explicit Exception(const QString& message)
      : std::runtime_error(message.toStdString()), Message(message) {}
  const QString& message() const { return Message; }

 private:
  QString Message;
};

// A failed read or write with the system's error code. The whole-file
// operations raise it with a message naming the file and the reason (see
// FileErrors.h); without one it reads "I/O エラー (%d)".
class EInOutError : public Exception {
 public:
  explicit EInOutError(int code)
      : Exception(QCoreApplication::translate("Exception", "I/O エラー (%1)").arg(code)), ErrorCode(code) {}
  EInOutError(int code, const QString& message, const QString& fileName)
      : Exception(message), ErrorCode(code), FileName(fileName) {}
  int ErrorCode;
  QString FileName;  // empty when not known
};
