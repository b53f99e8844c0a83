// Private header of the Win32 layer: the only place where its files include
// the system headers, and the boundary helpers (char16_t and wchar_t are the
// same 16-bit units under Windows, so text crosses by reinterpreting pointers).
#pragma once
#include <windows.h>
// clang-format off: the order matters, <windows.h> comes first.
#include <objbase.h>
#include <process.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
// clang-format on

// The system headers map these names to their ...W functions by macro. That
// would rename the platform functions of the same names, but only in the
// files that see the macros, and portable callers would then fail to link.
// Since every system header is included above, nothing defines them again.
#undef DeleteFile
#undef MoveFile
#undef GetFileAttributes
#undef SetFileAttributes
#undef GetLongPathName
#undef ReplaceFile
#undef PathMatchSpec

#include <string>
#include <string_view>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wchar_t is 16 bits");

namespace platform::win {

inline const wchar_t* W(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
inline wchar_t* W(char16_t* text) { return reinterpret_cast<wchar_t*>(text); }
inline const char16_t* U(const wchar_t* text) { return reinterpret_cast<const char16_t*>(text); }

// A zero-terminated copy for the API calls that take LPCWSTR: a string_view
// need not be terminated.
inline std::wstring Wz(std::u16string_view text) {
  return std::wstring(W(text.data()), text.size());
}
inline std::u16string FromW(const wchar_t* text) { return std::u16string(U(text)); }
inline std::u16string FromW(const wchar_t* text, std::size_t length) {
  return std::u16string(U(text), length);
}

}  // namespace platform::win
