#pragma once
// Dialogs that answer from a script and record what was shown.
#include <QStringList>
#include <deque>

#include "shell/Dialogs.h"

class TScriptedDialogs : public TDialogs {
 public:
  QStringList Messages, Errors, Confirmations;
  std::deque<std::optional<QString>> OpenAnswers, SaveAnswers;
  std::deque<std::optional<QColor>> ColorAnswers;
  std::deque<bool> ConfirmAnswers;
  QList<TFileDialogOptions> OpenRequests, SaveRequests;

  TScriptedDialogs() { SetDialogs(this); }
  ~TScriptedDialogs() override { SetDialogs(nullptr); }

  void ShowMessage(QWidget*, const QString& t) override { Messages << t; }
  bool Confirm(QWidget*, const QString& t) override {
    Confirmations << t;
    return Pop(ConfirmAnswers, false);
  }
  void ShowError(QWidget*, const QString& t) override { Errors << t; }
  std::optional<QString> OpenFile(QWidget*, const TFileDialogOptions& o) override {
    OpenRequests << o;
    return Pop(OpenAnswers, {});
  }
  std::optional<QString> SaveFile(QWidget*, const TFileDialogOptions& o) override {
    SaveRequests << o;
    return Pop(SaveAnswers, {});
  }
  std::optional<QColor> ChooseColor(QWidget*, const QColor&) override { return Pop(ColorAnswers, {}); }

 private:
  template <typename T>
  static T Pop(std::deque<T>& q, T fallback) {
    if (q.empty()) return fallback;
    T v = q.front();
    q.pop_front();
    return v;
  }
};
