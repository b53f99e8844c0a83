// POSIX only: the signals that end a process reach the interrupt handler, so
// that varnel-cli stops a rewrite cleanly instead of dying in the middle.
#include <gtest/gtest.h>
#include <signal.h>

#include <atomic>

#include "platform/console.h"

namespace {

std::atomic<int> g_calls{0};
void Count() { g_calls.fetch_add(1); }

TEST(ConsolePosixTest, TerminationSignalsCallTheInterruptHandler) {
  platform::SetInterruptHandler(&Count);
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
    int before = g_calls.load();
    ASSERT_EQ(raise(signal_number), 0);
    EXPECT_EQ(g_calls.load(), before + 1) << signal_number;
  }
  platform::SetInterruptHandler(nullptr);
}

}  // namespace
