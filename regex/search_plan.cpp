// Reads the element tree for the facts the search driver uses to skip start
// positions, and finds the required literal in text.
// Tested by tests/regex/search_plan_test.cpp and tests/regex/oracle_test.cpp.
#include "regex/search_plan.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#include "platform/scan.h"
#include "regex/elements.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace regex {

namespace {

constexpr int kLengthCap = 1 << 30;
// Nested element calls one search may stack up: each costs one machine frame
// of well under 200 bytes, so this stays far below a 1 MB thread stack.
constexpr int kStackFrameBudget = 3000;

// Unit sets: 256 bits for 0..255 and one flag for all units above.
struct UnitSet {
  std::uint64_t low[4] = {};
  bool high = false;

  void Add(char16_t unit) {
    if (unit < 256) {
      low[unit >> 6] |= std::uint64_t{1} << (unit & 63);
    } else {
      high = true;
    }
  }
  void AddAll() {
    for (auto& word : low) word = ~std::uint64_t{0};
    high = true;
  }
  void Merge(const UnitSet& other) {
    for (int i = 0; i < 4; ++i) low[i] |= other.low[i];
    high = high || other.high;
  }
};

struct FirstUnits {
  UnitSet set;
  bool nullable = true;  // may match without consuming a unit
};

using Kind = ElementKind;

const IElement* RepeatBody(const IElement* e) {
  return static_cast<const CRepeatElementT<>*>(e)->element();
}
int RepeatMinimum(const IElement* e) { return static_cast<const CRepeatElementT<>*>(e)->minimum(); }
long long RepeatOptional(const IElement* e) {
  switch (e->Kind()) {
    case Kind::kGreedy:
    case Kind::kPossessive: return static_cast<const CGreedyElementT<>*>(e)->optional();
    case Kind::kLazy: return static_cast<const CLazyElementT<>*>(e)->optional();
    default: return 0;
  }
}
const CArrayT<IElement*>& Children(const IElement* e) {
  return e->Kind() == Kind::kSequence
             ? static_cast<const CSequenceElementT<>*>(e)->elements()
             : static_cast<const CAlternationElementT<>*>(e)->alternatives();
}
bool IsBackwardSequence(const IElement* e) {
  return static_cast<const CSequenceElementT<>*>(e)->backward();
}

int MinLength(const IElement* e) {
  switch (e->Kind()) {
    case Kind::kString: return static_cast<const CStringElementT<>*>(e)->size();
    case Kind::kClass:
    case Kind::kPosixClass: return 1;
    case Kind::kSequence: {
      long long sum = 0;
      for (const IElement* child : Children(e)) sum += MinLength(child);
      return static_cast<int>(std::min<long long>(sum, kLengthCap));
    }
    case Kind::kAlternation: {
      int least = kLengthCap;
      for (const IElement* child : Children(e)) least = std::min(least, MinLength(child));
      return least;
    }
    case Kind::kRepeat:
    case Kind::kGreedy:
    case Kind::kLazy:
    case Kind::kPossessive: {
      const long long total = static_cast<long long>(RepeatMinimum(e)) * MinLength(RepeatBody(e));
      return static_cast<int>(std::min<long long>(total, kLengthCap));
    }
    case Kind::kAtomic: return MinLength(static_cast<const CAtomicElementT<>*>(e)->body());
    case Kind::kCondition: {
      const auto* condition = static_cast<const CConditionElementT<>*>(e);
      const int yes = condition->yes ? MinLength(condition->yes) : 0;
      const int no = condition->no ? MinLength(condition->no) : 0;
      return std::min(yes, no);
    }
    default: return 0;  // zero-width, backreferences, recursions
  }
}

// Longest match, or -1 when unbounded or unknown.
long long MaxLength(const IElement* e) {
  switch (e->Kind()) {
    case Kind::kString: return static_cast<const CStringElementT<>*>(e)->size();
    case Kind::kClass:
    case Kind::kPosixClass: return 1;
    case Kind::kBackref:
    case Kind::kRecursion: return -1;
    case Kind::kSequence:
    case Kind::kAlternation: {
      const bool sum = e->Kind() == Kind::kSequence;
      long long total = 0;
      for (const IElement* child : Children(e)) {
        const long long length = MaxLength(child);
        if (length < 0) return -1;
        total = sum ? total + length : std::max(total, length);
      }
      return total > kLengthCap ? -1 : total;
    }
    case Kind::kRepeat:
    case Kind::kGreedy:
    case Kind::kLazy:
    case Kind::kPossessive: {
      const long long body = MaxLength(RepeatBody(e));
      if (body < 0) return -1;
      if (body == 0) return 0;
      const long long count = RepeatMinimum(e) + RepeatOptional(e);
      return count > kLengthCap / body ? -1 : count * body;
    }
    case Kind::kAtomic: return MaxLength(static_cast<const CAtomicElementT<>*>(e)->body());
    case Kind::kCondition: {
      const auto* condition = static_cast<const CConditionElementT<>*>(e);
      const long long yes = condition->yes ? MaxLength(condition->yes) : 0;
      const long long no = condition->no ? MaxLength(condition->no) : 0;
      return yes < 0 || no < 0 ? -1 : std::max(yes, no);
    }
    default: return 0;
  }
}

FirstUnits First(const IElement* e);

FirstUnits FirstOfClass(const IElement* e) {
  FirstUnits first;
  first.nullable = false;
  if (e->Kind() == Kind::kClass) {
    const auto* element = static_cast<const CClassElementT<>*>(e);
    if (element->backward()) {
      first.set.AddAll();
      return first;
    }
    for (int i = 0; i < 4; ++i) first.set.low[i] = element->table()[i];
    first.set.high = element->MayContainHigh();
    return first;
  }
  const auto* element = static_cast<const CPosixClassElementT<>*>(e);
  if (element->backward()) {
    first.set.AddAll();
    return first;
  }
  for (int unit = 0; unit < 256; ++unit) {
    if (element->Contains(static_cast<char16_t>(unit))) first.set.Add(static_cast<char16_t>(unit));
  }
  first.set.high = element->Contains(0x100);  // classification is ASCII only
  return first;
}

FirstUnits FirstOfString(const CStringElementT<>* e) {
  FirstUnits first;
  if (e->backward()) {
    first.set.AddAll();
    return first;
  }
  first.nullable = e->size() == 0;
  const char16_t unit = e->units()[0];
  first.set.Add(unit);
  if (e->ignore_case()) {
    if (unit >= u'a' && unit <= u'z') first.set.Add(unit - 32);
    if (unit >= u'A' && unit <= u'Z') first.set.Add(unit + 32);
  }
  return first;
}

FirstUnits FirstOfCondition(const CConditionElementT<>* e) {
  FirstUnits first;
  first.nullable = false;
  for (const IElement* branch : {e->yes, e->no}) {
    if (branch == nullptr) {
      first.nullable = true;
      continue;
    }
    const FirstUnits units = First(branch);
    first.set.Merge(units.set);
    first.nullable = first.nullable || units.nullable;
  }
  return first;
}

FirstUnits First(const IElement* e) {
  FirstUnits first;
  switch (e->Kind()) {
    case Kind::kString: return FirstOfString(static_cast<const CStringElementT<>*>(e));
    case Kind::kClass:
    case Kind::kPosixClass: return FirstOfClass(e);
    case Kind::kSequence:
      if (IsBackwardSequence(e)) {
        first.set.AddAll();
        return first;
      }
      for (const IElement* child : Children(e)) {
        const FirstUnits units = First(child);
        first.set.Merge(units.set);
        if (!units.nullable) {
          first.nullable = false;
          break;
        }
      }
      return first;
    case Kind::kAlternation:
      first.nullable = false;
      for (const IElement* child : Children(e)) {
        const FirstUnits units = First(child);
        first.set.Merge(units.set);
        first.nullable = first.nullable || units.nullable;
      }
      return first;
    case Kind::kRepeat:
    case Kind::kGreedy:
    case Kind::kLazy:
    case Kind::kPossessive:
      first = First(RepeatBody(e));
      if (RepeatMinimum(e) <= 0) first.nullable = true;
      return first;
    case Kind::kAtomic: return First(static_cast<const CAtomicElementT<>*>(e)->body());
    case Kind::kCondition: return FirstOfCondition(static_cast<const CConditionElementT<>*>(e));
    case Kind::kBackref:
    case Kind::kRecursion: first.set.AddAll(); return first;
    default: return first;  // zero-width
  }
}

bool IsZeroWidth(const IElement* e) {
  switch (e->Kind()) {
    case Kind::kEmpty:
    case Kind::kGroupMark:
    case Kind::kLookaround:
    case Kind::kAnchor:
    case Kind::kSearchStart: return true;
    default: return false;
  }
}

SearchPlan::Anchor AnchorOf(const IElement* e) {
  using Anchor = SearchPlan::Anchor;
  switch (e->Kind()) {
    case Kind::kAnchor: {
      const auto* anchor = static_cast<const CAnchorElementT<>*>(e);
      return anchor->kind() == AnchorKind::kTextStart && anchor->positive() ? Anchor::kTextStart
                                                                            : Anchor::kNone;
    }
    case Kind::kSearchStart: return Anchor::kSearchStart;
    case Kind::kSequence:
      if (IsBackwardSequence(e)) return Anchor::kNone;
      // Zero-width elements before the anchor leave the position where it is.
      for (const IElement* child : Children(e)) {
        const Anchor anchor = AnchorOf(child);
        if (anchor != Anchor::kNone || !IsZeroWidth(child)) return anchor;
      }
      return Anchor::kNone;
    case Kind::kAlternation: {
      const auto& children = Children(e);
      const Anchor anchor = AnchorOf(children[0]);
      for (const IElement* child : children) {
        if (AnchorOf(child) != anchor) return Anchor::kNone;
      }
      return anchor;
    }
    case Kind::kRepeat:
    case Kind::kGreedy:
    case Kind::kLazy:
    case Kind::kPossessive: return RepeatMinimum(e) >= 1 ? AnchorOf(RepeatBody(e)) : Anchor::kNone;
    case Kind::kAtomic: return AnchorOf(static_cast<const CAtomicElementT<>*>(e)->body());
    default: return Anchor::kNone;
  }
}

struct LiteralCandidate {
  const CStringElementT<>* element;
  int offset;  // fixed distance from the match start, or -1
};

// Strings that every match consumes, walking only what must match forward.
void CollectLiterals(const IElement* e, int offset, std::vector<LiteralCandidate>& out) {
  switch (e->Kind()) {
    case Kind::kString: {
      const auto* string = static_cast<const CStringElementT<>*>(e);
      if (!string->backward()) out.push_back({string, offset});
      return;
    }
    case Kind::kSequence:
      if (IsBackwardSequence(e)) return;
      for (const IElement* child : Children(e)) {
        CollectLiterals(child, offset, out);
        if (offset >= 0) {
          const long long most = MaxLength(child);
          offset = most >= 0 && most == MinLength(child) && offset + most < kLengthCap
                       ? static_cast<int>(offset + most)
                       : -1;
        }
      }
      return;
    case Kind::kRepeat:
    case Kind::kGreedy:
    case Kind::kLazy:
    case Kind::kPossessive:
      if (RepeatMinimum(e) >= 1) CollectLiterals(RepeatBody(e), offset, out);
      return;
    case Kind::kAtomic:
      CollectLiterals(static_cast<const CAtomicElementT<>*>(e)->body(), offset, out);
      return;
    default: return;
  }
}

void ChooseLiteral(const IElement* root, SearchPlan& plan) {
  std::vector<LiteralCandidate> candidates;
  CollectLiterals(root, 0, candidates);
  const LiteralCandidate* best = nullptr;
  for (const LiteralCandidate& candidate : candidates) {
    if (best == nullptr || candidate.element->size() > best->element->size() ||
        (candidate.element->size() == best->element->size() && best->offset < 0 &&
         candidate.offset >= 0)) {
      best = &candidate;
    }
  }
  if (best == nullptr || best->element->size() == 0) return;
  const auto* element = best->element;
  plan.literal.assign(reinterpret_cast<const char16_t*>(element->units().data()),
                      static_cast<size_t>(element->size()));
  plan.literal_no_case = element->ignore_case();
  plan.literal_offset = best->offset;
  int keys[2] = {0, 0};
  for (int i = 1; i < element->size(); ++i) {
    if (scan::Commonness(plan.literal[i]) < scan::Commonness(plan.literal[keys[0]])) keys[0] = i;
  }
  keys[1] = keys[0] == 0 ? element->size() - 1 : 0;
  for (int i = 0; i < element->size(); ++i) {
    if (i != keys[0] && scan::Commonness(plan.literal[i]) < scan::Commonness(plan.literal[keys[1]]))
      keys[1] = i;
  }
  plan.literal_keys[0] = keys[0];
  plan.literal_keys[1] = keys[1];
}

int TreeDepth(const IElement* e) {
  int deepest = 0;
  switch (e->Kind()) {
    case Kind::kSequence:
    case Kind::kAlternation:
      for (const IElement* child : Children(e)) deepest = std::max(deepest, TreeDepth(child));
      break;
    case Kind::kRepeat:
    case Kind::kGreedy:
    case Kind::kLazy:
    case Kind::kPossessive: deepest = TreeDepth(RepeatBody(e)); break;
    case Kind::kAtomic:
      deepest = TreeDepth(static_cast<const CAtomicElementT<>*>(e)->body());
      break;
    case Kind::kLookaround:
      deepest = TreeDepth(static_cast<const CLookaroundElementT<>*>(e)->body());
      break;
    case Kind::kCondition: {
      const auto* condition = static_cast<const CConditionElementT<>*>(e);
      for (const IElement* part : {condition->condition, condition->yes, condition->no}) {
        if (part != nullptr) deepest = std::max(deepest, TreeDepth(part));
      }
      break;
    }
    case Kind::kClass: deepest = 1; break;  // embedded members
    default: break;
  }
  return deepest + 1;
}

bool UnitMatches(char16_t text, char16_t pattern, bool no_case) {
  return text == pattern || (no_case && UpperAscii(text) == UpperAscii(pattern));
}

}  // namespace

