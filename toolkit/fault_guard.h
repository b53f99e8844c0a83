// The fault rule of every window and dialog procedure: a processor fault
// inside one shows "Runtime error (code = 0x%x)!" and aborts the process.
// Tested by tests/toolkit/toolkit_gui_test.cpp (through a child process).
#pragma once
#include <windows.h>

#include <stdexcept>

// Marks the calling thread as running a window or dialog procedure for as
// long as the object lives. Scopes nest (SendMessage from inside a handler).
// The first scope of the process installs the fault handler.
class CFaultScope {
 public:
  CFaultScope();
  ~CFaultScope();
  CFaultScope(const CFaultScope&) = delete;
  CFaultScope& operator=(const CFaultScope&) = delete;
};

// An error a handler raises on purpose (SetText's failure); the shared
// procedures treat it like a fault, reporting `code`.
class CWindowError : public std::runtime_error {
 public:
  CWindowError(const char* what, DWORD code) : std::runtime_error(what), code_(code) {}
  DWORD Code() const { return code_; }

 private:
  DWORD code_;
};

// The code reported for a C++ exception of another kind that escapes a
// handler (the code Windows gives C++ exceptions of other compilers).
inline constexpr DWORD kCppExceptionCode = 0xE06D7363;

// True for the exception codes of processor faults (access violation, illegal
// or privileged instruction, divisions by zero, stack overflow and the like),
// false for software exceptions, breakpoints and C++ throws.
bool IsProcessorFault(DWORD code);

// Shows the runtime error box without owner or caption and aborts without the
// runtime's own abort message. The box is shown from a fresh thread: the
// faulting thread may have next to no stack left.
[[noreturn]] void ReportRuntimeErrorAndAbort(DWORD code);

// Runs `handler` (a window procedure's body) under the fault rule: inside a
// CFaultScope, with C++ exceptions stopped before they unwind through the
// system's frames that called the procedure.
template <typename Handler>
auto RunGuarded(Handler&& handler) -> decltype(handler()) {
  CFaultScope scope;
  try {
    return handler();
  } catch (const CWindowError& error) {
    ReportRuntimeErrorAndAbort(error.Code());
  } catch (...) {
    ReportRuntimeErrorAndAbort(kCppExceptionCode);
  }
}
