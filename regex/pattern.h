// The pattern compiler: parses pattern text into a tree of elements owned by
// the pattern, resolves names and numbers, and plans the search.
// Tested by tests/regex/pattern_test.cpp and tests/regex/oracle_test.cpp.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "regex/array.h"
#include "regex/elements.h"
#include "regex/pattern_lexer.h"
#include "regex/search_plan.h"

namespace regex {

// Bits held by the pattern and passed down the parse; a group may change them
// for its own body.
enum PatternFlags : unsigned {
  DOT_ALL = 1,     // '.' matches line feed too
  MULTI_LINE = 2,  // '^' and '$' are line anchors
  G_ANCHOR = 4,    // '\G' is the search-start anchor (else it is empty)
  NO_CASE = 8,     // literals and backreferences ignore ASCII case; classes widened
  BACKWARD = 16,   // match right to left (lookbehind bodies)
  // The text will be lower-cased by the platform before it is searched, so
  // literal code units and class members are lowered the same way (every
  // scope; inline modifiers leave this bit alone).
  LOWERED_TEXT = 32,
};

// Slots of the built-in element cache. Kinds 9 to 16 are 1 to 8 built to
// match backward.
enum BuiltinKind : int {
  kBuiltinEmpty = 0,
  kBuiltinAny = 1,
  kBuiltinDot = 2,
  kBuiltinWord = 3,
  kBuiltinNotWord = 4,
  kBuiltinSpace = 5,
  kBuiltinNotSpace = 6,
  kBuiltinDigit = 7,
  kBuiltinNotDigit = 8,
  kBuiltinBackward = 8,  // offset added under BACKWARD
  kBuiltinCount = 17,
};

template <class CharT>
class CPatternT {
 public:
  // Group nesting a pattern may have; deeper patterns are compiled as too
  // complex (their searches report kTooComplex) so that neither parsing nor
  // matching can exhaust the machine stack.
  static constexpr int kMaxNesting = 200;

  CPatternT() = default;
  ~CPatternT() { Clear(); }
  CPatternT(const CPatternT&) = delete;
  CPatternT& operator=(const CPatternT&) = delete;

  // Compiles a NUL-terminated pattern (a null pattern only clears the object)
  // and returns the root element. Never refuses a pattern.
  IElement* Compile(const CharT* pattern, unsigned flags);

  const IElement* root() const { return root_; }
  int highest_group() const { return highest_group_; }
  unsigned flags() const { return flags_; }
  bool too_complex() const { return too_complex_; }
  const SearchPlan& plan() const { return plan_; }

 private:
  struct NamedGroup {
    std::u16string name;
    CSequenceElementT<>* list;
    CGroupMarkElementT<>* first;
    CGroupMarkElementT<>* second;
    int number;  // -1 until finishing
  };
  struct NamedReference {
    std::u16string name;
    IElement* element;  // a CBackrefElementT, CConditionElementT or CRecursionElementT
  };

  void Clear();
  template <class E, class... Args>
  E* Make(Args&&... args) {
    E* element = new E(static_cast<Args&&>(args)...);
    owned_.Push(element);
    return element;
  }
  IElement* Builtin(int kind);
  IElement* Empty() { return Builtin(kBuiltinEmpty); }
  const PatternToken& Current() const { return lexer_.current(); }
  const PatternToken& Next() const { return lexer_.next(); }
  void Advance() { lexer_.Advance(); }
  bool AtGroupEnd() const;
  void CloseGroup();
  void SkipToGroupEnd();
  std::u16string CollectUntil(char16_t terminator);
  std::u16string CollectUntilClose();
  int ReadDigitTokens(int max_digits);
  void SkipBlankTokens();

  // Grammar, in recursive-descent order.
  IElement* ParseAlternation(unsigned flags, int depth);
  IElement* ParseSequence(unsigned& flags, int depth);
  IElement* ParseQuantified(unsigned& flags, int depth);
  IElement* ParseAtom(unsigned& flags, int depth);
  IElement* ParseRun(unsigned flags);
  IElement* ParseBracketClass(unsigned flags);
  IElement* ParsePosixClass(unsigned flags);
  IElement* ParseAnchor(unsigned flags);
  IElement* ParseBackref(unsigned flags);
  bool ParseBounds(int& minimum, int& maximum);
  IElement* ParseGroup(unsigned& flags, int depth);
  IElement* ParseCapture(int number, const std::u16string* name, unsigned flags, int depth);
  IElement* ParseCondition(unsigned flags, int depth);
  IElement* ParseRecursion(bool by_name);
  IElement* ParseModifiers(unsigned& flags, int depth);

  // Finishing.
  void Finish();
  int NamedGroupNumber(const std::u16string& name) const;
  void SetGroup(int number, IElement* list);

  IElement* root_ = nullptr;
  unsigned flags_ = 0;
  int highest_group_ = 0;
  int named_count_ = 0;
  bool too_complex_ = false;
  CArrayT<IElement*> owned_;
  CArrayT<IElement*> group_table_;
  CArrayT<CRecursionElementT<>*> recursions_;
  // Named groups in order of appearance, named backreferences and conditions
  // that name a group; resolved by Finish. Not on the search path.
  std::vector<NamedGroup> named_groups_;
  std::vector<NamedReference> named_backrefs_;
  std::vector<NamedReference> named_conditions_;
  std::vector<NamedReference> named_recursions_;
  CPatternLexer lexer_;
  CArrayRefT<CharT> text_;
  IElement* cache_[kBuiltinCount] = {};
  SearchPlan plan_;
};

using CPattern = CPatternT<char16_t>;

}  // namespace regex
