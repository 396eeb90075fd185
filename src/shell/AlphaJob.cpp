#include "shell/AlphaJob.h"

#include <exception>

TAlphaJob::TAlphaJob(TCalls calls) : Calls(std::move(calls)), Worker(std::make_unique<TLatestWorker>()) {}

TAlphaJob::~TAlphaJob() { Worker.reset(); }  // its thread ends before the rest goes

void TAlphaJob::Start(const TGifDocument& doc, bool allFrames, TAlphaFormat format, const QString& target) {
  Worker->Start([this, doc, allFrames, format, target](quint64 serial, const std::function<bool()>& current) {
    TAlphaOutcome outcome;
    try {
      outcome = SaveChoiceWithAlpha(doc, allFrames, format, target, [&](int done, int count) {
        if (!current()) return false;
        Worker->Post(serial, [this, done, count] {
          if (Calls.Progress) Calls.Progress(done, count);
        });
        return true;
      });
    } catch (const std::exception& e) {
      outcome.Error = QString::fromLocal8Bit(e.what());
    }
    if (!current() || outcome.Stopped) return;
    Worker->Post(serial, [this, outcome] {
      if (Calls.Done) Calls.Done(outcome);
    });
  });
}

void TAlphaJob::Cancel() { Worker->Cancel(); }
