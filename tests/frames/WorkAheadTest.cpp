// The second thread a save decodes and encodes on: jobs done one at a time
// and seen done at Wait, what a job throws met there (or dropped with a job
// left in hand), and the same answers without a thread.
#include <gtest/gtest.h>

#include <stdexcept>

#include "frames/WorkAhead.h"

TEST(WorkAhead, DoesEachJobBeforeWaitReturnsAndThrowsWhatItThrew) {
  for (const bool ownThread : {true, false}) {
    TWorkAhead work(ownThread);
    int sum = 0;
    for (int i = 1; i <= 100; ++i) {
      work.Start([&sum, i] { sum += i; });
      EXPECT_TRUE(work.InHand());
      work.Wait();
      EXPECT_FALSE(work.InHand());
    }
    EXPECT_EQ(sum, 5050) << ownThread;
    const auto failing = [] { throw std::runtime_error("no memory"); };
    work.Start(failing);  // met at Wait, with a thread or without
    EXPECT_THROW(work.Wait(), std::runtime_error);
    work.Start([&sum] { sum = 0; });  // still working after a throw
    work.Wait();
    EXPECT_EQ(sum, 0);
    work.Start(failing);  // left in hand: the destructor waits and drops what it threw
  }
}
