#pragma once
// Long work inside one frame (a large target, its rewrite) asks now and
// then whether the plan is still wanted; no ends it by throwing TPlanStopped,
// which the plan catches and answers unfinished.
#include <cstdint>
#include <functional>

struct TPlanStopped {};

class TStopPoll {
 public:
  TStopPoll() = default;
  explicit TStopPoll(std::function<bool()> goOn) : GoOn(std::move(goOn)) {}
  // Counts work done, in pixels; asks once every few hundred thousand.
  void Done(int64_t pixels) const {
    if (!GoOn) return;
    Work += pixels;
    if (Work < kEvery) return;
    Work = 0;
    if (!GoOn()) throw TPlanStopped{};
  }

 private:
  static constexpr int64_t kEvery = int64_t(1) << 18;
  std::function<bool()> GoOn;
  mutable int64_t Work = 0;
};
