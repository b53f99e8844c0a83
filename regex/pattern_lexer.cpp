// The pattern lexer. Every input is accepted: an escape that means nothing
// is the escaped code unit as a literal.
// Tested by tests/regex/pattern_test.cpp.
#include "regex/pattern_lexer.h"

namespace regex {

namespace {

int HexValue(char16_t unit) {
  if (unit >= u'0' && unit <= u'9') return unit - u'0';
  if (unit >= u'a' && unit <= u'f') return unit - u'a' + 10;
  if (unit >= u'A' && unit <= u'F') return unit - u'A' + 10;
  return -1;
}

bool IsDigit(char16_t unit) { return unit >= u'0' && unit <= u'9'; }

char16_t Convert(char16_t unit, QuoteCase conversion) {
  if (conversion == QuoteCase::kLower && unit >= u'A' && unit <= u'Z') return unit + 32;
  if (conversion == QuoteCase::kUpper && unit >= u'a' && unit <= u'z') return unit - 32;
  return unit;
}

// Escapes that stand for a control code unit.
char16_t ControlEscape(char16_t letter) {
  switch (letter) {
    case u'a': return 7;
    case u'e': return 27;
    case u'f': return 12;
    case u'n': return 10;
    case u'r': return 13;
    case u't': return 9;
    case u'v': return 11;
    default: return 0;
  }
}

bool IsSpecialLetterEscape(char16_t letter) {
  switch (letter) {
    case u'A':
    case u'B':
    case u'D':
    case u'S':
    case u'W':
    case u'Z':
    case u'd':
    case u'g':
    case u'k':
    case u's':
    case u'w':
    case u'z': return true;
    default: return false;
  }
}

}  // namespace

void CPatternLexer::Reset(const char16_t* text, int length) {
  text_ = text;
  length_ = length;
  pos_ = 0;
  class_depth_ = 0;
  quote_ = false;
  conversion_ = QuoteCase::kNone;
  for (auto& token : tokens_) token = PatternToken{};
  previous_ = PatternToken{};
}

void CPatternLexer::Advance() {
  tokens_[0] = tokens_[1];
  tokens_[1] = tokens_[2];
  tokens_[2] = Scan();
  previous_ = tokens_[2];
}

PatternToken CPatternLexer::Scan() {
  PatternToken token;
  for (;;) {
    if (pos_ >= length_) return PatternToken{0, true, length_, 0};
    const bool produced = quote_                 ? ScanQuoted(token)
                          : text_[pos_] == u'\\' ? ScanEscape(token)
                                                 : ScanPlain(token);
    if (produced) return token;
  }
}

bool CPatternLexer::ScanQuoted(PatternToken& token) {
  if (text_[pos_] == u'\\' && At(pos_ + 1) == u'E') {
    quote_ = false;
    conversion_ = QuoteCase::kNone;
    pos_ += 2;
    return false;
  }
  token = Make(Convert(text_[pos_], conversion_), false, 1);
  pos_ += 1;
  return true;
}

bool CPatternLexer::ScanEscape(PatternToken& token) {
  if (pos_ + 1 >= length_) {
    token = Make(u'\\', false, 1);
    pos_ += 1;
    return true;
  }
  const char16_t letter = text_[pos_ + 1];
  if (IsDigit(letter)) {
    // A backreference: the digits follow as literal tokens.
    token = Make(u'\\', true, 1);
    pos_ += 1;
    return true;
  }
  switch (letter) {
    case u'E':
      quote_ = false;
      conversion_ = QuoteCase::kNone;
      pos_ += 2;
      return false;
    case u'Q':
      quote_ = true;
      pos_ += 2;
      return false;
    case u'L':
    case u'U':
      if (conversion_ == QuoteCase::kNone) {
        conversion_ = letter == u'L' ? QuoteCase::kLower : QuoteCase::kUpper;
      }
      quote_ = true;
      pos_ += 2;
      return false;
    case u'G':
      pos_ += 2;
      if (class_depth_ > 0) return false;
      token = PatternToken{u'G', true, pos_ - 2, 2};
      return true;
    case u'b':
      token = class_depth_ > 0 ? Make(8, false, 2) : Make(u'b', true, 2);
      pos_ += 2;
      return true;
    case u'x':
    case u'u': ScanHex(token, letter); return true;
    default: break;
  }
  if (IsSpecialLetterEscape(letter)) {
    token = Make(letter, true, 2);
  } else if (const char16_t control = ControlEscape(letter); control != 0) {
    token = Make(control, false, 2);
  } else {
    token = Make(letter, false, 2);
  }
  pos_ += 2;
  return true;
}

// \xHH, \uHHHH, \x{H...}, \u{H...}; pos_ is at the backslash.
void CPatternLexer::ScanHex(PatternToken& token, char16_t letter) {
  const int start = pos_;
  int p = pos_ + 2;
  unsigned value = 0;
  if (At(p) == u'{') {
    ++p;
    for (int digits = 0; digits < 8 && p < length_ && HexValue(text_[p]) >= 0; ++digits, ++p) {
      value = value * 16 + static_cast<unsigned>(HexValue(text_[p]));
    }
    while (p < length_ && text_[p] != u'}') ++p;  // anything up to the brace is skipped
    if (p < length_) ++p;
    token = PatternToken{static_cast<char16_t>(value & 0xFFFF), false, start, p - start};
    pos_ = p;
    return;
  }
  const int max_digits = letter == u'x' ? 2 : 4;
  int digits = 0;
  for (; digits < max_digits && p < length_ && HexValue(text_[p]) >= 0; ++digits, ++p) {
    value = value * 16 + static_cast<unsigned>(HexValue(text_[p]));
  }
  if (digits == 0) {
    token = PatternToken{letter, false, start, 2};
    pos_ = start + 2;
    return;
  }
  token = PatternToken{static_cast<char16_t>(value), false, start, p - start};
  pos_ = p;
}

bool CPatternLexer::ScanPlain(PatternToken& token) {
  const char16_t unit = text_[pos_];
  const bool in_class = class_depth_ > 0;
  bool special = false;
  switch (unit) {
    case u'$':
    case u')':
    case u'*':
    case u'+':
    case u'.':
    case u'?':
    case u'{':
    case u'|':
    case u'}': special = !in_class; break;
    case u'(':
      if (!in_class && At(pos_ + 1) == u'?' && At(pos_ + 2) == u'#') {
        // A comment runs through the next ')' and yields no token.
        pos_ += 3;
        while (pos_ < length_ && text_[pos_] != u')') ++pos_;
        if (pos_ < length_) ++pos_;
        return false;
      }
      special = !in_class;
      break;
    case u'-': special = in_class; break;
    case u':': special = PreviousIs(u'['); break;
    case u'[':
      special = !in_class || At(pos_ + 1) == u':';
      if (special) ++class_depth_;
      break;
    case u']':
      special = in_class;
      if (special) --class_depth_;
      break;
    case u'^': special = !in_class || PreviousIs(u'[') || PreviousIs(u':'); break;
    default: break;
  }
  token = Make(unit, special, 1);
  pos_ += 1;
  return true;
}

}  // namespace regex