void PlanSearch(const IElement* root, int element_count, SearchPlan& plan) {
  plan = SearchPlan{};
  plan.element_count = element_count;
  if (root == nullptr) return;
  plan.anchor = AnchorOf(root);
  plan.min_length = MinLength(root);
  const FirstUnits first = First(root);
  plan.use_first = !first.nullable && plan.min_length >= 1;
  if (plan.use_first) {
    for (int i = 0; i < 4; ++i) plan.first_low[i] = first.set.low[i];
    plan.first_high = first.set.high;
  }
  ChooseLiteral(root, plan);
  plan.tree_depth = TreeDepth(root);
  plan.max_recursion_depth = std::max(1, kStackFrameBudget / plan.tree_depth);
}

namespace {

// One literal search: two key units of the literal are compared first; an
// ASCII letter under no-case is compared with bit 5 set, which maps both of
// its cases to the lower one.
struct LiteralScan {
  const char16_t* text;
  const std::u16string& literal;
  bool no_case;
  int key1, key2;
  char16_t mask1, mask2, unit1, unit2;

  bool Verify(int at) const {
    for (size_t i = 0; i < literal.size(); ++i) {
      if (!UnitMatches(text[at + i], literal[i], no_case)) return false;
    }
    return true;
  }
  bool KeysAt(int at) const {
    return (text[at + key1] | mask1) == unit1 && (text[at + key2] | mask2) == unit2;
  }
  // Candidates in `bits` (two bits per unit from `at`): the first that
  // verifies, or -1.
  int FirstVerified(unsigned bits, int at) const {
    while (bits != 0) {
      const int bit = __builtin_ctz(bits);
      if (Verify(at + bit / 2)) return at + bit / 2;
      bits &= ~(3u << bit);
    }
    return -1;
  }
};

#if defined(__SSE2__)
// Scans start positions from `*at` in steps of 8 while a whole step fits
// before `last`; leaves `*at` where it stopped.
int ScanSse2(const LiteralScan& s, int* at, int last) {
  const __m128i want1 = _mm_set1_epi16(static_cast<short>(s.unit1));
  const __m128i want2 = _mm_set1_epi16(static_cast<short>(s.unit2));
  const __m128i or1 = _mm_set1_epi16(static_cast<short>(s.mask1));
  const __m128i or2 = _mm_set1_epi16(static_cast<short>(s.mask2));
  for (; *at + 8 <= last + 1; *at += 8) {
    const auto* p1 = reinterpret_cast<const __m128i*>(s.text + *at + s.key1);
    const auto* p2 = reinterpret_cast<const __m128i*>(s.text + *at + s.key2);
    const __m128i a = _mm_or_si128(_mm_loadu_si128(p1), or1);
    const __m128i b = _mm_or_si128(_mm_loadu_si128(p2), or2);
    const unsigned bits = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi16(a, want1), _mm_cmpeq_epi16(b, want2))));
    if (bits != 0) {
      const int found = s.FirstVerified(bits, *at);
      if (found >= 0) return found;
    }
  }
  return -1;
}
#endif

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define VARNEL_HAVE_AVX2_SCAN 1
// The same in steps of 16, for processors with AVX2 (chosen at run time).
__attribute__((target("avx2"))) int ScanAvx2(const LiteralScan& s, int* at, int last) {
  const __m256i want1 = _mm256_set1_epi16(static_cast<short>(s.unit1));
  const __m256i want2 = _mm256_set1_epi16(static_cast<short>(s.unit2));
  const __m256i or1 = _mm256_set1_epi16(static_cast<short>(s.mask1));
  const __m256i or2 = _mm256_set1_epi16(static_cast<short>(s.mask2));
  for (; *at + 16 <= last + 1; *at += 16) {
    const auto* p1 = reinterpret_cast<const __m256i*>(s.text + *at + s.key1);
    const auto* p2 = reinterpret_cast<const __m256i*>(s.text + *at + s.key2);
    const __m256i a = _mm256_or_si256(_mm256_loadu_si256(p1), or1);
    const __m256i b = _mm256_or_si256(_mm256_loadu_si256(p2), or2);
    const unsigned bits = static_cast<unsigned>(_mm256_movemask_epi8(
        _mm256_and_si256(_mm256_cmpeq_epi16(a, want1), _mm256_cmpeq_epi16(b, want2))));
    if (bits != 0) {
      const int found = s.FirstVerified(bits, *at);
      if (found >= 0) return found;
    }
  }
  return -1;
}

bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}
#endif

}  // namespace

int FindLiteral(const SearchPlan& plan, const char16_t* text, int length, int from) {
  const std::u16string& literal = plan.literal;
  const int size = static_cast<int>(literal.size());
  const int last = length - size;
  if (from < 0) from = 0;
  if (size == 0 || from > last) return -1;
  const bool no_case = plan.literal_no_case;
  auto fold_mask = [no_case](char16_t unit) -> char16_t {
    const char16_t lower = unit | 0x20;
    return no_case && lower >= u'a' && lower <= u'z' ? 0x20 : 0;
  };
  const int key1 = plan.literal_keys[0];
  const int key2 = plan.literal_keys[1];
  const char16_t mask1 = fold_mask(literal[key1]);
  const char16_t mask2 = fold_mask(literal[key2]);
  const LiteralScan scan{text,
                         literal,
                         no_case,
                         key1,
                         key2,
                         mask1,
                         mask2,
                         static_cast<char16_t>(literal[key1] | mask1),
                         static_cast<char16_t>(literal[key2] | mask2)};
  int at = from;
#if defined(VARNEL_HAVE_AVX2_SCAN)
  if (HasAvx2()) {
    const int found = ScanAvx2(scan, &at, last);
    if (found >= 0) return found;
  }
#endif
#if defined(__SSE2__)
  const int found = ScanSse2(scan, &at, last);
  if (found >= 0) return found;
#endif
  for (; at <= last; ++at) {
    if (scan.KeysAt(at) && scan.Verify(at)) return at;
  }
  return -1;
}

}  // namespace regex
