// The element tree of a compiled pattern, the match state its elements share,
// and the TryMatch / TryNext backtracking protocol.
// Tested by tests/regex/matcher_test.cpp and tests/regex/oracle_test.cpp.
#pragma once
#include <cstdint>

#include "regex/array.h"

namespace regex {

// How a search call ended. kTooComplex: the pattern needs more work or more
// nesting than one search may spend; kStopped: the stop hook asked to stop.
enum class SearchOutcome { kNoMatch, kMatch, kTooComplex, kStopped };

// Polled every few thousand steps of a long match; returning true ends the
// search with kStopped. The hook must be cheap and must not block.
struct StopHook {
  bool (*poll)(void* context) = nullptr;
  void* context = nullptr;
};

// One search call's state. Kept by the caller and reused, so that a search
// allocates nothing once the stacks have grown to what the pattern needs.
template <class CharT>
struct CMatchStateT {
  // Shared by all elements; each pushes and pops only its own entries, LIFO.
  CArrayT<int> backtrack;
  // CaptureRecords of four integers: group, start, end (-1 while open),
  // nesting level (negative while a recursion has re-entered the open group).
  CArrayT<int> captures;
  // Per group: offset of its latest record in `captures`, negative for none.
  CArrayT<int> capture_index;
  int position = 0;
  int begin = 0;
  const CharT* text = nullptr;
  int length = 0;

  // Guards against runaway matches (see Tick). `aborted` stays set until the
  // next search call; every element operation fails while it is set.
  std::uint64_t steps = 0;
  std::uint64_t next_check = 0;
  std::uint64_t budget = 0;
  int recursion_depth = 0;
  int max_recursion_depth = 0;
  StopHook stop;
  SearchOutcome aborted = SearchOutcome::kNoMatch;
  // Groups whose capture index entry an attempt has set, so the next attempt
  // can clear just those instead of the whole index.
  CArrayT<int> touched_groups;

  // Counts one element operation; false once the search has been aborted.
  bool Tick() {
    if (++steps < next_check) [[likely]]
      return true;
    return SlowTick();
  }
  bool SlowTick();
  void Abort(SearchOutcome why);
  void AddSteps(std::uint64_t count) { steps += count; }

  // Offset of the latest record of `group`, or -1. Starts at the group's
  // index entry, clamped to the top record, and steps down to the first
  // record of that group: entries may be stale after a capture-stack cut.
  int FindLatest(int group);
  // Points the capture index of `group` at `offset`.
  void SetIndex(int group, int offset);
};

using CMatchState = CMatchStateT<char16_t>;

// Which class an element is; lets the search planner read the tree.
enum class ElementKind {
  kEmpty,
  kSequence,
  kAlternation,
  kRepeat,
  kGreedy,
  kLazy,
  kPossessive,
  kAtomic,
  kLookaround,
  kGroupMark,
  kBackref,
  kCondition,
  kRecursion,
  kString,
  kClass,
  kPosixClass,
  kAnchor,
  kSearchStart,
};

class IElement {
 public:
  // Matches at the state's position. Success: true, position after the match,
  // whatever is needed to resume left on the backtrack stack. Failure: false,
  // with position, stacks and captures exactly as on entry.
  virtual bool TryMatch(CMatchState& state) const = 0;
  // Only after a successful TryMatch/TryNext of this element with its stack
  // entries undisturbed: the next way to match from the same start (true), or
  // undo the element completely (false).
  virtual bool TryNext(CMatchState& state) const = 0;
  virtual ~IElement() = default;
  virtual ElementKind Kind() const = 0;
};

template <int kTag = 0>
class CEmptyElementT : public IElement {
 public:
  bool TryMatch(CMatchState& state) const override;
  bool TryNext(CMatchState& state) const override;
  ElementKind Kind() const override { return ElementKind::kEmpty; }
};

template <int kTag = 0>
class CSequenceElementT : public IElement {
 public:
  explicit CSequenceElementT(bool backward) : backward_(backward) {}
  void Add(IElement* element) { elements_.Push(element); }
  bool TryMatch(CMatchState& state) const override;
  bool TryNext(CMatchState& state) const override;
  ElementKind Kind() const override { return ElementKind::kSequence; }
  const CArrayT<IElement*>& elements() const { return elements_; }
  bool backward() const { return backward_; }

 private:
  const IElement* At(int visit) const {
    return elements_[backward_ ? elements_.size() - 1 - visit : visit];
  }
  bool Forward(CMatchState& state, int from) const;

  CArrayT<IElement*> elements_;
  bool backward_;
};

template <int kTag = 0>
class CAlternationElementT : public IElement {
 public:
  void Add(IElement* element) { alternatives_.Push(element); }
  bool TryMatch(CMatchState& state) const override;
  bool TryNext(CMatchState& state) const override;
  ElementKind Kind() const override { return ElementKind::kAlternation; }
  const CArrayT<IElement*>& alternatives() const { return alternatives_; }

