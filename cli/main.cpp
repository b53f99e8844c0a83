// varnel-cli: the console front end over the search engine. The work is in
// program.cpp; this only connects it to the real console.
#include "cli/interrupt.h"
#include "cli/output.h"
#include "cli/program.h"
#include "cli/read_only_question.h"
#include "platform/console.h"

int main(int argc, char** argv) {
  cli::InstallInterruptHandler();
  cli::CConsoleSink sink;
  cli::CTerminalQuestion question;
  return cli::RunProgram(platform::CommandLineUtf8(argc, argv),
                         {sink, question, platform::StdinIsTerminal()});
}
