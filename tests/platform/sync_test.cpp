// The auto-reset event and the worker thread.
#include <gtest/gtest.h>

#include <atomic>

#include "platform/sync.h"

namespace {

TEST(SyncTest, AutoResetEventReleasesOnePoll) {
  platform::Event event;
  EXPECT_FALSE(event.Poll());
  event.Set();
  EXPECT_TRUE(event.Poll());
  EXPECT_FALSE(event.Poll()) << "an auto-reset event is consumed by the first poll";
  event.Set();
  event.Reset();
  EXPECT_FALSE(event.Poll());
}

TEST(SyncTest, ManualResetEventStaysSignalled) {
  platform::Event event(true);
  event.Set();
  EXPECT_TRUE(event.Poll());
  EXPECT_TRUE(event.Wait(platform::Event::kInfinite));
  event.Reset();
  EXPECT_FALSE(event.Poll());
}

TEST(SyncTest, WorkerThreadRunsAndJoins) {
  platform::Event go, done;
  std::atomic<int> value{0};
  platform::WorkerThread thread;
  ASSERT_TRUE(thread.Start([&] {
    go.Wait(platform::Event::kInfinite);
    value = 42;
    done.Set();
  }));
  EXPECT_TRUE(thread.Joinable());
  go.Set();
  EXPECT_TRUE(done.Wait(platform::Event::kInfinite));
  thread.Join();
  EXPECT_FALSE(thread.Joinable());
  EXPECT_EQ(value.load(), 42);
  // A joined thread object can run again.
  ASSERT_TRUE(thread.Start([&] { value = 7; }));
  thread.Join();
  EXPECT_EQ(value.load(), 7);
}

}  // namespace
