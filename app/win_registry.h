// CWinRegistry: the registry interface of the shell hooks over the real
// registry of the current user.
// Tested by tests/app/options_gui_test.cpp (under the test's Wine prefix).
#pragma once
#include "app/logic/shell_integration.h"

namespace app {

class CWinRegistry : public IRegistry {
 public:
  // The classes root is read as Windows merges it: the user's own classes
  // (HKEY_CURRENT_USER\Software\Classes) first, then HKEY_CLASSES_ROOT.
  bool ReadString(RegistryRoot root, std::u16string_view key, std::u16string_view name,
                  std::u16string& value) override;
  bool CreateKey(RegistryRoot root, std::u16string_view key) override;
  bool WriteString(RegistryRoot root, std::u16string_view key, std::u16string_view name,
                   std::u16string_view value) override;
  bool DeleteValue(RegistryRoot root, std::u16string_view key, std::u16string_view name) override;
  bool DeleteTree(RegistryRoot root, std::u16string_view key) override;
};

}  // namespace app
