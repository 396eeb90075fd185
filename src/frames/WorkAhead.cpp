#include "frames/WorkAhead.h"

#include <system_error>

TWorkAhead::TWorkAhead(bool ownThread) {
  if (!ownThread) return;
  try {
    Thread = std::thread([this] { Work(); });
  } catch (const std::system_error&) {
    // No thread to be had: jobs are done as they come.
  }
}

TWorkAhead::~TWorkAhead() {
  if (!Thread.joinable()) return;
  Wait();
  {
    std::lock_guard<std::mutex> hold(Lock);
    Stopping = true;
  }
  Changed.notify_all();
  Thread.join();
}

void TWorkAhead::Start(std::function<void()> job) {
  Started = true;
  if (!Thread.joinable()) {
    job();
    return;
  }
  {
    std::lock_guard<std::mutex> hold(Lock);
    Job = std::move(job);
    Done = false;
  }
  Changed.notify_all();
}

void TWorkAhead::Wait() {
  Started = false;
  std::unique_lock<std::mutex> hold(Lock);
  Changed.wait(hold, [this] { return Done; });
}

void TWorkAhead::Work() {
  std::unique_lock<std::mutex> hold(Lock);
  for (;;) {
    Changed.wait(hold, [this] { return Job || Stopping; });
    if (Stopping) return;
    std::function<void()> job = std::move(Job);
    Job = nullptr;
    hold.unlock();
    job();
    hold.lock();
    Done = true;
    Changed.notify_all();
  }
}
