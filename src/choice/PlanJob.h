#pragma once
// The plan of a save made off the window's thread. The latest request wins:
// an older plan still running stops at its next frame and is never
// reported. Progress and results are delivered on the thread that made the
// job, through its event loop, so the window only shows them.
#include <QByteArray>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

#include "choice/LatestWorker.h"
#include "document/GifDocument.h"
#include "frames/SavePlan.h"

// What a plan was made for: the document's bytes and the choice (its entry
// and how far it reaches). The bytes are named by their shared buffer, which
// a plan's result keeps alive, so a file opened since never compares equal.
struct TPlanKey {
  const char* Bytes = nullptr;
  bool TransparentOn = false;
  uint8_t TransparentIndex = 0;  // 0 while transparency is off: it changes nothing then
  bool AllFrames = false;
  TReach Reach;  // the default while transparency is off, as the index

  static TPlanKey Of(const TGifDocument& doc, bool allFrames);
  bool operator==(const TPlanKey& o) const {
    return Bytes == o.Bytes && TransparentOn == o.TransparentOn && TransparentIndex == o.TransparentIndex &&
           AllFrames == o.AllFrames && Reach == o.Reach;
  }
  bool operator!=(const TPlanKey& o) const { return !(*this == o); }
};

struct TPlanResult {
  TPlanKey Key;
  QByteArray Source;  // the bytes the edits apply to
  TSavePlan Plan;
  std::exception_ptr Failure;  // the plan failed (no memory, ...): Plan is empty
  bool Preview = false;        // asked for by a preview rather than a save
};

class TPlanJob {
 public:
  struct TCalls {
    std::function<void(int done, int count)> Progress;  // frames judged of the latest plan
    std::function<void(const TPlanResult&)> Done;       // the latest plan, finished
    std::function<void()> Settled;  // the latest plan was delivered or cancelled: nothing runs now
  };
  explicit TPlanJob(TCalls calls);
  // Stops a plan still running and waits for its thread; nothing more is delivered.
  ~TPlanJob();
  TPlanJob(const TPlanJob&) = delete;
  TPlanJob& operator=(const TPlanJob&) = delete;

  // Plans doc's choice on the job's thread, from a copy of doc. A plan
  // already finished for the same choice is delivered again instead.
  void Start(const TGifDocument& doc, bool allFrames, bool preview);
  // Stops the latest plan: it is never delivered.
  void Cancel();
  // A plan was started and has been neither delivered nor cancelled.
  bool Running() const { return bool(Asked); }
  // The plan last delivered, when it was made for key.
  const TPlanResult* Finished(const TPlanKey& key) const;
  // The plan of doc's choice when it is finished; else null, with that plan
  // started unless it is the one running. How a caller waits for it (and
  // what it lets happen meanwhile) is the caller's: Settled tells when to look again.
  const TPlanResult* Need(const TGifDocument& doc, bool allFrames);

 private:
  TLatestWorker::TWork Work(const TGifDocument& doc, bool allFrames, bool preview);
  void Post(quint64 serial, TPlanResult result);
  void Deliver(TPlanResult result);

  TCalls Calls;
  std::unique_ptr<TLatestWorker> Worker;
  std::optional<TPlanKey> Asked;     // the plan running, if any
  std::optional<TPlanResult> Last;
};
