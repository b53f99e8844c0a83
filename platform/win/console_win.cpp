// Win32 console for varnel-cli: UTF-8 arguments from CommandLineToArgvW,
// Unicode output through WriteConsoleW, line input and Ctrl-C.
// Tested by tests/platform/console_test.cpp and tests/platform/console_win_test.cpp.

#include <atomic>

#include "platform/console.h"
#include "platform/text.h"
#include "platform/win/wide.h"  // the system headers, without their name macros

namespace platform {
namespace {

HANDLE StreamHandle(Stream stream) {
  return GetStdHandle(stream == Stream::kOut ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

void WriteConsoleText(HANDLE handle, std::u16string_view text) {
  // Large single writes to a console can fail for lack of the console's
  // shared buffer; pieces of a few thousand units always fit. A surrogate
  // pair is never split between two writes.
  constexpr std::size_t kPiece = 8192;
  while (!text.empty()) {
    std::size_t size = text.size() < kPiece ? text.size() : kPiece;
    if (size < text.size() && text[size - 1] >= 0xD800 && text[size - 1] <= 0xDBFF) --size;
    DWORD written = 0;
    if (!WriteConsoleW(handle, win::W(text.data()), static_cast<DWORD>(size), &written, nullptr) ||
        written == 0) {
      return;
    }
    text.remove_prefix(written);
  }
}

void WriteBytes(HANDLE handle, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    if (!WriteFile(handle, bytes.data(),
                   static_cast<DWORD>(bytes.size() > 0x10000000u ? 0x10000000u : bytes.size()),
                   &written, nullptr) ||
        written == 0) {
      return;  // a closed pipe: the reader is gone, nothing to tell it
    }
    bytes.remove_prefix(written);
  }
}

std::string WideToUtf8(const wchar_t* text) { return ToUtf8(win::U(text)); }

std::atomic<void (*)()> g_interrupt_handler{nullptr};

// Runs on a thread that the system creates for the event, not on the main
// thread.
BOOL WINAPI ConsoleCtrlHandler(DWORD type) {
  void (*handler)() = g_interrupt_handler.load();
  if (!handler) return FALSE;
  switch (type) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
      handler();
      return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      // The system ends the process as soon as this returns: give the run
      // time to drop the file it is rewriting. The process usually exits
      // before the wait is over, which ends it.
      handler();
      Sleep(4000);
      return TRUE;
    default:
      return FALSE;
  }
}

// Text read ahead of the line being returned.
std::string g_pending_bytes;
std::u16string g_pending_console;
bool g_input_ended = false;

bool TakeLine(std::string& pending, std::string& line) {
  std::size_t end = pending.find('\n');
  if (end == std::string::npos) return false;
  line.assign(pending, 0, end);
  pending.erase(0, end + 1);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

bool ReadConsoleLine(HANDLE input, std::string& line) {
  for (;;) {
    std::size_t end = g_pending_console.find(u'\n');
    if (end != std::u16string::npos) {
      std::u16string text = g_pending_console.substr(0, end);
      g_pending_console.erase(0, end + 1);
      if (!text.empty() && text.back() == u'\r') text.pop_back();
      line = ToUtf8(text);
      return true;
    }
    wchar_t buffer[1024];
    DWORD read = 0;
    if (g_input_ended || !ReadConsoleW(input, buffer, 1024, &read, nullptr) || read == 0) {
      g_input_ended = true;
      if (g_pending_console.empty()) return false;
      line = ToUtf8(g_pending_console);
      g_pending_console.clear();
      return true;
    }
    g_pending_console.append(win::U(buffer), read);
  }
}

bool ReadByteLine(HANDLE input, std::string& line) {
  for (;;) {
    if (TakeLine(g_pending_bytes, line)) return true;
    char buffer[4096];
    DWORD read = 0;
    // End of a pipe shows as ERROR_BROKEN_PIPE, end of a file as 0 bytes.
    if (g_input_ended || !ReadFile(input, buffer, sizeof buffer, &read, nullptr) || read == 0) {
      g_input_ended = true;
      if (g_pending_bytes.empty()) return false;
      line.swap(g_pending_bytes);
      g_pending_bytes.clear();
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return true;
    }
    g_pending_bytes.append(buffer, read);
  }
}

}  // namespace

std::vector<std::string> CommandLineUtf8(int argc, char** argv) {
  std::vector<std::string> args;
  int count = 0;
  // argv went through the ANSI code page and lost every character outside
  // it; the wide command line still has them.
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide) {
    for (int i = 0; i < count; ++i) args.push_back(WideToUtf8(wide[i]));
    LocalFree(wide);
    return args;
  }
  for (int i = 0; i < argc; ++i) args.emplace_back(argv[i]);
  return args;
}

void WriteText(Stream stream, std::string_view utf8) {
  HANDLE handle = StreamHandle(stream);
  if (!handle || handle == INVALID_HANDLE_VALUE) return;
  // A console shows UTF-16 through WriteConsoleW whatever its code page; a
  // file or pipe gets the bytes unchanged.
  if (IsConsole(handle)) {
    WriteConsoleText(handle, FromUtf8(utf8));
  } else {
    WriteBytes(handle, utf8);
  }
}

// Output is written through to the handle at once; there is nothing to flush.
void FlushText(Stream) {}

bool StdinIsTerminal() { return IsConsole(GetStdHandle(STD_INPUT_HANDLE)); }

bool ReadLine(std::string& line) {
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  if (!input || input == INVALID_HANDLE_VALUE) return false;
  if (IsConsole(input)) return ReadConsoleLine(input, line);
  return ReadByteLine(input, line);
}

void SetInterruptHandler(void (*handler)()) {
  static bool installed = false;
  g_interrupt_handler.store(handler);
  if (!installed) installed = SetConsoleCtrlHandler(ConsoleCtrlHandler, TRUE) != FALSE;
}

}  // namespace platform
