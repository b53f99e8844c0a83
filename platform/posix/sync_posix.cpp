// POSIX stand-in for the Windows event and worker thread (sync.h).
// Tested by tests/platform/sync_test.cpp.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/sync.h"

namespace platform {

struct Event::Impl {
  std::mutex lock;
  std::condition_variable changed;
  // Changed under `lock`; read without it by polls, which content workers
  // make at every piece.
  std::atomic<bool> signalled{false};
  bool manual_reset = false;
};

Event::Event(bool manual_reset) : impl_(std::make_unique<Impl>()) {
  impl_->manual_reset = manual_reset;
}
Event::~Event() = default;

void Event::Set() {
  {
    std::lock_guard<std::mutex> guard(impl_->lock);
    impl_->signalled = true;
  }
  impl_->changed.notify_all();
}

void Event::Reset() {
  std::lock_guard<std::mutex> guard(impl_->lock);
  impl_->signalled = false;
}

bool Event::Wait(std::uint32_t milliseconds) {
  // A poll must not sleep, nor take the lock: wait_for with a zero time-out
  // still makes a futex call, and the walk polls between every two entries.
  if (milliseconds == 0 && impl_->manual_reset) return impl_->signalled.load();
  std::unique_lock<std::mutex> guard(impl_->lock);
  if (milliseconds == 0) return impl_->signalled.exchange(false);
  auto ready = [this] { return impl_->signalled.load(); };
  if (milliseconds == kInfinite) {
    impl_->changed.wait(guard, ready);
  } else if (!impl_->changed.wait_for(guard, std::chrono::milliseconds(milliseconds), ready)) {
    return false;
  }
  if (!impl_->manual_reset) impl_->signalled = false;
  return true;
}

void* Event::native_handle() const { return nullptr; }

struct WorkerThread::Impl {
  std::thread thread;
};

WorkerThread::WorkerThread() : impl_(std::make_unique<Impl>()) {}
WorkerThread::~WorkerThread() { Join(); }

bool WorkerThread::Start(std::function<void()> body) {
  if (impl_->thread.joinable()) return false;
  try {
    impl_->thread = std::thread(std::move(body));
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

void WorkerThread::Join() {
  if (impl_->thread.joinable()) impl_->thread.join();
}

bool WorkerThread::Joinable() const { return impl_->thread.joinable(); }

void DebugOutput(const char16_t*) {}

}  // namespace platform
