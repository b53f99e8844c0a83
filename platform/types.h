// Basic types shared by every layer: file times, attribute bits, error codes.
#pragma once
#include <cstdint>

namespace platform {

// A FILETIME: 100-nanosecond intervals since 1601-01-01 00:00:00 UTC.
using FileTime = std::uint64_t;

// Attribute bits, with the values of the Win32 FILE_ATTRIBUTE_* constants so
// that they can be stored and compared the same way on every platform.
namespace attr {
inline constexpr std::uint32_t read_only = 0x1;
inline constexpr std::uint32_t hidden = 0x2;
inline constexpr std::uint32_t directory = 0x10;
inline constexpr std::uint32_t device = 0x40;  // not a file, folder or link: pipe, device, socket
inline constexpr std::uint32_t archive = 0x20;
inline constexpr std::uint32_t normal = 0x80;
inline constexpr std::uint32_t reparse_point = 0x400;
}  // namespace attr

// Failure codes are Win32 error codes on every platform; the POSIX layer maps
// errno values onto the nearest of these.
namespace err {
inline constexpr std::uint32_t success = 0;
inline constexpr std::uint32_t file_not_found = 2;
inline constexpr std::uint32_t path_not_found = 3;
inline constexpr std::uint32_t access_denied = 5;
inline constexpr std::uint32_t invalid_handle = 6;
inline constexpr std::uint32_t not_enough_memory = 8;
inline constexpr std::uint32_t write_fault = 29;
inline constexpr std::uint32_t read_fault = 30;
inline constexpr std::uint32_t sharing_violation = 32;
inline constexpr std::uint32_t handle_eof = 38;
inline constexpr std::uint32_t not_supported = 50;
inline constexpr std::uint32_t file_exists = 80;
inline constexpr std::uint32_t invalid_parameter = 87;
inline constexpr std::uint32_t disk_full = 112;
inline constexpr std::uint32_t insufficient_buffer = 122;
// A name that has no form on this system (POSIX: a UTF-16 name with a lone
// surrogate that no file name's bytes decode to, or a NUL character).
inline constexpr std::uint32_t invalid_name = 123;
inline constexpr std::uint32_t dir_not_empty = 145;
inline constexpr std::uint32_t already_exists = 183;
inline constexpr std::uint32_t filename_too_long = 206;
// ERROR_BAD_FILE_TYPE: File::Open refuses to read a pipe, device or socket.
inline constexpr std::uint32_t bad_file_type = 222;
inline constexpr std::uint32_t wait_timeout = 258;
// ReplaceFileW's partial failures.
inline constexpr std::uint32_t unable_to_remove_replaced = 1175;
inline constexpr std::uint32_t unable_to_move_replacement = 1176;
inline constexpr std::uint32_t unable_to_move_replacement_2 = 1177;
// ERROR_CANT_RESOLVE_FILENAME: a symbolic link met where none is followed
// (POSIX ELOOP, which O_NOFOLLOW reports).
inline constexpr std::uint32_t cant_resolve_filename = 1921;
}  // namespace err

}  // namespace platform
