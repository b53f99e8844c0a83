// POSIX stand-in for the console services of varnel-cli (console.h).
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "platform/console.h"

namespace platform {

std::vector<std::string> CommandLineUtf8(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

void WriteText(Stream stream, std::string_view utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stream == Stream::kOut ? stdout : stderr);
}

void FlushText(Stream stream) { std::fflush(stream == Stream::kOut ? stdout : stderr); }

bool StdinIsTerminal() { return ::isatty(0) == 1; }

bool ReadLine(std::string& line) {
  if (!std::getline(std::cin, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

namespace {
void (*g_interrupt_handler)() = nullptr;
void OnSignal(int) {
  if (g_interrupt_handler) g_interrupt_handler();
}
}  // namespace

void SetInterruptHandler(void (*handler)()) {
  g_interrupt_handler = handler;
  struct sigaction sa{};
  sa.sa_handler = OnSignal;
  sigemptyset(&sa.sa_mask);
  // A kill or a closed terminal stops the run like Ctrl-C, so that a file
  // being rewritten is finished or dropped cleanly, never left half-done.
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal_number, &sa, nullptr);
}

}  // namespace platform
