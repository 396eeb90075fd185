#pragma once
// One thread that runs the latest piece of work handed to it, for jobs that
// the window starts again whenever the choice changes. A newer Start (or
// Cancel) makes the work running stale: it sees so through its current()
// test and stops at its next step. What it posts reaches the thread that
// made the worker through its event loop, and only while it is still the
// latest.
#include <QtGlobal>
#include <functional>
#include <memory>

class QObject;

class TLatestWorker {
 public:
  // The work of one request: current() says whether it is still the latest.
  using TWork = std::function<void(quint64 serial, const std::function<bool()>& current)>;

  TLatestWorker();
  // Makes the work running stale, waits for the thread; nothing more is delivered.
  ~TLatestWorker();
  TLatestWorker(const TLatestWorker&) = delete;
  TLatestWorker& operator=(const TLatestWorker&) = delete;

  // Hands work to the thread in place of any not yet begun; answers its serial.
  quint64 Start(TWork work);
  // A serial for a request answered without the thread (Post it at once).
  quint64 Renew();
  // Makes the latest request stale.
  void Cancel();
  bool IsLatest(quint64 serial) const;
  // Runs deliver on the worker's owner thread, if serial is the latest then.
  void Post(quint64 serial, std::function<void()> deliver);

 private:
  struct TShared;
  std::shared_ptr<TShared> Shared;
  std::unique_ptr<QObject> Context;  // owns the posted deliveries: gone with it
};
