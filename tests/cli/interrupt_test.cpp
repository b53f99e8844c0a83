// Ctrl-C reaches the run through the counter and the watcher thread.
#include "cli/interrupt.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "cli/cli_run.h"

namespace {

TEST(InterruptTest, TheWatcherCallsBackAfterAnInterrupt) {
  std::mutex lock;
  std::condition_variable signal;
  int calls = 0;
  std::uint32_t before = cli::InterruptCount();
  {
    cli::CInterruptWatcher watcher([&] {
      std::lock_guard<std::mutex> guard(lock);
      ++calls;
      signal.notify_one();
    });
    cli::SignalInterrupt();
    std::unique_lock<std::mutex> guard(lock);
    // A generous bound: only a broken watcher takes this long.
    EXPECT_TRUE(signal.wait_for(guard, std::chrono::seconds(60), [&] { return calls > 0; }));
  }
  EXPECT_EQ(cli::InterruptCount(), before + 1);
  EXPECT_EQ(calls, 1);
}

TEST(InterruptTest, ExitCodes) {
  struct Case {
    std::uint64_t found, replace_failed;
    bool canceled;
    int code;
  } cases[] = {
      {1, 0, false, 0},  {0, 0, false, 1}, {5, 0, true, 130},
      {0, 0, true, 130}, {3, 1, false, 3}, {3, 1, true, 130},
  };
  for (const auto& c : cases) {
    cli::RunOutcome outcome;
    outcome.counts.found = c.found;
    outcome.counts.replace_failed = c.replace_failed;
    outcome.canceled = c.canceled;
    EXPECT_EQ(cli::ExitCode(outcome), c.code);
  }
}

}  // namespace
