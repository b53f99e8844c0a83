// The console front end's view of the terminal: UTF-8 arguments, Unicode
// output, the interactive question and Ctrl-C.
// Tested by tests/platform/console_test.cpp on both implementations.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The program's arguments as UTF-8 (Windows: CommandLineToArgvW on
// GetCommandLineW, so that characters outside the ANSI code page survive).
std::vector<std::string> CommandLineUtf8(int argc, char** argv);

enum class Stream { kOut, kErr };
// Writes UTF-8 text. A Windows console gets it as UTF-16 (WriteConsoleW); a
// redirected stream gets the UTF-8 bytes.
void WriteText(Stream stream, std::string_view utf8);
void FlushText(Stream stream);

bool StdinIsTerminal();
// Reads one line from standard input as UTF-8 without its line end; false at
// the end of input.
bool ReadLine(std::string& line);

// Calls `handler` (from a signal or console-control context: it must only do
// async-signal-safe work, such as setting an event) when the user presses
// Ctrl-C or Ctrl-Break, or the process is asked to end: SIGTERM and SIGHUP
// on POSIX; the console window closing, log-off and shut-down on Windows.
void SetInterruptHandler(void (*handler)());

}  // namespace platform
