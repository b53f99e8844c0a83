// Line breaking of messages (see text_wrap.h).
// Tested by tests/toolkit/toolkit_logic_test.cpp.
#include "toolkit/logic/text_wrap.h"

#include <cstddef>

namespace toolkit {
namespace {

bool IsBlank(char16_t c) { return c == u' '; }
bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Breaks one paragraph (a text without line ends) into lines.
class ParagraphWrapper {
 public:
  ParagraphWrapper(std::u16string_view text, int max_width, const MeasureText& measure)
      : text_(text), max_width_(max_width), measure_(measure) {}

  void Run(std::vector<std::u16string>& lines) {
    std::size_t start = 0;
    do {
      const std::size_t end = LineEnd(start);
      lines.emplace_back(text_.substr(start, end - start));
      start = end;
      while (start < text_.size() && IsBlank(text_[start])) ++start;
    } while (start < text_.size());
  }

 private:
  bool Fits(std::size_t start, std::size_t end) const {
    return measure_(text_.substr(start, end - start)) <= max_width_;
  }

  // The end of the word that starts at `pos`.
  std::size_t WordEnd(std::size_t pos) const {
    while (pos < text_.size() && !IsBlank(text_[pos])) ++pos;
    return pos;
  }

  // The furthest end in (start, limit] for which `allowed` holds and the line
  // fits, or 0. Widths grow with the end, so the search stops at the first
  // end that does not fit.
  template <typename Allowed>
  std::size_t FurthestFit(std::size_t start, std::size_t limit, Allowed allowed) const {
    std::size_t best = 0;
    for (std::size_t end = start + 1; end <= limit; ++end) {
      if (!allowed(end)) continue;
      if (!Fits(start, end)) break;
      best = end;
    }
    return best;
  }

  std::size_t LineEnd(std::size_t start) const {
    if (Fits(start, text_.size())) return text_.size();
    // The last blank break that fits: the line ends where a blank run starts.
    const std::size_t blank = FurthestFit(start, text_.size(), [&](std::size_t end) {
      return end < text_.size() && IsBlank(text_[end]) && !IsBlank(text_[end - 1]);
    });
    if (blank != 0) {
      std::size_t next = blank;
      while (next < text_.size() && IsBlank(text_[next])) ++next;
      const std::size_t next_end = WordEnd(next);
      // A word that fits on a line of its own starts the next line whole.
      if (Fits(next, next_end)) return blank;
      // A longer one begins here, broken after one of its separators.
      const std::size_t separator = SeparatorBreak(start, next, next_end);
      return separator != 0 ? separator : blank;
    }
    const std::size_t word_end = WordEnd(start);
    const std::size_t separator = SeparatorBreak(start, start, word_end);
    if (separator != 0) return separator;
    const std::size_t character = FurthestFit(start, word_end, [&](std::size_t end) {
      return end == text_.size() || !IsLowSurrogate(text_[end]);
    });
    // At least one character (or pair) per line, however narrow the box.
    if (character != 0) return character;
    return start + 1 < text_.size() && IsLowSurrogate(text_[start + 1]) ? start + 2 : start + 1;
  }

  // The furthest break after a separator of the word [word, word_end) that
  // keeps the line from `start` within the width, or 0.
  std::size_t SeparatorBreak(std::size_t start, std::size_t word, std::size_t word_end) const {
    const std::size_t end = FurthestFit(
        start, word_end, [&](std::size_t e) { return e > word && IsSeparator(text_[e - 1]); });
    return end < word_end ? end : 0;
  }

  std::u16string_view text_;
  int max_width_;
  const MeasureText& measure_;
};

}  // namespace

std::vector<std::u16string> WrapText(std::u16string_view text, int max_width,
                                     const MeasureText& measure) {
  std::vector<std::u16string> lines;
  std::size_t start = 0;
  while (true) {
    std::size_t end = start;
    while (end < text.size() && text[end] != u'\r' && text[end] != u'\n') ++end;
    const std::u16string_view paragraph = text.substr(start, end - start);
    if (paragraph.empty()) {
      lines.emplace_back();
    } else {
      ParagraphWrapper(paragraph, max_width, measure).Run(lines);
    }
    if (end == text.size()) break;
    start = end + (text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n' ? 2 : 1);
  }
  return lines;
}

}  // namespace toolkit
