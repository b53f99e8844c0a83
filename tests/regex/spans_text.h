// Readable forms of match spans and pattern texts for test tables and
// failure messages.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

// "no" for no match; otherwise each group as "start-end", or "x" when the
// group took no part, separated by blanks: "0-3 1-2 x".
inline std::string SpansText(const std::vector<int>& spans) {
  if (spans.empty()) return "no";
  std::string text;
  for (size_t i = 2; i + 1 < spans.size(); i += 2) {
    if (!text.empty()) text += ' ';
    if (spans[i] < 0 && spans[i + 1] < 0) {
      text += 'x';
    } else {
      text += std::to_string(spans[i]) + "-" + std::to_string(spans[i + 1]);
    }
  }
  return text;
}

// Escapes control and non-ASCII code units as \uXXXX so failures stay legible.
inline std::string Printable(const std::u16string& text) {
  std::string out;
  for (char16_t unit : text) {
    if (unit >= 32 && unit < 127) {
      out += static_cast<char>(unit);
    } else {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\u%04X", static_cast<unsigned>(unit));
      out += buffer;
    }
  }
  return out;
}
