// Shell integration through the registry interface (see shell_integration.h).
// Tested by tests/app/logic/app_logic_test.cpp.
#include "app/logic/shell_integration.h"

namespace app {

std::u16string AutorunData(std::u16string_view exe) {
  return u"\"" + std::u16string(exe) + u"\" -autorun";
}

std::u16string ContextVerbData(std::u16string_view exe) {
  return u"\"" + std::u16string(exe) + u"\" \"%1\"";
}

bool ReadAutorun(IRegistry& registry, ShellIntegrationState& state) {
  std::u16string data;
  if (!registry.ReadString(RegistryRoot::kCurrentUser, kRunKey, kRunValue, data)) return false;
  state.autorun_command = data;
  return true;
}

bool WriteAutorun(IRegistry& registry, std::u16string_view exe, bool on,
                  ShellIntegrationState& state) {
  if (!registry.CreateKey(RegistryRoot::kCurrentUser, kRunKey)) return false;
  if (!on) {
    if (!registry.DeleteValue(RegistryRoot::kCurrentUser, kRunKey, kRunValue)) return false;
    state.autorun_command.clear();
    return true;
  }
  if (exe.empty()) return false;
  const std::u16string data = AutorunData(exe);
  if (!registry.WriteString(RegistryRoot::kCurrentUser, kRunKey, kRunValue, data)) return false;
  state.autorun_command = data;
  return true;
}

void ReadContextVerb(IRegistry& registry, ShellIntegrationState& state) {
  std::u16string data;
  if (registry.ReadString(RegistryRoot::kClassesRoot, kVerbCommandKey, u"", data)) {
    state.context_verb_installed = true;
  }
}

bool WriteContextVerb(IRegistry& registry, std::u16string_view exe, ShellIntegrationState& state) {
  if (exe.empty() || !registry.CreateKey(RegistryRoot::kCurrentUser, kUserVerbCommandKey)) {
    return false;
  }
  if (!registry.WriteString(RegistryRoot::kCurrentUser, kUserVerbCommandKey, u"",
                            ContextVerbData(exe))) {
    return false;
  }
  state.context_verb_installed = true;
  return true;
}

void RemoveContextVerb(IRegistry& registry, ShellIntegrationState& state) {
  const bool user_gone = registry.DeleteTree(RegistryRoot::kCurrentUser, kUserVerbKey);
  // One installed for every user goes too where the rights allow.
  const bool all_gone = registry.DeleteTree(RegistryRoot::kClassesRoot, kVerbKey);
  if (user_gone && all_gone) state.context_verb_installed = false;
}

void ApplyShellIntegration(IRegistry& registry, std::u16string_view exe, bool start_at_logon,
                           bool context_verb, ShellIntegrationState& state) {
  (void)WriteAutorun(registry, exe, start_at_logon, state);
  if (context_verb) {
    (void)WriteContextVerb(registry, exe, state);
  } else {
    RemoveContextVerb(registry, state);
  }
}

}  // namespace app
