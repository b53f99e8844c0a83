// The pattern lexer: turns pattern text into tokens (literal or special code
// units), with quote mode, its case conversion and the escape forms.
// Tested by tests/regex/pattern_test.cpp.
#pragma once

namespace regex {

struct PatternToken {
  char16_t code_unit = 0;
  bool special = false;  // a metacharacter or a recognised escape
  int start = 0;         // position in the pattern
  int length = 0;        // code units of pattern text it was read from

  bool Is(char16_t unit) const { return special && code_unit == unit; }
  bool IsLiteral(char16_t unit) const { return !special && code_unit == unit; }
  // The end of the pattern is the special token 0.
  bool IsEnd() const { return special && code_unit == 0; }
};

enum class QuoteCase { kNone, kLower, kUpper };

// Keeps three tokens of look-ahead: the parser reads current, next and
// after-next; Advance shifts them and scans one more.
class CPatternLexer {
 public:
  void Reset(const char16_t* text, int length);
  void Advance();

  const PatternToken& current() const { return tokens_[0]; }
  const PatternToken& next() const { return tokens_[1]; }
  const PatternToken& after_next() const { return tokens_[2]; }
  const char16_t* text() const { return text_; }
  int length() const { return length_; }

 private:
  PatternToken Scan();
  // Each returns false when the input it consumed yields no token.
  bool ScanQuoted(PatternToken& token);
  bool ScanEscape(PatternToken& token);
  bool ScanPlain(PatternToken& token);
  void ScanHex(PatternToken& token, char16_t letter);
  bool PreviousIs(char16_t unit) const { return previous_.Is(unit); }
  char16_t At(int position) const { return position < length_ ? text_[position] : 0; }
  PatternToken Make(char16_t unit, bool special, int length) const {
    return PatternToken{unit, special, pos_, length};
  }

  const char16_t* text_ = nullptr;
  int length_ = 0;
  int pos_ = 0;
  int class_depth_ = 0;
  bool quote_ = false;
  QuoteCase conversion_ = QuoteCase::kNone;
  PatternToken tokens_[3];
  PatternToken previous_;  // the token scanned last
};

}  // namespace regex
