// varnel-cli's read-only view of settings.xml.
#include "cli/cli_settings.h"

#include "platform/fs.h"
#include "storage/app_settings.h"

namespace cli {

std::u16string DefaultDataFolder() {
  std::u16string app_data = platform::AppDataFolder();
  if (app_data.empty()) return {};
  return app_data + platform::kPathSeparator + u"Varnel";
}

CliSettings LoadCliSettings(const std::u16string& data_folder) {
  AppSettings settings;
  if (!data_folder.empty()) settings.data_folder = DataFolderFromDir(data_folder);
  // Called without a file too: the record starts with empty extension tables,
  // and reading fills in the defaults for whatever the file lacks.
  LoadSettings(settings);
  CliSettings out;
  out.handlers = settings.HandlerSnapshot();
  out.skip_null_files = settings.treat_null_as_binary;
  return out;
}

}  // namespace cli
