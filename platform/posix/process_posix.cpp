// POSIX stand-in for starting the PDF converter and waiting for it
// (process.h): fork and exec, with a close-on-exec pipe that tells whether
// exec itself failed.
// Tested by tests/platform/process_test.cpp.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <vector>

#include "platform/posix/posix_util.h"
#include "platform/process.h"
#include "platform/text.h"
#include "platform/types.h"

namespace platform {

struct ChildProcess::Impl {
  pid_t pid = -1;
};

ChildProcess::ChildProcess() : impl_(std::make_unique<Impl>()) {}
ChildProcess::~ChildProcess() = default;

bool ChildProcess::Start(std::u16string_view program,
                         const std::vector<std::u16string>& arguments) {
  // Each argument goes to the child as it is: no text is split again, so a
  // name with quotes or blanks cannot become several arguments. Names travel
  // as their bytes (see posix::ToNative), as the child sees them on disk.
  std::vector<std::string> args(1);
  if (!posix::ToNative(program, args[0])) {
    error_ = err::invalid_name;
    return false;
  }
  for (const auto& a : arguments) {
    if (!posix::ToNative(a, args.emplace_back())) {
      error_ = err::invalid_name;
      return false;
    }
  }
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  int pipe_fds[2];
  if (::pipe2(pipe_fds, O_CLOEXEC) != 0) {
    error_ = posix::Win32Error(errno);
    return false;
  }
  pid_t pid = ::fork();
  if (pid < 0) {
    error_ = posix::Win32Error(errno);
    ::close(pipe_fds[0]);
    ::close(pipe_fds[1]);
    return false;
  }
  if (pid == 0) {
    int devnull = ::open("/dev/null", O_RDWR);
    if (devnull >= 0) {
      ::dup2(devnull, 0);
      ::dup2(devnull, 1);
    }
    ::execv(argv[0], argv.data());
    int e = errno;
    ssize_t ignored = ::write(pipe_fds[1], &e, sizeof e);
    (void)ignored;
    ::_exit(127);
  }
  ::close(pipe_fds[1]);
  int child_errno = 0;
  ssize_t n;
  do n = ::read(pipe_fds[0], &child_errno, sizeof child_errno);
  while (n < 0 && errno == EINTR);
  ::close(pipe_fds[0]);
  if (n == sizeof child_errno) {
    ::waitpid(pid, nullptr, 0);
    error_ = posix::Win32Error(child_errno);
    return false;
  }
  impl_->pid = pid;
  error_ = 0;
  return true;
}

ChildProcess::WaitResult ChildProcess::Wait(std::uint32_t milliseconds, Event* stop) {
  if (impl_->pid < 0) return WaitResult::kFailed;
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
  // No portable way to wait on a child and a condition variable together: poll
  // the child and wait on the stop event in short slices.
  while (true) {
    int status = 0;
    pid_t r = ::waitpid(impl_->pid, &status, WNOHANG);
    if (r == impl_->pid) {
      impl_->pid = -1;
      exit_code_ = WIFEXITED(status) ? static_cast<std::uint32_t>(WEXITSTATUS(status)) : 1u;
      return WaitResult::kExited;
    }
    if (r < 0 && errno != EINTR) {
      error_ = posix::Win32Error(errno);
      return WaitResult::kFailed;
    }
    auto now = Clock::now();
    if (milliseconds != Event::kInfinite && now >= deadline) return WaitResult::kTimedOut;
    std::uint32_t slice = 10;
    if (stop) {
      if (stop->Wait(slice)) return WaitResult::kStopped;
    } else {
      ::poll(nullptr, 0, static_cast<int>(slice));
    }
  }
}

void ChildProcess::Terminate() {
  if (impl_->pid < 0) return;
  ::kill(impl_->pid, SIGKILL);
  ::waitpid(impl_->pid, nullptr, 0);
  impl_->pid = -1;
  exit_code_ = 1;
}

}  // namespace platform
