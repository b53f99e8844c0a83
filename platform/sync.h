// Threads and synchronisation: the auto-reset event that stops a search and
// the worker thread that runs one.
// Tested by tests/platform/sync_test.cpp on both implementations.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>

namespace platform {

// An event (CreateEventW). Auto-reset by default: one Set releases one wait
// or one poll, then the event is non-signalled again.
class Event {
 public:
  explicit Event(bool manual_reset = false);
  ~Event();
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;

  void Set();
  void Reset();
  // Waits up to `milliseconds` (kInfinite: no limit); true when signalled.
  // A zero time-out polls.
  bool Wait(std::uint32_t milliseconds);
  bool Poll() { return Wait(0); }

  static constexpr std::uint32_t kInfinite = 0xFFFFFFFFu;

  // The Win32 event handle (nullptr on POSIX), for waits on several objects.
  void* native_handle() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// A worker thread (_beginthreadex on Windows, with COM initialised on it for
// the document filters; std::thread on POSIX). Join must be called before
// destruction of a started thread.
class WorkerThread {
 public:
  WorkerThread();
  ~WorkerThread();
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  [[nodiscard]] bool Start(std::function<void()> body);
  // Waits without a time limit; does nothing when no thread runs.
  void Join();
  bool Joinable() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Writes a line to the debugger output (OutputDebugStringW); nothing on POSIX.
void DebugOutput(const char16_t* text);

}  // namespace platform
