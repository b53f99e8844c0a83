// CWinRegistry (see win_registry.h).
// Tested by tests/app/options_gui_test.cpp.
#include "app/win_registry.h"

#include <windows.h>

#include <string>
#include <vector>

namespace app {
namespace {

constexpr std::u16string_view kUserClasses = u"Software\\Classes\\";

HKEY RootKey(RegistryRoot root) {
  return root == RegistryRoot::kCurrentUser ? HKEY_CURRENT_USER : HKEY_CLASSES_ROOT;
}

std::wstring Wide(std::u16string_view text) {
  return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

bool ReadFrom(HKEY root, std::u16string_view key, std::u16string_view name, std::u16string& value) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root, Wide(key).c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) {
    return false;
  }
  const std::wstring value_name = Wide(name);
  DWORD type = 0, bytes = 0;
  LSTATUS status = RegQueryValueExW(opened, value_name.c_str(), nullptr, &type, nullptr, &bytes);
  std::vector<wchar_t> data(bytes / sizeof(wchar_t) + 1, L'\0');
  if (status == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
    status = RegQueryValueExW(opened, value_name.c_str(), nullptr, &type,
                              reinterpret_cast<BYTE*>(data.data()), &bytes);
  } else {
    status = ERROR_INVALID_DATA;
  }
  RegCloseKey(opened);
  if (status != ERROR_SUCCESS) return false;
  // The stored string need not end with its terminator.
  std::size_t length = bytes / sizeof(wchar_t);
  while (length > 0 && data[length - 1] == L'\0') --length;
  value.assign(reinterpret_cast<const char16_t*>(data.data()), length);
  return true;
}

}  // namespace

bool CWinRegistry::ReadString(RegistryRoot root, std::u16string_view key, std::u16string_view name,
                              std::u16string& value) {
  if (root == RegistryRoot::kClassesRoot) {
    // Windows shows the user's classes inside HKEY_CLASSES_ROOT; Wine 8 does
    // not, so they are read from where they are written.
    std::u16string user_key(kUserClasses);
    user_key += key;
    if (ReadFrom(HKEY_CURRENT_USER, user_key, name, value)) return true;
  }
  return ReadFrom(RootKey(root), key, name, value);
}

bool CWinRegistry::CreateKey(RegistryRoot root, std::u16string_view key) {
  HKEY created = nullptr;
  if (RegCreateKeyExW(RootKey(root), Wide(key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY, nullptr, &created,
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(created);
  return true;
}

bool CWinRegistry::WriteString(RegistryRoot root, std::u16string_view key, std::u16string_view name,
                               std::u16string_view value) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(RootKey(root), Wide(key).c_str(), 0, KEY_SET_VALUE, &opened) != ERROR_SUCCESS) {
    return false;
  }
  const std::wstring data = Wide(value);
  const LSTATUS status = RegSetValueExW(opened, Wide(name).c_str(), 0, REG_SZ,
                                        reinterpret_cast<const BYTE*>(data.c_str()),
                                        static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(opened);
  return status == ERROR_SUCCESS;
}

bool CWinRegistry::DeleteValue(RegistryRoot root, std::u16string_view key,
                               std::u16string_view name) {
  HKEY opened = nullptr;
  LSTATUS status = RegOpenKeyExW(RootKey(root), Wide(key).c_str(), 0, KEY_SET_VALUE, &opened);
  if (status == ERROR_FILE_NOT_FOUND) return true;
  if (status != ERROR_SUCCESS) return false;
  status = RegDeleteValueW(opened, Wide(name).c_str());
  RegCloseKey(opened);
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool CWinRegistry::DeleteTree(RegistryRoot root, std::u16string_view key) {
  const LSTATUS status = RegDeleteTreeW(RootKey(root), Wide(key).c_str());
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

}  // namespace app
