#pragma once
// The messages of failed file reads and writes: the file's name, the system's
// reason in Japanese and the error code, e.g.
//   ファイル「/x/a.gif」を保存できませんでした。
//   (書き込み権限がありません、エラーコード 13)
#include <QString>

enum class TFileAction {
  Read,     // reading a file's content or its directory entry
  Write,    // writing (saving) a file
  MakeDir,  // creating a directory
};

// The system's reason for an errno value, in Japanese; the wording of
// permission failures follows the action. A code without a Japanese text
// gives the platform's own text, then "不明なエラー".
QString SystemErrorText(int code, TFileAction action = TFileAction::Read);

// The whole message for a failure of action on fileName with errno code.
QString FileErrorText(TFileAction action, const QString& fileName, int code);

// Raises EInOutError carrying FileErrorText, the code and the name.
[[noreturn]] void RaiseFileError(TFileAction action, const QString& fileName, int code);

// Reasons a read is refused before it starts, in the same style.
QString NotRegularFileReason(unsigned mode);  // a FIFO, device or socket
QString TooLargeReason(qint64 size, qint64 limit);

// Raises EInOutError: "ファイル「%1」を読み込めませんでした。" and the reason
// on its own line, in brackets.
[[noreturn]] void RaiseReadRefusal(const QString& fileName, const QString& reason, int code);
