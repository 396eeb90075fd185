#include "choice/PlanJob.h"

#include <utility>

TPlanKey TPlanKey::Of(const TGifDocument& doc, bool allFrames) {
  return {doc.GifData.constData(), doc.TransparentOn, doc.TransparentOn ? doc.TransparentIndex : uint8_t(0),
          allFrames, doc.TransparentOn ? doc.Reach : TReach{}};
}

TPlanJob::TPlanJob(TCalls calls) : Calls(std::move(calls)), Worker(std::make_unique<TLatestWorker>()) {}

TPlanJob::~TPlanJob() { Worker.reset(); }  // its thread ends before the rest goes

void TPlanJob::Post(quint64 serial, TPlanResult result) {
  Worker->Post(serial, [this, result = std::move(result)]() mutable { Deliver(std::move(result)); });
}

// Plans a copy of doc on the worker's thread, progress and result posted back.
TLatestWorker::TWork TPlanJob::Work(const TGifDocument& doc, bool allFrames, bool preview) {
  return [this, doc, allFrames, preview](quint64 serial, const std::function<bool()>& current) {
    // A failed plan is delivered like a finished one, so a save waiting for it ends.
    const auto failed = [&](std::exception_ptr failure) {
      return TPlanResult{TPlanKey::Of(doc, allFrames), doc.GifData, {}, std::move(failure), preview};
    };
    TPlanResult result = failed(nullptr);
    try {
      result.Plan = PlanSave(doc, allFrames, TFrameRewrite::Allowed, [&](int done, int count) {
        if (!current()) return false;
        Worker->Post(serial, [this, done, count] {
          if (Calls.Progress) Calls.Progress(done, count);
        });
        return true;
      });
    } catch (...) {
      result.Failure = std::current_exception();
    }
    if (!current()) return;
    try {
      Post(serial, std::move(result));
    } catch (...) {
      // Posting takes memory too: what failed is delivered instead. Should
      // that fail as well, the program ends, as with anything a thread cannot catch.
      Post(serial, failed(std::current_exception()));
    }
  };
}

void TPlanJob::Start(const TGifDocument& doc, bool allFrames, bool preview) {
  const TPlanKey key = TPlanKey::Of(doc, allFrames);
  Asked.reset();  // until the plan is on its way: one that fails to start never runs
  if (Last && Last->Key == key) {
    // Made already: delivered again, as a newly finished plan would be.
    TPlanResult again = *Last;
    again.Preview = preview;
    Post(Worker->Renew(), std::move(again));
  } else {
    Worker->Start(Work(doc, allFrames, preview));
  }
  Asked = key;
}

void TPlanJob::Cancel() {
  Worker->Cancel();
  Asked.reset();
  if (Calls.Settled) Calls.Settled();
}

const TPlanResult* TPlanJob::Finished(const TPlanKey& key) const {
  return Last && Last->Key == key ? &*Last : nullptr;
}

void TPlanJob::Deliver(TPlanResult result) {
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
