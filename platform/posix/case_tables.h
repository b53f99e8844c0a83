// Lower-case and letter/digit tables for every UTF-16 code unit, built once
// from the C.UTF-8 locale's Unicode data (simple mappings only).
#pragma once

namespace platform::case_tables {
const char16_t* Lower();
bool IsAlnum(char16_t ch);
}  // namespace platform::case_tables
