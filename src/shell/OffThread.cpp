#include "shell/OffThread.h"

#include <QEventLoop>
#include <QThread>
#include <exception>
#include <memory>

void RunOffThread(const std::function<void()>& work) {
  std::exception_ptr failure;
  QEventLoop loop;
  std::unique_ptr<QThread> thread(QThread::create([&work, &failure] {
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
    }
  }));
  // Queued, so that every call the work posted before it ends is delivered first.
  QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
  thread->start();
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  thread->wait();
  if (failure) std::rethrow_exception(failure);
}

void TGuiThreadBmpView::OnWindowThread(const std::function<void()>& call, bool wait) {
  if (QThread::currentThread() == Context->thread()) {
    call();
    return;
  }
  QMetaObject::invokeMethod(Context, call, wait ? Qt::BlockingQueuedConnection : Qt::QueuedConnection);
}

void TGuiThreadBmpView::SetMsg(int index, const QString& text) {
  OnWindowThread([this, index, text] { Window.SetMsg(index, text); }, false);
}

void TGuiThreadBmpView::ShowMessage(const QString& text) {
  OnWindowThread([this, &text] { Window.ShowMessage(text); }, true);
}

std::optional<int> TGuiThreadBmpView::AskReduceBits(int colorCount, const QString& format) {
  std::optional<int> answer;
  OnWindowThread([this, colorCount, &format, &answer] { answer = Window.AskReduceBits(colorCount, format); }, true);
  return answer;
}
