// Win32 events and the worker thread that runs a search, with COM
// initialised on it for the document filters.
// Tested by tests/platform/sync_test.cpp.

#include <cstdlib>
#include <utility>

#include "platform/sync.h"
#include "platform/win/wide.h"  // the system headers, without their name macros

namespace platform {

struct Event::Impl {
  HANDLE handle = nullptr;
};

Event::Event(bool manual_reset) : impl_(std::make_unique<Impl>()) {
  impl_->handle = CreateEventW(nullptr, manual_reset ? TRUE : FALSE, FALSE, nullptr);
  // Without its event a search could never be stopped; running on would be
  // worse than stopping here.
  if (!impl_->handle) std::abort();
}

Event::~Event() { CloseHandle(impl_->handle); }

void Event::Set() { SetEvent(impl_->handle); }
void Event::Reset() { ResetEvent(impl_->handle); }

bool Event::Wait(std::uint32_t milliseconds) {
  static_assert(kInfinite == INFINITE);
  return WaitForSingleObject(impl_->handle, milliseconds) == WAIT_OBJECT_0;
}

void* Event::native_handle() const { return impl_->handle; }

struct WorkerThread::Impl {
  HANDLE thread = nullptr;
  std::function<void()> body;
};

namespace {

// _beginthreadex rather than CreateThread: it sets up the C runtime's
// per-thread data, which CreateThread leaves to first use.
unsigned __stdcall WorkerMain(void* argument) {
  auto* impl = static_cast<std::function<void()>*>(argument);
  // Document filters are COM objects; each worker initialises its own
  // apartment. A failed initialisation is not balanced by an uninitialise.
  HRESULT hr = CoInitialize(nullptr);
  // An exception escaping the body ends the program, as it would with
  // std::thread, rather than unwinding into the system's thread start.
  [impl]() noexcept { (*impl)(); }();
  if (SUCCEEDED(hr)) CoUninitialize();
  return 0;
}

}  // namespace

WorkerThread::WorkerThread() : impl_(std::make_unique<Impl>()) {}

WorkerThread::~WorkerThread() {
  // Joining here keeps the body (owned by impl_) alive while the thread
  // runs, should a caller forget to join.
  Join();
}

bool WorkerThread::Start(std::function<void()> body) {
  if (Joinable()) return false;
  impl_->body = std::move(body);
  unsigned id = 0;
  std::uintptr_t handle = _beginthreadex(nullptr, 0, WorkerMain, &impl_->body, 0, &id);
  if (handle == 0) {
    impl_->body = nullptr;
    return false;
  }
  impl_->thread = reinterpret_cast<HANDLE>(handle);
  return true;
}

void WorkerThread::Join() {
  if (!impl_->thread) return;
  WaitForSingleObject(impl_->thread, INFINITE);
  CloseHandle(impl_->thread);
  impl_->thread = nullptr;
  impl_->body = nullptr;
}

bool WorkerThread::Joinable() const { return impl_->thread != nullptr; }

void DebugOutput(const char16_t* text) { OutputDebugStringW(win::W(text)); }

}  // namespace platform
