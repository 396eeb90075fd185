#pragma once
// One job at a time on a second thread while the caller goes on: the next
// frame decoded, or the last frame written anew encoded and read back, while
// this one is judged. On an animation written anew nearly whole those are a
// third of the save.
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

class TWorkAhead {
 public:
  // Without a thread of its own (or where none is to be had), Start does
  // the job at once; what it threw is still met at Wait, so a caller sees the
  // same answers either way.
  explicit TWorkAhead(bool ownThread);
  // Waits for the job in hand, and discards what it threw: a job is left in
  // hand only when its owner leaves early and will not use its result (a
  // stop, an earlier frame that cannot be decoded, or an error of the owner's
  // own, which is the one reported). A save never depends on that result, so
  // its failure is no failure of the save.
  ~TWorkAhead();
  TWorkAhead(const TWorkAhead&) = delete;
  TWorkAhead& operator=(const TWorkAhead&) = delete;

  // One at a time: what the job reads and writes stays the caller's to keep
  // alive and untouched until Wait.
  void Start(std::function<void()> job);
  // Until the job started last is done; what it threw is thrown here.
  void Wait();
  bool InHand() const { return Started; }

 private:
  void Work();

  std::mutex Lock;
  std::condition_variable Changed;
  std::function<void()> Job;  // waiting for the thread
  bool Done = true, Stopping = false, Started = false;
  std::exception_ptr Thrown;
  std::thread Thread;
};
