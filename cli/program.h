// varnel-cli from arguments to exit code, with the console and the terminal
// passed in. Tested by tests/cli/program_test.cpp and end_to_end_test.cpp.
#pragma once
#include <string>
#include <vector>

#include "cli/output.h"
#include "cli/read_only_question.h"

namespace cli {

struct ProgramIo {
  IOutputSink& sink;
  IReadOnlyQuestion& question;
  bool stdin_is_terminal = false;
};

// Exit codes: 0 found, 1 none found, 2 refused arguments or criteria (or no
// temporary folder), 3 a replace run failed to rewrite a found file, 130
// stopped by Ctrl-C.
int RunProgram(const std::vector<std::string>& args, ProgramIo io);

}  // namespace cli
