// The pattern compiler: recursive descent over the lexer's tokens, building
// elements, then finishing (names, recursions) and planning the search.
// Tested by tests/regex/pattern_test.cpp and tests/regex/oracle_test.cpp.
#include "regex/pattern.h"

#include <cstring>

#include "platform/text.h"

namespace regex {

namespace {

constexpr int kUnbounded = 2147483647;

bool IsDigit(char16_t unit) { return unit >= u'0' && unit <= u'9'; }
bool IsBlank(char16_t unit) { return unit == u' ' || (unit >= 9 && unit <= 13); }

// Optional blanks, a number of 1 to 6 digits, optional blanks, from `*pos`.
// Returns -1 (and leaves *pos past the leading blanks) when no digit is there.
int ReadNumber(const std::u16string& text, size_t* pos) {
  size_t p = *pos;
  while (p < text.size() && IsBlank(text[p])) ++p;
  int value = -1;
  for (int digits = 0; digits < 6 && p < text.size() && IsDigit(text[p]); ++digits, ++p) {
    value = (value < 0 ? 0 : value * 10) + (text[p] - u'0');
  }
  if (value >= 0) {
    while (p < text.size() && IsBlank(text[p])) ++p;
  }
  *pos = p;
  return value;
}

// A name made only of a number (blanks around it allowed) stands for that
// group number; -1 otherwise.
int NumberName(const std::u16string& name) {
  size_t pos = 0;
  const int value = ReadNumber(name, &pos);
  return value >= 0 && pos == name.size() ? value : -1;
}

bool SameName(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

bool IsAlpha(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool IsDigitClass(char16_t c) { return IsDigit(c); }
bool IsAlnum(char16_t c) { return IsAlpha(c) || IsDigit(c); }
bool IsAscii(char16_t c) { return c < 128; }
bool IsCntrl(char16_t c) { return c < 32 || c == 127; }
bool IsGraph(char16_t c) { return c > 32 && c < 127; }
bool IsLower(char16_t c) { return c >= u'a' && c <= u'z'; }
bool IsPrint(char16_t c) { return c >= 32 && c < 127; }
bool IsPunct(char16_t c) { return IsGraph(c) && !IsAlnum(c); }
bool IsSpace(char16_t c) { return c == u' ' || (c >= 9 && c <= 13); }
bool IsUpper(char16_t c) { return c >= u'A' && c <= u'Z'; }
bool IsXdigit(char16_t c) {
  return IsDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}
bool IsBlankClass(char16_t c) { return c == u' ' || c == u'\t'; }

// Names are compared on their own length, closing colon included, so
// "[:alpha:xyz]" is still the alpha class.
PosixClassifier FindClassifier(const char* name) {
  static const struct {
    const char* name;
    PosixClassifier classifier;
  } kClasses[] = {
      {"alnum:", IsAlnum},      {"alpha:", IsAlpha}, {"ascii:", IsAscii}, {"cntrl:", IsCntrl},
      {"digit:", IsDigitClass}, {"graph:", IsGraph}, {"lower:", IsLower}, {"print:", IsPrint},
      {"punct:", IsPunct},      {"space:", IsSpace}, {"upper:", IsUpper}, {"xdigit:", IsXdigit},
      {"blank:", IsBlankClass},
  };
  for (const auto& entry : kClasses) {
    if (std::strncmp(name, entry.name, std::strlen(entry.name)) == 0) return entry.classifier;
  }
  return nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------
// Lifetime

template <class CharT>
void CPatternT<CharT>::Clear() {
  for (IElement* element : owned_) delete element;
  owned_.Clear();
  group_table_.Clear();
  recursions_.Clear();
  named_groups_.clear();
  named_backrefs_.clear();
  named_conditions_.clear();
  named_recursions_.clear();
  for (auto& slot : cache_) slot = nullptr;
  root_ = nullptr;
  highest_group_ = 0;
  named_count_ = 0;
  too_complex_ = false;
  plan_ = SearchPlan{};
}

template <class CharT>
IElement* CPatternT<CharT>::Compile(const CharT* pattern, unsigned flags) {
  Clear();
  flags_ = flags;
  if (pattern == nullptr) return nullptr;
  int length = 0;
  while (pattern[length] != 0) ++length;
  text_ = CArrayRefT<CharT>(pattern, length);
  lexer_.Reset(pattern, length);
  for (int i = 0; i < 3; ++i) Advance();
  root_ = ParseAlternation(flags, 0);
  text_ = CArrayRefT<CharT>();  // the caller's text need outlive the compilation only
  Finish();
  PlanSearch(root_, owned_.size(), plan_);
  return root_;
}

template <class CharT>
IElement* CPatternT<CharT>::Builtin(int kind) {
  if (cache_[kind] != nullptr) return cache_[kind];
  if (kind == kBuiltinEmpty) return cache_[kind] = Make<CEmptyElementT<>>();
  const bool backward = kind > kBuiltinBackward;
  const int base = backward ? kind - kBuiltinBackward : kind;
  // Odd base kinds from 3 up are the sets, even ones their negations.
  const bool positive = base >= kBuiltinWord && base % 2 == 1;
  auto* element = Make<CClassElementT<CharT>>(backward, positive);
  switch (base) {
    case kBuiltinAny: break;
    case kBuiltinDot: element->AddSingle(u'\n'); break;
    case kBuiltinWord:
    case kBuiltinNotWord:
      element->AddRange(u'A', u'Z');
      element->AddRange(u'a', u'z');
      element->AddRange(u'0', u'9');
      element->AddSingle(u'_');
      break;
    case kBuiltinSpace:
    case kBuiltinNotSpace:
      for (char16_t unit : {u' ', u'\t', u'\r', u'\n'}) element->AddSingle(unit);
      if (backward) {
        element->AddSingle(u'\f');
        element->AddSingle(u'\v');
      }
      break;
    default:  // digits
      element->AddRange(u'0', u'9');
      break;
  }
  element->Seal();
  return cache_[kind] = element;
}

// ---------------------------------------------------------------------------
// Token helpers

template <class CharT>
bool CPatternT<CharT>::AtGroupEnd() const {
  return Current().IsEnd() || Current().Is(u'|') || Current().Is(u')');
}

// A missing ')' is accepted at the end of the pattern.
template <class CharT>
void CPatternT<CharT>::CloseGroup() {
  if (Current().Is(u')')) Advance();
}

template <class CharT>
void CPatternT<CharT>::SkipToGroupEnd() {
  while (!Current().IsEnd() && !Current().Is(u')')) Advance();
  CloseGroup();
}

// Code units of the tokens up to `terminator` (consumed) or the end.
template <class CharT>
std::u16string CPatternT<CharT>::CollectUntil(char16_t terminator) {
  std::u16string text;
  while (!Current().IsEnd() && Current().code_unit != terminator) {
    text.push_back(Current().code_unit);
    Advance();
  }
  if (!Current().IsEnd()) Advance();
  return text;
}

// Code units of the tokens up to a special ')' (left in place) or the end.
template <class CharT>
std::u16string CPatternT<CharT>::CollectUntilClose() {
  std::u16string text;
  while (!Current().IsEnd() && !Current().Is(u')')) {
    text.push_back(Current().code_unit);
    Advance();
  }
  return text;
}

template <class CharT>
int CPatternT<CharT>::ReadDigitTokens(int max_digits) {
  int value = 0;
  for (int i = 0; i < max_digits && !Current().special && IsDigit(Current().code_unit); ++i) {
    value = value * 10 + (Current().code_unit - u'0');
    Advance();
  }
  return value;
}

template <class CharT>
void CPatternT<CharT>::SkipBlankTokens() {
  while (!Current().special && IsBlank(Current().code_unit)) Advance();
}

// ---------------------------------------------------------------------------
// Alternation, sequence, quantifiers

template <class CharT>
IElement* CPatternT<CharT>::ParseAlternation(unsigned flags, int depth) {
  if (Current().IsEnd()) return Empty();
  IElement* first = ParseSequence(flags, depth);
  if (!Current().Is(u'|')) return first;
  auto* alternation = Make<CAlternationElementT<>>();
  alternation->Add(first);
  while (Current().Is(u'|')) {
    Advance();
    alternation->Add(ParseSequence(flags, depth));
  }
  return alternation;
}

template <class CharT>
IElement* CPatternT<CharT>::ParseSequence(unsigned& flags, int depth) {
  if (AtGroupEnd()) return Empty();
  IElement* first = nullptr;
  CSequenceElementT<>* sequence = nullptr;
  while (!AtGroupEnd()) {
    const int before = Current().start;
    IElement* item = ParseQuantified(flags, depth);
    if (first == nullptr) {
      first = item;
    } else {
      if (sequence == nullptr) {
        sequence = Make<CSequenceElementT<>>((flags & BACKWARD) != 0);
        sequence->Add(first);
      }
      sequence->Add(item);
    }
    if (Current().start == before && !AtGroupEnd()) Advance();  // never stall
  }
  return sequence != nullptr ? sequence : first;
}

template <class CharT>
IElement* CPatternT<CharT>::ParseQuantified(unsigned& flags, int depth) {
  IElement* atom = ParseAtom(flags, depth);
  if (!Current().special) return atom;
  int minimum = 0;
  int maximum = kUnbounded;
  bool readable = true;
  switch (Current().code_unit) {
    case u'*': Advance(); break;
    case u'+':
      minimum = 1;
      Advance();
      break;
    case u'?':
      maximum = 1;
      Advance();
      break;
    case u'{':
      Advance();
      readable = ParseBounds(minimum, maximum);
      break;
    default: return atom;
  }
  const bool lazy = Current().Is(u'?');
  const bool possessive = Current().Is(u'+');
  if (lazy || possessive) Advance();
  if (!readable || maximum == 0) return Empty();
  if (minimum == maximum) return Make<CRepeatElementT<>>(atom, minimum);
  if (lazy) return Make<CLazyElementT<>>(atom, minimum, maximum - minimum);
  if (possessive) return Make<CPossessiveElementT<>>(atom, minimum, maximum - minimum);
  return Make<CGreedyElementT<>>(atom, minimum, maximum - minimum);
}

// The text up to the next special '}' (consumed): "n", "n,", "n,m", blanks
// allowed around the numbers. False when the first number is unreadable.
template <class CharT>
bool CPatternT<CharT>::ParseBounds(int& minimum, int& maximum) {
  std::u16string text;
  while (!Current().IsEnd() && !Current().Is(u'}')) {
    text.push_back(Current().code_unit);
    Advance();
  }
  if (Current().Is(u'}')) Advance();
  size_t pos = 0;
  minimum = ReadNumber(text, &pos);
  if (minimum < 0) return false;
  maximum = minimum;
  if (pos < text.size() && text[pos] == u',') {
    ++pos;
    const int second = ReadNumber(text, &pos);
    maximum = second < 0 ? kUnbounded : second;
  }
  if (maximum < minimum) maximum = minimum;
  return true;
}

// ---------------------------------------------------------------------------
// Atoms

template <class CharT>
IElement* CPatternT<CharT>::ParseAtom(unsigned& flags, int depth) {
  const PatternToken& token = Current();
  if (!token.special) return ParseRun(flags);
  const bool backward = (flags & BACKWARD) != 0;
  const int shift = backward ? kBuiltinBackward : 0;
  switch (token.code_unit) {
    case u'(': return ParseGroup(flags, depth);
    case u'.': Advance(); return Builtin(((flags & DOT_ALL) ? kBuiltinAny : kBuiltinDot) + shift);
    case u'[': return Next().Is(u':') ? ParsePosixClass(flags) : ParseBracketClass(flags);
    case u'w': Advance(); return Builtin(kBuiltinWord + shift);
    case u'W': Advance(); return Builtin(kBuiltinNotWord + shift);
    case u's': Advance(); return Builtin(kBuiltinSpace + shift);
    case u'S': Advance(); return Builtin(kBuiltinNotSpace + shift);
    case u'd': Advance(); return Builtin(kBuiltinDigit + shift);
    case u'D': Advance(); return Builtin(kBuiltinNotDigit + shift);
    case u'^':
    case u'$':
    case u'A':
    case u'Z':
    case u'z':
    case u'b':
    case u'B':
    case u'G': return ParseAnchor(flags);
    case u'\\':
    case u'g':
    case u'k': return ParseBackref(flags);
    default: return ParseRun(flags);
  }
}

// A run of literal code units. A quantifier binds to the last unit only, so
// the run stops before a literal that a quantifier follows. A special token
// that starts nothing (a quantifier with nothing before it) is a literal when
// it comes first.
template <class CharT>
IElement* CPatternT<CharT>::ParseRun(unsigned flags) {
  std::u16string run;
  for (;;) {
    const PatternToken& token = Current();
    if (token.special) {
      if (!run.empty() || AtGroupEnd()) break;
      run.push_back(token.code_unit);
      Advance();
      continue;
    }
    const PatternToken& next = Next();
    const bool quantified = next.special && (next.code_unit == u'{' || next.code_unit == u'?' ||
                                             next.code_unit == u'*' || next.code_unit == u'+');
    if (quantified && !run.empty()) break;
    run.push_back(token.code_unit);
    Advance();
    if (quantified) break;
  }
  if (run.empty()) return Empty();
  if (flags & LOWERED_TEXT) platform::LowerBuffer(run.data(), run.size());
  return Make<CStringElementT<CharT>>(reinterpret_cast<const CharT*>(run.data()),
                                      static_cast<int>(run.size()), (flags & BACKWARD) != 0,
                                      (flags & NO_CASE) != 0);
}

// "[...]" with ranges, single members, embedded \d-style and POSIX classes.
template <class CharT>
IElement* CPatternT<CharT>::ParseBracketClass(unsigned flags) {
  const bool backward = (flags & BACKWARD) != 0;
  Advance();  // '['
  const bool negated = Current().Is(u'^');
  if (negated) Advance();
  auto* element = Make<CClassElementT<CharT>>(backward, !negated);
  const int shift = backward ? kBuiltinBackward : 0;
  while (!Current().IsEnd() && !Current().Is(u']')) {
    const PatternToken token = Current();
    if (token.Is(u'[') && Next().Is(u':')) {
      element->AddEmbedded(ParsePosixClass(flags));
      continue;
    }
    if (token.special) {
      int kind = -1;
      switch (token.code_unit) {
        case u'd': kind = kBuiltinDigit; break;
        case u'D': kind = kBuiltinNotDigit; break;
        case u's': kind = kBuiltinSpace; break;
        case u'S': kind = kBuiltinNotSpace; break;
        case u'w': kind = kBuiltinWord; break;
        case u'W': kind = kBuiltinNotWord; break;
        default: break;
      }
      if (kind >= 0) {
        element->AddEmbedded(Builtin(kind + shift));
        Advance();
        continue;
      }
    }
    if (Next().Is(u'-') && !lexer_.after_next().special) {
      element->AddRange(token.code_unit, lexer_.after_next().code_unit);
      Advance();
      Advance();
      Advance();
      continue;
    }
    element->AddSingle(token.code_unit);
    Advance();
  }
  if (Current().Is(u']')) Advance();
  if (flags & LOWERED_TEXT) element->AddLowerImages();
  if (flags & NO_CASE) element->WidenCase();
  element->Seal();
  return element;
}

// "[:name:]" or "[:^name:]", alone or inside a bracket class.
template <class CharT>
IElement* CPatternT<CharT>::ParsePosixClass(unsigned flags) {
  Advance();  // '['
  Advance();  // ':'
  const bool negated = Current().Is(u'^');
  if (negated) Advance();
  std::string name;
  while (!Current().IsEnd() && !Current().Is(u']')) {
    const char16_t unit = Current().code_unit;
    name.push_back(unit > 255 ? '\0' : static_cast<char>(unit));
    Advance();
  }
  if (Current().Is(u']')) Advance();
  return Make<CPosixClassElementT<CharT>>(FindClassifier(name.c_str()), (flags & BACKWARD) != 0,
                                          !negated);
}

template <class CharT>
IElement* CPatternT<CharT>::ParseAnchor(unsigned flags) {
  const char16_t unit = Current().code_unit;
  Advance();
  AnchorKind kind = AnchorKind::kTextStart;
  bool positive = true;
  switch (unit) {
    case u'^': kind = (flags & MULTI_LINE) ? AnchorKind::kLineStart : AnchorKind::kTextStart; break;
    case u'$': kind = (flags & MULTI_LINE) ? AnchorKind::kLineEnd : AnchorKind::kTextEnd; break;
    case u'A': kind = AnchorKind::kTextStart; break;
    case u'z': kind = AnchorKind::kTextEnd; break;
    case u'Z': kind = AnchorKind::kTextEndBeforeBreak; break;
    case u'b': kind = AnchorKind::kWordBoundary; break;
    case u'B':
      kind = AnchorKind::kWordBoundary;
      positive = false;
      break;
    default:  // \G
      if (flags & G_ANCHOR) return Make<CSearchStartElementT<>>();
      return Empty();
  }
  return Make<CAnchorElementT<CharT>>(kind, positive);
}

// "\n" (up to 3 digits), "\g" / "\k" with a name in <> or '' or digits.
template <class CharT>
IElement* CPatternT<CharT>::ParseBackref(unsigned flags) {
  const char16_t unit = Current().code_unit;
  Advance();
  int number = 0;
  std::u16string name;
  bool named = false;
  if (unit != u'\\' && (Current().IsLiteral(u'<') || Current().IsLiteral(u'\''))) {
    const char16_t terminator = Current().code_unit == u'<' ? u'>' : u'\'';
    Advance();
    name = CollectUntil(terminator);
    number = NumberName(name);
    named = number < 0;
  } else {
    number = ReadDigitTokens(3);
  }
  auto* element = Make<CBackrefElementT<CharT>>(named ? -1 : number, (flags & BACKWARD) != 0,
                                                (flags & NO_CASE) != 0);
  if (named) named_backrefs_.push_back(NamedReference{name, element});
  return element;
}

// ---------------------------------------------------------------------------
// Groups

template <class CharT>
IElement* CPatternT<CharT>::ParseGroup(unsigned& flags, int depth) {
  if (depth >= kMaxNesting) {
    // Too deep to parse or match safely: give up on the rest of the pattern.
    too_complex_ = true;
    while (!Current().IsEnd()) Advance();
    return Empty();
  }
  Advance();  // '('
  if (!Current().Is(u'?')) return ParseCapture(++highest_group_, nullptr, flags, depth);
  Advance();  // '?'
  const PatternToken token = Current();
  if (token.IsLiteral(u'=') || token.IsLiteral(u'!')) {
    Advance();
    IElement* body = ParseAlternation(flags & ~BACKWARD, depth + 1);
    CloseGroup();
    return Make<CLookaroundElementT<>>(body, token.code_unit == u'=');
  }
  if (token.IsLiteral(u'<') && (Next().IsLiteral(u'=') || Next().IsLiteral(u'!'))) {
    const bool positive = Next().code_unit == u'=';
    Advance();
    Advance();
    IElement* body = ParseAlternation(flags | BACKWARD, depth + 1);
    CloseGroup();
    return Make<CLookaroundElementT<>>(body, positive);
  }
  if (token.IsLiteral(u'>')) {
    Advance();
    IElement* body = ParseAlternation(flags, depth + 1);
    CloseGroup();
    return Make<CAtomicElementT<>>(body);
  }
  if (token.IsLiteral(u'<') || token.IsLiteral(u'\'') || token.IsLiteral(u'P')) {
    char16_t terminator = token.code_unit == u'\'' ? u'\'' : u'>';
    Advance();
    if (token.code_unit == u'P' && Current().IsLiteral(u'<')) Advance();
    const std::u16string name = CollectUntil(terminator);
    const int number = NumberName(name);
    return ParseCapture(number, number < 0 ? &name : nullptr, flags, depth);
  }
  if (token.Is(u'(')) return ParseCondition(flags, depth);
  if (token.IsLiteral(u'R')) {
    Advance();
    return ParseRecursion(true);
  }
  return ParseModifiers(flags, depth);
}

// A capturing group: (opening marker, body, closing marker). In backward scope
// the marker written last is met first, so it takes the opening role.
template <class CharT>
IElement* CPatternT<CharT>::ParseCapture(int number, const std::u16string* name, unsigned flags,
                                         int depth) {
  const bool backward = (flags & BACKWARD) != 0;
  auto* first = Make<CGroupMarkElementT<>>(number, backward);
  IElement* body = ParseAlternation(flags, depth + 1);
  CloseGroup();
  auto* second = Make<CGroupMarkElementT<>>(number, !backward);
  auto* list = Make<CSequenceElementT<>>(backward);
  list->Add(first);
  list->Add(body);
  list->Add(second);
  if (name != nullptr) {
    first->set_group(-1);
    second->set_group(-1);
    named_groups_.push_back(NamedGroup{*name, list, first, second, -1});
    ++named_count_;
  } else {
    SetGroup(number, list);
  }
  return list;
}

template <class CharT>
void CPatternT<CharT>::SetGroup(int number, IElement* list) {
  group_table_.Extend(number + 1, nullptr);
  group_table_[number] = list;
}

// "(?(cond)yes|no)". The condition is a lookaround group, a group number, a
// group name, or else a pattern that must match ahead.
template <class CharT>
IElement* CPatternT<CharT>::ParseCondition(unsigned flags, int depth) {
  auto* element = Make<CConditionElementT<>>();
  if (Next().Is(u'?')) {
    unsigned condition_flags = flags;
    element->condition = ParseGroup(condition_flags, depth + 1);
  } else {
    Advance();  // '('
    const int text_start = Current().start;
    IElement* body = ParseAlternation(flags & ~BACKWARD, depth + 1);
    const std::u16string text(reinterpret_cast<const char16_t*>(text_.data()) + text_start,
                              static_cast<size_t>(Current().start - text_start));
    CloseGroup();
    const int number = NumberName(text);
    if (number >= 0) {
      element->group = number;
    } else {
      element->condition = Make<CLookaroundElementT<>>(body, true);
      named_conditions_.push_back(NamedReference{text, element});
    }
  }
  element->yes = ParseSequence(flags, depth + 1);
  if (Current().Is(u'|')) {
    Advance();
    element->no = ParseAlternation(flags, depth + 1);
  }
  CloseGroup();
  return element;
}

// "(?R)", "(?R<name>)", "(?R'name')", "(?R n)" and "(?n)"; the current token
// follows the "R" (by_name) or is the first digit.
template <class CharT>
IElement* CPatternT<CharT>::ParseRecursion(bool by_name) {
  std::u16string name;
  int number = 0;
  if (by_name) SkipBlankTokens();
  if (by_name && (Current().IsLiteral(u'<') || Current().IsLiteral(u'\''))) {
    const char16_t terminator = Current().code_unit == u'<' ? u'>' : u'\'';
    Advance();
    name = CollectUntil(terminator);
    number = NumberName(name);
    if (number < 0) number = CRecursionElementT<>::kNamed;
    SkipToGroupEnd();
  } else {
    const std::u16string text = CollectUntilClose();
    size_t pos = 0;
    number = ReadNumber(text, &pos);
    if (number < 0) number = 0;
    CloseGroup();
  }
  auto* element = Make<CRecursionElementT<>>(number);
  recursions_.Push(element);
  if (number == CRecursionElementT<>::kNamed) {
    named_recursions_.push_back(NamedReference{name, element});
  }
  return element;
}

// "(?imsg-imsg)", "(?imsg-imsg:...)" and the numbered recursion "(?n)".
template <class CharT>
IElement* CPatternT<CharT>::ParseModifiers(unsigned& flags, int depth) {
  SkipBlankTokens();
  if (!Current().special && IsDigit(Current().code_unit)) return ParseRecursion(false);
  unsigned changed = flags;
  bool clear = false;
  while (!Current().IsEnd() && Current().code_unit != u':' && !Current().Is(u')') &&
         !Current().Is(u'(')) {
    unsigned bit = 0;
    switch (Current().code_unit) {
      case u'i':
      case u'I': bit = NO_CASE; break;
      case u'm':
      case u'M': bit = MULTI_LINE; break;
      case u's':
      case u'S': bit = DOT_ALL; break;
      case u'g':
      case u'G': bit = G_ANCHOR; break;
      case u'-': clear = true; break;
      default: break;
    }
    changed = clear ? changed & ~bit : changed | bit;
    Advance();
  }
  if (Current().code_unit == u':' && !Current().IsEnd()) {
    Advance();
    IElement* body = ParseAlternation(changed, depth + 1);
    CloseGroup();
    return body;
  }
  if (Current().Is(u'(')) {
    IElement* body = ParseAlternation(changed, depth + 1);
    CloseGroup();
    return body;
  }
  CloseGroup();
  flags = changed;
  return Empty();
}

// ---------------------------------------------------------------------------
// Finishing

template <class CharT>
int CPatternT<CharT>::NamedGroupNumber(const std::u16string& name) const {
  for (const NamedGroup& group : named_groups_) {
    if (SameName(group.name, name)) return group.number;
  }
  return -1;
}

template <class CharT>
void CPatternT<CharT>::Finish() {
  SetGroup(0, root_);
  // Named groups go after the numbered ones; a repeated name shares the
  // number of its first bearer.
  for (NamedGroup& group : named_groups_) {
    group_table_.Push(group.list);
    int number = NamedGroupNumber(group.name);
    if (number < 0) number = ++highest_group_;
    group.number = number;
    group.first->set_group(number);
    group.second->set_group(number);
  }
  for (int i = 1; i < group_table_.size(); ++i) {
    const IElement* list = group_table_[i];
    if (list == nullptr) continue;
    const auto* marker = static_cast<const CSequenceElementT<>*>(list)->elements()[0];
    const int number = static_cast<const CGroupMarkElementT<>*>(marker)->group();
    if (number > highest_group_) highest_group_ = number;
  }
  for (const NamedReference& reference : named_recursions_) {
    static_cast<CRecursionElementT<>*>(reference.element)
        ->set_group(NamedGroupNumber(reference.name));
  }
  for (CRecursionElementT<>* recursion : recursions_) {
    const int number = recursion->group();
    if (number == 0) {
      recursion->Bind(root_);
    } else if (number >= 1 && number <= highest_group_ && number < group_table_.size()) {
      recursion->Bind(group_table_[number]);
    }
  }
  for (const NamedReference& reference : named_backrefs_) {
    static_cast<CBackrefElementT<CharT>*>(reference.element)
        ->set_group(NamedGroupNumber(reference.name));
  }
  for (const NamedReference& reference : named_conditions_) {
    const int number = NamedGroupNumber(reference.name);
    if (number < 0) continue;
    auto* condition = static_cast<CConditionElementT<>*>(reference.element);
    condition->group = number;
    condition->condition = nullptr;
  }
}

template class CPatternT<char16_t>;

}  // namespace regex
