// Started by console_win_test.cpp: echoes its arguments (as CommandLineUtf8
// gives them) and its input lines (as ReadLine gives them) to standard output,
// and whether standard input is a terminal.
#include "platform/console.h"

int main(int argc, char** argv) {
  using platform::Stream;
  std::vector<std::string> args = platform::CommandLineUtf8(argc, argv);
  for (std::size_t i = 1; i < args.size(); ++i)
    platform::WriteText(Stream::kOut, "arg:" + args[i] + "\n");
  platform::WriteText(Stream::kOut, platform::StdinIsTerminal() ? "tty:1\n" : "tty:0\n");
  std::string line;
  while (platform::ReadLine(line)) platform::WriteText(Stream::kOut, "line:" + line + "\n");
  platform::WriteText(Stream::kErr, "done\n");
  platform::FlushText(Stream::kOut);
  return 0;
}
