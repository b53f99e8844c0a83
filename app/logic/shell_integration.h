// Start at log-on and the folder verb in the file manager's context menu:
// the registry data they write, and reading and writing them through a small
// registry interface (the Windows program passes the real registry, tests a
// fake that records what it is asked).
// Tested by tests/app/logic/app_logic_test.cpp.
#pragma once
#include <string>
#include <string_view>

namespace app {

enum class RegistryRoot { kCurrentUser, kClassesRoot };

class IRegistry {
 public:
  virtual ~IRegistry() = default;
  // A string value; `name` empty is the key's default value. False when the
  // key or the value is missing or not a string.
  [[nodiscard]] virtual bool ReadString(RegistryRoot root, std::u16string_view key,
                                        std::u16string_view name, std::u16string& value) = 0;
  // Opens the key for writing, creating it and its parents when missing.
  [[nodiscard]] virtual bool CreateKey(RegistryRoot root, std::u16string_view key) = 0;
  [[nodiscard]] virtual bool WriteString(RegistryRoot root, std::u16string_view key,
                                         std::u16string_view name, std::u16string_view value) = 0;
  // True when the value is gone afterwards, also when it never existed.
  virtual bool DeleteValue(RegistryRoot root, std::u16string_view key,
                           std::u16string_view name) = 0;
  // The key with all its subkeys; true when it is gone afterwards.
  virtual bool DeleteTree(RegistryRoot root, std::u16string_view key) = 0;
};

inline constexpr std::u16string_view kRunKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr std::u16string_view kRunValue = u"Varnel";
// The verb's display text is its key's name. It is written to the user's
// own classes (which the merged classes root shows), so that no
// administrator rights are needed; it is read through the merged root, which
// also shows one installed for every user.
inline constexpr std::u16string_view kUserVerbKey =
    u"Software\\Classes\\Folder\\shell\\Search with Varnel...";
inline constexpr std::u16string_view kUserVerbCommandKey =
    u"Software\\Classes\\Folder\\shell\\Search with Varnel...\\command";
inline constexpr std::u16string_view kVerbKey = u"Folder\\shell\\Search with Varnel...";
inline constexpr std::u16string_view kVerbCommandKey =
    u"Folder\\shell\\Search with Varnel...\\command";

// The program's path in double quotes, a blank and -autorun.
std::u16string AutorunData(std::u16string_view exe);
// The program's path in double quotes, a blank and "%1" in double quotes.
std::u16string ContextVerbData(std::u16string_view exe);

struct ShellIntegrationState {
  std::u16string autorun_command;  // the log-on value's data; empty when off
  bool context_verb_installed = false;
  bool operator==(const ShellIntegrationState&) const = default;
};

// Each leaves `state` as it was when the registry refuses (failures are
// silent; the options page shows the state next time).
bool ReadAutorun(IRegistry& registry, ShellIntegrationState& state);
[[nodiscard]] bool WriteAutorun(IRegistry& registry, std::u16string_view exe, bool on,
                                ShellIntegrationState& state);
void ReadContextVerb(IRegistry& registry, ShellIntegrationState& state);
[[nodiscard]] bool WriteContextVerb(IRegistry& registry, std::u16string_view exe,
                                    ShellIntegrationState& state);
void RemoveContextVerb(IRegistry& registry, ShellIntegrationState& state);

// The options' General page applied: both hooks are written again from its
// two check boxes.
void ApplyShellIntegration(IRegistry& registry, std::u16string_view exe, bool start_at_logon,
                           bool context_verb, ShellIntegrationState& state);

}  // namespace app