 private:
  CArrayT<IElement*> alternatives_;
};

// Exactly `minimum` iterations; also the fixed part of the other repeats.
template <int kTag = 0>
class CRepeatElementT : public IElement {
 public:
  CRepeatElementT(IElement* element, int minimum) : element_(element), minimum_(minimum) {}
  bool TryMatch(CMatchState& state) const override;
  bool TryNext(CMatchState& state) const override;
  ElementKind Kind() const override { return ElementKind::kRepeat; }
  const IElement* element() const { return element_; }
  int minimum() const { return minimum_; }

 protected:
  bool MatchFixed(CMatchState& state) const;
  bool NextFixed(CMatchState& state) const;
  bool MatchFrom(CMatchState& state, int done) const;

  IElement* element_;
  int minimum_;
};

template <int kTag = 0>
class CGreedyElementT : public CRepeatElementT<kTag> {
 public:
  CGreedyElementT(IElement* element, int minimum, int optional);
  bool TryMatch(CMatchState& state) const override;
  bool TryNext(CMatchState& state) const override;
  ElementKind Kind() const override { return ElementKind::kGreedy; }
  int optional() const { return optional_; }

 protected:
  // Adds optional iterations to the `count` already taken, then pushes the
  // new count.
  void RunGreedy(CMatchState& state, int count) const;
  bool GiveBack(CMatchState& state) const;

  int optional_;
  // The element's TryNext never finds another way (it only undoes), so no
  // iteration needs its start position kept.
  bool one_way_;
};

template <int kTag = 0>
class CLazyElementT : public CRepeatElementT<kTag> {
 public:
  CLazyElementT(IElement* element, int minimum, int optional)
      : CRepeatElementT<kTag>(element, minimum), optional_(optional) {}
  bool TryMatch(CMatchState& state) const override;
  bool TryNext(CMatchState& state) const override;
  ElementKind Kind() const override { return ElementKind::kLazy; }
  int optional() const { return optional_; }

 private:
  bool OneMore(CMatchState& state) const;

  int optional_;
};

template <int kTag = 0>
class CPossessiveElementT : public CGreedyElementT<kTag> {
 public:
  using CGreedyElementT<kTag>::CGreedyElementT;
  bool TryMatch(CMatchState& state) const override;
  bool TryNext(CMatchState& state) const override;
  ElementKind Kind() const override { return ElementKind::kPossessive; }
};

template <int kTag = 0>
class CAtomicElementT : public IElement {
 public:
  explicit CAtomicElementT(IElement* body) : body_(body) {}
  bool TryMatch(CMatchState& state) const override;
  bool TryNext(CMatchState& state) const override;
  ElementKind Kind() const override { return ElementKind::kAtomic; }
  const IElement* body() const { return body_; }

 private:
  IElement* body_;
};

template <int kTag = 0>
class CLookaroundElementT : public IElement {
 public:
  CLookaroundElementT(IElement* body, bool positive) : body_(body), positive_(positive) {}
  bool TryMatch(CMatchState& state) const override;
  bool TryNext(CMatchState& state) const override;
  ElementKind Kind() const override { return ElementKind::kLookaround; }
  const IElement* body() const { return body_; }
  bool positive() const { return positive_; }

 private:
  IElement* body_;
  bool positive_;
};

template <int kTag = 0>
class CGroupMarkElementT : public IElement {
 public:
  CGroupMarkElementT(int group, bool closing) : group_(group), closing_(closing) {}
  bool TryMatch(CMatchState& state) const override;
  bool TryNext(CMatchState& state) const override;
  ElementKind Kind() const override { return ElementKind::kGroupMark; }
  int group() const { return group_; }
  void set_group(int group) { group_ = group; }
  bool closing() const { return closing_; }

 private:
  bool Open(CMatchState& state) const;
  bool Close(CMatchState& state) const;
  bool Reopen(CMatchState& state) const;
  bool Unclose(CMatchState& state) const;

  int group_;
  bool closing_;
};

template <class CharT = char16_t>
class CBackrefElementT : public IElement {
 public:
  CBackrefElementT(int group, bool backward, bool ignore_case)
      : group_(group), backward_(backward), ignore_case_(ignore_case) {}
  bool TryMatch(CMatchState& state) const override;
  bool TryNext(CMatchState& state) const override;
  ElementKind Kind() const override { return ElementKind::kBackref; }
  void set_group(int group) { group_ = group; }
  int group() const { return group_; }

 private:
  int group_;  // negative: a name no group bears (never matches)
  bool backward_;
  bool ignore_case_;
};

template <int kTag = 0>
class CConditionElementT : public IElement {
 public:
  bool TryMatch(CMatchState& state) const override;
  bool TryNext(CMatchState& state) const override;
  ElementKind Kind() const override { return ElementKind::kCondition; }

  int group = -1;  // -1: `condition` is an assertion run on the text
  IElement* condition = nullptr;
  IElement* yes = nullptr;
  IElement* no = nullptr;
};

template <int kTag = 0>
class CRecursionElementT : public IElement {
 public:
  static constexpr int kNamed = -3;
  explicit CRecursionElementT(int group) : group_(group) {}
  bool TryMatch(CMatchState& state) const override;
  bool TryNext(CMatchState& state) const override;
  ElementKind Kind() const override { return ElementKind::kRecursion; }
  int group() const { return group_; }
  void set_group(int group) { group_ = group; }
  void Bind(const IElement* target) { target_ = target; }

