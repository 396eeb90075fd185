#include "shell/AlphaJob.h"

#include <QObject>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace {
struct TRequest {
  quint64 Serial = 0;
  TGifDocument Doc;
  bool AllFrames = false;
  TAlphaFormat Format = TAlphaFormat::WebP;
  QString Target;
};
}  // namespace

struct TAlphaJob::TShared {
  std::mutex Lock;
  std::condition_variable Wake;
  std::optional<TRequest> Pending;
  bool Stopping = false;
  std::atomic<quint64> Latest{0};
  std::thread Thread;
};

TAlphaJob::TAlphaJob(TCalls calls)
    : Calls(std::move(calls)), Shared(std::make_shared<TShared>()), Context(std::make_unique<QObject>()) {
  TShared* shared = Shared.get();
  QObject* context = Context.get();
  shared->Thread = std::thread([this, shared, context] {
    for (;;) {
      TRequest r;
      {
        std::unique_lock<std::mutex> lock(shared->Lock);
        shared->Wake.wait(lock, [&] { return shared->Stopping || shared->Pending; });
        if (shared->Stopping) return;
        r = std::move(*shared->Pending);
        shared->Pending.reset();
      }
      const auto current = [&] { return shared->Latest.load() == r.Serial; };
      if (!current()) continue;
      TAlphaOutcome outcome;
      try {
        outcome = SaveChoiceWithAlpha(r.Doc, r.AllFrames, r.Format, r.Target, [&](int done, int count) {
          if (!current()) return false;
          QMetaObject::invokeMethod(context, [this, serial = r.Serial, done, count] {
            if (Shared->Latest.load() == serial && Calls.Progress) Calls.Progress(done, count);
          }, Qt::QueuedConnection);
          return true;
        });
      } catch (const std::exception& e) {
        outcome.Error = QString::fromLocal8Bit(e.what());
      }
      if (!current() || outcome.Stopped) continue;
      QMetaObject::invokeMethod(context, [this, serial = r.Serial, outcome] {
        if (Shared->Latest.load() == serial && Calls.Done) Calls.Done(outcome);
      }, Qt::QueuedConnection);
    }
  });
}

TAlphaJob::~TAlphaJob() {
  {
    std::lock_guard<std::mutex> lock(Shared->Lock);
    Shared->Stopping = true;
    ++Shared->Latest;  // the request running stops at its next frame
  }
  Shared->Wake.notify_all();
  Shared->Thread.join();
  Context.reset();  // drops what was posted and not yet delivered
}

void TAlphaJob::Start(const TGifDocument& doc, bool allFrames, TAlphaFormat format, const QString& target) {
  std::lock_guard<std::mutex> lock(Shared->Lock);
  Shared->Pending = TRequest{++Shared->Latest, doc, allFrames, format, target};
  Shared->Wake.notify_all();
}

void TAlphaJob::Cancel() { ++Shared->Latest; }
