#pragma once
// The modal conversations of the program (message boxes, file, colour
// dialogs). Tests put a scripted TDialogs in place of the real one.
#include <QColor>
#include <QString>
#include <optional>

class QWidget;

struct TFileDialogOptions {
  QString Title;
  QString Filter;        // Qt filter text, e.g. "GIF画像(*.gif)"
  QString DefaultSuffix; // appended to a name typed without extension
  QString FileName;      // where the dialog starts
  // Saving: the file replaced without a question (the opened one); any
  // other existing file is replaced only when the user says so.
  QString OpenedFile;
};

class TDialogs {
 public:
  virtual ~TDialogs() = default;
  // Plain box: title "Tomaru", no icon, one OK.
  virtual void ShowMessage(QWidget* owner, const QString& text);
  // Confirmation: title "確認", question icon, OK and キャンセル; true for OK.
  virtual bool Confirm(QWidget* owner, const QString& text);
  // Error report: title "Tomaru", error icon, one OK.
  virtual void ShowError(QWidget* owner, const QString& text);
  // Qt's own dialog, with a preview of the selected GIF or BMP beside the list.
  virtual std::optional<QString> OpenFile(QWidget* owner, const TFileDialogOptions& options);
  virtual std::optional<QString> SaveFile(QWidget* owner, const TFileDialogOptions& options);
  virtual std::optional<QColor> ChooseColor(QWidget* owner, const QColor& initial);
};

// The width a message box keeps at least, so its title shows whole.
int MessageBoxMinimumWidth(const QString& title);

TDialogs& Dialogs();
// Replaces the dialogs in use (not owned); nullptr restores the real ones.
void SetDialogs(TDialogs* dialogs);
