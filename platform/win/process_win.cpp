// Win32 child process for the PDF converter: ShellExecuteExW with a hidden
// window, and a wait that the search's stop event can cut short.
// Tested by tests/platform/process_test.cpp.

#include "platform/fs.h"
#include "platform/process.h"
#include "platform/win/wide.h"  // the system headers, without their name macros

namespace platform {

struct ChildProcess::Impl {
  HANDLE process = nullptr;
};

ChildProcess::ChildProcess() : impl_(std::make_unique<Impl>()) {}

ChildProcess::~ChildProcess() {
  if (impl_->process) CloseHandle(impl_->process);
}

bool ChildProcess::Start(std::u16string_view program,
                         const std::vector<std::u16string>& arguments) {
  if (impl_->process) {
    CloseHandle(impl_->process);
    impl_->process = nullptr;
  }
  exit_code_ = 0;
  std::wstring file = win::Wz(ExtendedLengthPath(program));
  // The child's C runtime (or CommandLineToArgvW) splits this text again;
  // QuoteArgument writes it so that it splits into exactly `arguments`.
  std::wstring params = win::Wz(JoinArguments(arguments));
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  // NOCLOSEPROCESS returns the process handle to wait on; FLAG_NO_UI keeps
  // the shell from showing its own error boxes from a worker thread.
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  info.lpVerb = L"open";
  info.lpFile = file.c_str();
  info.lpParameters = params.c_str();
  info.nShow = SW_HIDE;
  if (!ShellExecuteExW(&info)) {
    error_ = GetLastError();
    if (error_ == 0) error_ = ERROR_FILE_NOT_FOUND;
    return false;
  }
  // The shell may hand a document to a program that is already running and
  // give no process handle; there is then nothing to wait for.
  if (!info.hProcess) {
    error_ = ERROR_INVALID_HANDLE;
    return false;
  }
  impl_->process = info.hProcess;
  error_ = 0;
  return true;
}

ChildProcess::WaitResult ChildProcess::Wait(std::uint32_t milliseconds, Event* stop) {
  if (!impl_->process) {
    error_ = ERROR_INVALID_HANDLE;
    return WaitResult::kFailed;
  }
  HANDLE handles[2] = {impl_->process, stop ? static_cast<HANDLE>(stop->native_handle()) : nullptr};
  DWORD count = stop ? 2 : 1;
  // The process comes first: when it ends and the stop event is set in the
  // same instant, the finished conversion is kept.
  DWORD result = WaitForMultipleObjects(count, handles, FALSE, milliseconds);
  if (result == WAIT_OBJECT_0) {
    DWORD code = 0;
    if (!GetExitCodeProcess(impl_->process, &code)) {
      error_ = GetLastError();
      return WaitResult::kFailed;
    }
    exit_code_ = code;
    return WaitResult::kExited;
  }
  if (result == WAIT_OBJECT_0 + 1) return WaitResult::kStopped;
  if (result == WAIT_TIMEOUT) return WaitResult::kTimedOut;
  error_ = GetLastError();
  return WaitResult::kFailed;
}

void ChildProcess::Terminate() {
  if (!impl_->process) return;
  // TerminateProcess only starts the end; the wait makes sure the child no
  // longer holds its output file open when the caller deletes it.
  TerminateProcess(impl_->process, 1);
  WaitForSingleObject(impl_->process, INFINITE);
  DWORD code = 0;
  if (GetExitCodeProcess(impl_->process, &code)) exit_code_ = code;
  CloseHandle(impl_->process);
  impl_->process = nullptr;
}

}  // namespace platform
