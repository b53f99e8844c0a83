// varnel-cli's flow. Tested by tests/cli/program_test.cpp.
#include "cli/program.h"

#include "cli/cli_options.h"
#include "cli/cli_run.h"
#include "cli/cli_settings.h"
#include "cli/interrupt.h"
#include "cli/temp_folder.h"
#include "engine/document_finders.h"
#include "platform/text.h"

namespace cli {
namespace {

constexpr int kExitRefused = 2;

int Refuse(IOutputSink& sink, const std::string& message) {
  sink.Write(platform::Stream::kErr, std::string(kProgramName) + ": " + message + "\n");
  sink.Flush(platform::Stream::kErr);
  return kExitRefused;
}

RunRequest MakeRequest(const CliOptions& options, FileFindParamsIn params, bool stdin_is_terminal,
                       const CliSettings& settings) {
  RunRequest request;
  request.params = std::move(params);
  request.params.skip_null_files = settings.skip_null_files;
  // Nobody can answer the question without a terminal.
  if (request.params.replace_read_only == ReadOnlyAction::kAsk && !stdin_is_terminal)
    request.params.replace_read_only = ReadOnlyAction::kSkip;
  request.handlers = settings.handlers;
  request.replace = options.replace.has_value();
  request.json = options.json;
  request.matches = options.matches;
  request.max_matches = options.max_matches;
  request.jobs = options.jobs;
  return request;
}

}  // namespace

int RunProgram(const std::vector<std::string>& args, ProgramIo io) {
  CliOptions options;
  ParseResult parsed = ParseCommandLine(args, options);
  switch (parsed.status) {
    case ParseStatus::kHelp:
    case ParseStatus::kVersion:
      io.sink.Write(platform::Stream::kOut, parsed.text);
      io.sink.Flush(platform::Stream::kOut);
      return 0;
    case ParseStatus::kUsageError: return Refuse(io.sink, parsed.text);
    case ParseStatus::kRun: break;
  }
  FileFindParamsIn params;
  std::u16string message;
  if (!BuildRunParams(options, params, message)) return Refuse(io.sink, platform::ToUtf8(message));

  std::u16string data_folder =
      options.data_dir.empty() ? DefaultDataFolder() : platform::PathFromBytes(options.data_dir);
  RunRequest request =
      MakeRequest(options, std::move(params), io.stdin_is_terminal, LoadCliSettings(data_folder));
  CTempFolder temp_folder;
  if (!temp_folder.Create()) return Refuse(io.sink, "cannot create a temporary folder");
  // Converted document text goes there instead of the folder Varnel shares.
  SetDocumentTempFolder(temp_folder.path());

  CCliRun run(io.sink, io.question);
  RunOutcome outcome;
  {
    CInterruptWatcher watcher([&run] { run.Cancel(); });
    outcome = run.Run(request);
  }
  SetDocumentTempFolder({});
  return ExitCode(outcome);
}

}  // namespace cli
