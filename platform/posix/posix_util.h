// Helpers shared by the POSIX stand-ins: path conversion and errno mapping.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace platform::posix {

// Names and paths: UTF-16 to the system's bytes and back, losslessly (bytes
// that are not UTF-8 travel as lone surrogates U+DC80..U+DCFF). ToNative is
// false for a UTF-16 text that no name's bytes decode to (another lone
// surrogate, a NUL); NativePath then gives "", which names nothing, and
// Native records err::invalid_name as the thread's LastError.
[[nodiscard]] bool ToNative(std::u16string_view path, std::string& out);
[[nodiscard]] bool Native(std::u16string_view path, std::string& out);
std::string NativePath(std::u16string_view path);
std::u16string FromNative(std::string_view path);
// Maps an errno value onto the Win32 code the Windows call would report.
std::uint32_t Win32Error(int error_number);
// Records errno (mapped) as the calling thread's LastError and returns false.
bool Fail(int error_number);
void SetLastError(std::uint32_t code);
std::uint32_t LastErrorValue();

}  // namespace platform::posix
