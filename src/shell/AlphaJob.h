#pragma once
// The working copy of a WebP or PNG choice, made off the window's thread as
// the GIF plans are: the latest request wins, an older one still encoding
// stops at its next frame and is never reported, and answers arrive on the
// window's thread through its event loop.
#include <QString>
#include <functional>
#include <memory>

#include "alpha/SaveWithAlpha.h"
#include "choice/LatestWorker.h"
#include "document/GifDocument.h"

class TAlphaJob {
 public:
  struct TCalls {
    std::function<void(int done, int count)> Progress;  // of the latest request
    std::function<void(const TAlphaOutcome&)> Done;     // the latest request, ended
  };
  explicit TAlphaJob(TCalls calls);
  // Stops the request running and waits for its thread; nothing more is delivered.
  ~TAlphaJob();
  TAlphaJob(const TAlphaJob&) = delete;
  TAlphaJob& operator=(const TAlphaJob&) = delete;

  // Saves a copy of doc's choice as format into target on the job's thread.
  void Start(const TGifDocument& doc, bool allFrames, TAlphaFormat format, const QString& target);
  // Stops the latest request: it is never delivered.
  void Cancel();

 private:
  TCalls Calls;
  std::unique_ptr<TLatestWorker> Worker;
};
