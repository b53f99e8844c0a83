// Ctrl-C: the handler only bumps a lock-free counter (all a signal handler may
// safely do; an event's Set takes a mutex on POSIX), and a small watcher
// thread turns a new interrupt into a call that stops the run.
// Tested by tests/cli/interrupt_test.cpp.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace cli {

// Routes Ctrl-C to SignalInterrupt.
void InstallInterruptHandler();
// What the handler does; async-signal-safe.
void SignalInterrupt();
// Interrupts seen by this process so far.
std::uint32_t InterruptCount();

class CInterruptWatcher {
 public:
  // Calls `on_interrupt` on the watcher's thread once for each group of
  // interrupts signalled after construction.
  explicit CInterruptWatcher(std::function<void()> on_interrupt);
  ~CInterruptWatcher();
  CInterruptWatcher(const CInterruptWatcher&) = delete;
  CInterruptWatcher& operator=(const CInterruptWatcher&) = delete;

 private:
  void Watch();

  std::function<void()> on_interrupt_;
  std::uint32_t seen_;
  std::mutex lock_;
  std::condition_variable quit_signal_;
  bool quit_ = false;
  std::thread thread_;
};

}  // namespace cli
