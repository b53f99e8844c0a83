// Private header of the Win32 layer: includes <windows.h> safely and holds the
// boundary helpers (char16_t and wchar_t are the same 16-bit units under
// Windows, so text crosses by reinterpreting pointers).
#pragma once
#include <windows.h>

// <windows.h> maps these names to their ...W functions by macro, which would
// rename the platform functions of the same names in this layer only, and
// the portable callers would then fail to link.
#undef DeleteFile
#undef MoveFile
#undef GetFileAttributes
#undef SetFileAttributes
#undef GetLongPathName
#undef ReplaceFile

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
