#include "frames/WorkAhead.h"

#include <system_error>
#include <utility>

TWorkAhead::TWorkAhead(bool ownThread) {
  if (!ownThread) return;
  try {
    Thread = std::thread([this] { Work(); });
  } catch (const std::system_error&) {
    // No thread to be had: jobs are done as they come.
  }
}

TWorkAhead::~TWorkAhead() {
  // What a job left in hand threw is dropped with the job (see the header).
  if (!Thread.joinable()) return;
  {
    std::unique_lock<std::mutex> hold(Lock);
    Changed.wait(hold, [this] { return Done; });
  }
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
    Thrown = nullptr;
    try {
      job();
    } catch (...) {
      Thrown = std::current_exception();  // met at Wait, as from the thread
    }
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
  if (Thrown) std::rethrow_exception(std::exchange(Thrown, nullptr));
}

void TWorkAhead::Work() {
  std::unique_lock<std::mutex> hold(Lock);
  for (;;) {
    Changed.wait(hold, [this] { return Job || Stopping; });
    if (Stopping) return;
    std::function<void()> job = std::move(Job);
    Job = nullptr;
    hold.unlock();
    std::exception_ptr thrown;
    try {
      job();
    } catch (...) {
      thrown = std::current_exception();  // the caller's to meet, at Wait
    }
    hold.lock();
    Thrown = thrown;
    Done = true;
    Changed.notify_all();
  }
}
