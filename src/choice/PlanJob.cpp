#include "choice/PlanJob.h"

#include <QObject>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

TPlanKey TPlanKey::Of(const TGifDocument& doc, bool allFrames) {
  return {doc.GifData.constData(), doc.TransparentOn, doc.TransparentOn ? doc.TransparentIndex : uint8_t(0),
          allFrames, doc.TransparentOn ? doc.Reach : TReach{}};
}

namespace {

struct TRequest {
  quint64 Serial = 0;
  TGifDocument Doc;
  bool AllFrames = false;
  bool Preview = false;
};

}  // namespace

// What the job's thread and the job share. The thread plans one request at
// a time; a newer serial makes the one it plans stale.
struct TPlanJob::TShared {
  std::mutex Lock;
  std::condition_variable Wake;
  std::optional<TRequest> Pending;
  bool Stopping = false;
  std::atomic<quint64> Latest{0};
  std::thread Thread;
};

TPlanJob::TPlanJob(TCalls calls)
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
      // A failed plan is delivered like a finished one, so a save waiting for it ends.
      const auto failed = [&r](std::exception_ptr failure) {
        return TPlanResult{TPlanKey::Of(r.Doc, r.AllFrames), r.Doc.GifData, {}, std::move(failure), r.Preview};
      };
      TPlanResult result = failed(nullptr);
      try {
        result.Plan = PlanSave(r.Doc, r.AllFrames, TFrameRewrite::Allowed, [&](int done, int count) {
          if (!current()) return false;
          QMetaObject::invokeMethod(context, [this, serial = r.Serial, done, count] {
            if (Shared->Latest.load() == serial && Calls.Progress) Calls.Progress(done, count);
          }, Qt::QueuedConnection);
          return true;
        });
      } catch (...) {
        result.Failure = std::current_exception();
      }
      if (!current()) continue;
      try {
        Post(r.Serial, std::move(result));
      } catch (...) {
        // Posting takes memory too: what failed is delivered instead. Should
        // that fail as well, the program ends, as with anything a thread cannot catch.
        Post(r.Serial, failed(std::current_exception()));
      }
    }
  });
}

void TPlanJob::Post(quint64 serial, TPlanResult result) {
  QMetaObject::invokeMethod(Context.get(), [this, serial, result = std::move(result)]() mutable {
    Deliver(serial, std::move(result));
  }, Qt::QueuedConnection);
}

TPlanJob::~TPlanJob() {
  {
    std::lock_guard<std::mutex> lock(Shared->Lock);
    Shared->Stopping = true;
    ++Shared->Latest;  // the plan running stops at its next frame
  }
  Shared->Wake.notify_all();
  Shared->Thread.join();
  Context.reset();  // drops what was posted and not yet delivered
}

void TPlanJob::Start(const TGifDocument& doc, bool allFrames, bool preview) {
  const TPlanKey key = TPlanKey::Of(doc, allFrames);
  std::lock_guard<std::mutex> lock(Shared->Lock);
  const quint64 serial = ++Shared->Latest;
  Asked.reset();  // until the plan is on its way: one that fails to start never runs
  if (Last && Last->Key == key) {
    // Made already: delivered again, as a newly finished plan would be.
    TPlanResult again = *Last;
    again.Preview = preview;
    Post(serial, std::move(again));
  } else {
    Shared->Pending = TRequest{serial, doc, allFrames, preview};
    Shared->Wake.notify_all();
  }
  Asked = key;
}

void TPlanJob::Cancel() {
  ++Shared->Latest;
  Asked.reset();
  if (Calls.Settled) Calls.Settled();
}

const TPlanResult* TPlanJob::Finished(const TPlanKey& key) const {
  return Last && Last->Key == key ? &*Last : nullptr;
}

void TPlanJob::Deliver(quint64 serial, TPlanResult result) {
  if (Shared->Latest.load() != serial) return;
  Asked.reset();
  Last = std::move(result);
  if (Calls.Settled) Calls.Settled();
  if (Calls.Done) Calls.Done(*Last);
}

const TPlanResult* TPlanJob::Need(const TGifDocument& doc, bool allFrames) {
  const TPlanKey key = TPlanKey::Of(doc, allFrames);
  if (const TPlanResult* done = Finished(key)) return done;
  if (Asked != key) Start(doc, allFrames, false);
  return nullptr;
}
