#include "choice/LatestWorker.h"

#include <QObject>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

struct TLatestWorker::TShared {
  std::mutex Lock;
  std::condition_variable Wake;
  std::optional<std::pair<quint64, TWork>> Pending;
  bool Stopping = false;
  std::atomic<quint64> Latest{0};
  std::thread Thread;
};

TLatestWorker::TLatestWorker() : Shared(std::make_shared<TShared>()), Context(std::make_unique<QObject>()) {
  TShared* shared = Shared.get();
  shared->Thread = std::thread([shared] {
    for (;;) {
      std::pair<quint64, TWork> next;
      {
        std::unique_lock<std::mutex> lock(shared->Lock);
        shared->Wake.wait(lock, [&] { return shared->Stopping || shared->Pending; });
        if (shared->Stopping) return;
        next = std::move(*shared->Pending);
        shared->Pending.reset();
      }
      const quint64 serial = next.first;
      const std::function<bool()> current = [shared, serial] { return shared->Latest.load() == serial; };
      if (current()) next.second(serial, current);
    }
  });
}

TLatestWorker::~TLatestWorker() {
  {
    std::lock_guard<std::mutex> lock(Shared->Lock);
    Shared->Stopping = true;
    ++Shared->Latest;  // the work running stops at its next step
  }
  Shared->Wake.notify_all();
  Shared->Thread.join();
  Context.reset();  // drops what was posted and not yet delivered
}

quint64 TLatestWorker::Start(TWork work) {
  std::lock_guard<std::mutex> lock(Shared->Lock);
  const quint64 serial = ++Shared->Latest;
  Shared->Pending.emplace(serial, std::move(work));
  Shared->Wake.notify_all();
  return serial;
}

quint64 TLatestWorker::Renew() { return ++Shared->Latest; }

void TLatestWorker::Cancel() { ++Shared->Latest; }

bool TLatestWorker::IsLatest(quint64 serial) const { return Shared->Latest.load() == serial; }

void TLatestWorker::Post(quint64 serial, std::function<void()> deliver) {
  QMetaObject::invokeMethod(Context.get(), [this, serial, deliver = std::move(deliver)] {
    if (IsLatest(serial)) deliver();
  }, Qt::QueuedConnection);
}
