// Starting an external program and waiting for it: the PDF converter.
// Tested by tests/platform/process_test.cpp on both implementations.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sync.h"

namespace platform {

// A child process (ShellExecuteExW with SEE_MASK_NOCLOSEPROCESS and a hidden
// window on Windows; fork/exec on POSIX).
class ChildProcess {
 public:
  enum class WaitResult { kExited, kTimedOut, kStopped, kFailed };

  ChildProcess();
  ~ChildProcess();  // does not end a running child; call Terminate first
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // `parameters` is one command-line text as ShellExecuteExW takes it: blanks
  // separate arguments, double quotes group them. False when the program could
  // not be started; error() tells why.
  [[nodiscard]] bool Start(std::u16string_view program, std::u16string_view parameters);
  // Waits until the child ends, `milliseconds` pass, or `stop` (when given) is
  // signalled, whichever comes first.
  WaitResult Wait(std::uint32_t milliseconds, Event* stop = nullptr);
  // Ends the child at once and reaps it.
  void Terminate();
  std::uint32_t exit_code() const { return exit_code_; }
  std::uint32_t error() const { return error_; }

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  std::uint32_t exit_code_ = 0;
  std::uint32_t error_ = 0;
};

// Splits a parameter text into arguments by the rules above (used by the
// POSIX stand-in; pure, so tested everywhere).
std::vector<std::u16string> SplitParameters(std::u16string_view parameters);

}  // namespace platform
