// Ctrl-C handling. Tested by tests/cli/interrupt_test.cpp.
#include "cli/interrupt.h"

#include <atomic>
#include <chrono>

#include "platform/console.h"

namespace cli {
namespace {

std::atomic<std::uint32_t> g_interrupts{0};
static_assert(std::atomic<std::uint32_t>::is_always_lock_free,
              "the signal handler may only touch a lock-free atomic");

// How often the watcher looks at the counter: short enough that a stop feels
// immediate, long enough to cost nothing.
constexpr auto kPollInterval = std::chrono::milliseconds(50);

}  // namespace

void SignalInterrupt() { g_interrupts.fetch_add(1, std::memory_order_relaxed); }

void InstallInterruptHandler() { platform::SetInterruptHandler(&SignalInterrupt); }

std::uint32_t InterruptCount() { return g_interrupts.load(std::memory_order_relaxed); }

CInterruptWatcher::CInterruptWatcher(std::function<void()> on_interrupt)
    : on_interrupt_(std::move(on_interrupt)),
      seen_(InterruptCount()),
      thread_([this] { Watch(); }) {}

CInterruptWatcher::~CInterruptWatcher() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    quit_ = true;
  }
  quit_signal_.notify_one();
  thread_.join();
}

void CInterruptWatcher::Watch() {
  std::unique_lock<std::mutex> guard(lock_);
  while (!quit_signal_.wait_for(guard, kPollInterval, [this] { return quit_; })) {
    std::uint32_t count = InterruptCount();
    if (count == seen_) continue;
    seen_ = count;
    guard.unlock();
    on_interrupt_();
    guard.lock();
  }
}

}  // namespace cli