 private:
  bool Enter(CMatchState& state) const;

  const IElement* target_ = nullptr;  // none: matches the empty string
  int group_;
};

template <class CharT = char16_t>
class CStringElementT : public IElement {
 public:
  CStringElementT(const CharT* units, int count, bool backward, bool ignore_case);
  bool TryMatch(CMatchState& state) const override;
  bool TryNext(CMatchState& state) const override;
  ElementKind Kind() const override { return ElementKind::kString; }
  const CArrayT<CharT>& units() const { return units_; }
  int size() const { return size_; }
  bool backward() const { return backward_; }
  bool ignore_case() const { return ignore_case_; }

 private:
  CArrayT<CharT> units_;  // kept NUL-terminated; size_ excludes the NUL
  int size_;
  bool backward_;
  bool ignore_case_;
};

// ASCII classification standing in for the C library in its default locale.
using PosixClassifier = bool (*)(char16_t unit);

template <class CharT = char16_t>
class CPosixClassElementT : public IElement {
 public:
  CPosixClassElementT(PosixClassifier classifier, bool backward, bool positive)
      : classifier_(classifier), backward_(backward), positive_(positive) {}
  bool TryMatch(CMatchState& state) const override;
  bool TryNext(CMatchState& state) const override;
  ElementKind Kind() const override { return ElementKind::kPosixClass; }
  bool Contains(CharT unit) const {
    return classifier_ != nullptr && classifier_(unit) == positive_;
  }
  bool backward() const { return backward_; }
  bool positive() const { return positive_; }

 private:
  PosixClassifier classifier_;  // none: a name that is not a class; never matches
  bool backward_;
  bool positive_;
};

template <class CharT = char16_t>
class CClassElementT : public IElement {
 public:
  CClassElementT(bool backward, bool positive) : backward_(backward), positive_(positive) {}
  void AddRange(CharT low, CharT high) {
    ranges_.Push(low);
    ranges_.Push(high);
  }
  void AddSingle(CharT unit) { singles_.Push(unit); }
  // Embedded members are other classes of the same direction (\d, [:alpha:]).
  void AddEmbedded(IElement* element) { embedded_.Push(element); }
  // Adds the other ASCII case of every member range and letter.
  void WidenCase();
  // Adds the platform's lower-case image of every member, for text that is
  // lowered before it is searched.
  void AddLowerImages();
  // Must be called once the members are final: builds the lookup table.
  void Seal();

  bool TryMatch(CMatchState& state) const override;
  bool TryNext(CMatchState& state) const override;
  ElementKind Kind() const override { return ElementKind::kClass; }
  bool Contains(CharT unit) const {
    if (unit < 256) return (table_[unit >> 6] >> (unit & 63)) & 1;
    return ContainsSlow(unit);
  }
  // Whether some code unit from 256 up may be a member.
  bool MayContainHigh() const;
  // Membership of units 0 to 255 as 256 bits (valid once sealed).
  const std::uint64_t* table() const { return table_; }
  bool backward() const { return backward_; }

 private:
  bool ContainsSlow(CharT unit) const;
  bool Covered(CharT unit) const;

  CArrayT<CharT> ranges_;  // pairs low, high
  CArrayT<CharT> singles_;
  CArrayT<IElement*> embedded_;
  bool backward_;
  bool positive_;
  std::uint64_t table_[4] = {};  // membership of units 0..255, negation applied
};

enum class AnchorKind {
  kTextStart = 0,
  kTextEnd = 1,
  kTextEndBeforeBreak = 2,
  kLineStart = 3,
  kLineEnd = 4,
  kWordBoundary = 7,
};

template <class CharT = char16_t>
class CAnchorElementT : public IElement {
 public:
  CAnchorElementT(AnchorKind kind, bool positive) : kind_(kind), positive_(positive) {}
  bool TryMatch(CMatchState& state) const override;
  bool TryNext(CMatchState& state) const override;
  ElementKind Kind() const override { return ElementKind::kAnchor; }
  AnchorKind kind() const { return kind_; }
  bool positive() const { return positive_; }

 private:
  bool Holds(const CMatchState& state) const;

  AnchorKind kind_;
  bool positive_;
};

template <int kTag = 0>
class CSearchStartElementT : public IElement {
 public:
  bool TryMatch(CMatchState& state) const override;
  bool TryNext(CMatchState& state) const override;
  ElementKind Kind() const override { return ElementKind::kSearchStart; }
};

// Case-insensitive comparison upper-cases a-z only.
inline char16_t UpperAscii(char16_t unit) {
  return unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - 32) : unit;
}
inline bool IsWordUnit(char16_t unit) {
  return (unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z') ||
         (unit >= u'0' && unit <= u'9') || unit == u'_';
}

}  // namespace regex
