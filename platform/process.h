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

  // Each of `arguments` reaches the child as exactly one argument, whatever
  // blanks, quotes, backslashes or line ends it holds. POSIX passes them as
  // the argument vector of execv, never through one text; Windows writes the
  // parameter text of ShellExecuteExW by the rules that CommandLineToArgvW
  // and the C runtime use to split it again (QuoteArgument). False when the
  // program could not be started; error() tells why.
  [[nodiscard]] bool Start(std::u16string_view program,
                           const std::vector<std::u16string>& arguments);
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

// One argument of a Windows command line, quoted so that CommandLineToArgvW
// and the C runtime read it back unchanged: left alone when it holds no blank,
// tab, line end or quote and is not empty; otherwise enclosed in quotes, a
// quote inside escaped with a backslash, and the backslashes before a quote
// or the closing quote doubled. Pure, so tested on every platform.
std::u16string QuoteArgument(std::u16string_view argument);
// The arguments quoted and joined by blanks.
std::u16string JoinArguments(const std::vector<std::u16string>& arguments);

}  // namespace platform
