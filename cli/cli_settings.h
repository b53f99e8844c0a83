// The options varnel-cli takes from the program's settings.xml: the handler
// tables and the NUL-character rule. It only reads the data folder.
#pragma once
#include <string>

#include "engine/handler_table.h"

namespace cli {

struct CliSettings {
  HandlerSettings handlers;
  bool skip_null_files = true;  // the option treat_null_as_binary
};

// The per-user data folder (AppDataFolder() + separator + "Varnel"); empty
// when the system does not say where application data lives.
std::u16string DefaultDataFolder();

// Reads settings.xml from `data_folder`; defaults for whatever is missing.
CliSettings LoadCliSettings(const std::u16string& data_folder);

}  // namespace cli
