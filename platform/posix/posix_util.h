// Helpers shared by the POSIX stand-ins: path conversion and errno mapping.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace platform::posix {

std::string NativePath(std::u16string_view path);
std::u16string FromNative(std::string_view path);
// Maps an errno value onto the Win32 code the Windows call would report.
std::uint32_t Win32Error(int error_number);
// Records errno (mapped) as the calling thread's LastError and returns false.
bool Fail(int error_number);
void SetLastError(std::uint32_t code);
std::uint32_t LastErrorValue();

}  // namespace platform::posix
