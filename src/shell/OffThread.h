#pragma once
// Long work (a picture's conversion) off the window's thread: the window
// keeps painting, and the work reaches the window only through a view that
// hands each call over to the window's thread.
#include <QObject>
#include <functional>

#include "reduce/BmpToGif.h"

// Runs work on a thread of its own and returns when it is done. Meanwhile
// this thread paints and delivers the work's calls; user input waits until
// the end. An exception the work throws is thrown again here.
void RunOffThread(const std::function<void()>& work);

// The conversion road's view as seen from the work's thread: each call runs
// on the thread of context, the message box and the dialog waiting for it.
class TGuiThreadBmpView : public TBmpView {
 public:
  TGuiThreadBmpView(TBmpView& window, QObject* context) : Window(window), Context(context) {}

  void SetMsg(int index, const QString& text) override;
  void ShowMessage(const QString& text) override;
  std::optional<int> AskReduceBits(int colorCount, const QString& format) override;
  bool Dither() const override { return Window.Dither(); }

 private:
  void OnWindowThread(const std::function<void()>& call, bool wait);

  TBmpView& Window;
  QObject* Context;
};
