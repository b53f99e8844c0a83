// Matching behaviour of every element class, and the match state's guards.
// Tested by tests/regex/matcher_test.cpp and tests/regex/oracle_test.cpp.
#include "regex/elements.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/text.h"

namespace regex {

namespace {

// Steps between two polls of the stop hook.
constexpr std::uint64_t kPollInterval = 4096;

bool UnitsEqual(const char16_t* a, const char16_t* b, int count, bool ignore_case) {
  if (!ignore_case) {
    for (int i = 0; i < count; ++i) {
      if (a[i] != b[i]) return false;
    }
    return true;
  }
  for (int i = 0; i < count; ++i) {
    if (a[i] != b[i] && UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// Match state

template <class CharT>
bool CMatchStateT<CharT>::SlowTick() {
  if (aborted != SearchOutcome::kNoMatch) return false;
  if (steps >= budget) {
    Abort(SearchOutcome::kTooComplex);
    return false;
  }
  if (stop.poll != nullptr && stop.poll(stop.context)) {
    Abort(SearchOutcome::kStopped);
    return false;
  }
  next_check = steps + kPollInterval < budget ? steps + kPollInterval : budget;
  return true;
}

template <class CharT>
void CMatchStateT<CharT>::Abort(SearchOutcome why) {
  if (aborted == SearchOutcome::kNoMatch) aborted = why;
  next_check = 0;  // every later Tick takes the slow path and fails
}

template <class CharT>
int CMatchStateT<CharT>::FindLatest(int group) {
  if (group < 0 || group >= capture_index.size()) return -1;
  int offset = capture_index[group];
  if (offset < 0) return -1;
  const int top = captures.size() - 4;
  if (offset > top) offset = top;
  const int start = offset;
  while (offset >= 0 && captures[offset] != group) offset -= 4;
  // A long walk only follows a cut of the capture stack; charge it.
  if (start - offset > 64) AddSteps(static_cast<std::uint64_t>(start - offset) / 64);
  return offset;
}

template <class CharT>
void CMatchStateT<CharT>::SetIndex(int group, int offset) {
  if (capture_index[group] < 0) touched_groups.Push(group);
  capture_index[group] = offset;
}

template struct CMatchStateT<char16_t>;

// ---------------------------------------------------------------------------
// Empty, search start

template <int kTag>
bool CEmptyElementT<kTag>::TryMatch(CMatchState& state) const {
  return state.Tick();
}

template <int kTag>
bool CEmptyElementT<kTag>::TryNext(CMatchState& state) const {
  state.Tick();
  return false;
}

template <int kTag>
bool CSearchStartElementT<kTag>::TryMatch(CMatchState& state) const {
  return state.Tick() && state.position == state.begin;
}

template <int kTag>
bool CSearchStartElementT<kTag>::TryNext(CMatchState& state) const {
  state.Tick();
  return false;
}

// ---------------------------------------------------------------------------
// Sequence: visits its elements in order (last to first when backward); a
// failure resumes the nearest earlier element that has another way to match.

template <int kTag>
bool CSequenceElementT<kTag>::Forward(CMatchState& state, int from) const {
  const int count = elements_.size();
  int i = from;
  while (i < count) {
    if (At(i)->TryMatch(state)) {
      ++i;
      continue;
    }
    for (;;) {
      if (i == 0) return false;
      --i;
      if (At(i)->TryNext(state)) break;
    }
    ++i;
  }
  return true;
}

template <int kTag>
bool CSequenceElementT<kTag>::TryMatch(CMatchState& state) const {
  if (!state.Tick()) return false;
  return Forward(state, 0);
}

template <int kTag>
bool CSequenceElementT<kTag>::TryNext(CMatchState& state) const {
  if (!state.Tick() || elements_.empty()) return false;
  int i = elements_.size() - 1;
  while (!At(i)->TryNext(state)) {
    if (i == 0) return false;
    --i;
  }
  return Forward(state, i + 1);
}

// ---------------------------------------------------------------------------
// Alternation: pushes the index of the alternative that matched.

template <int kTag>
bool CAlternationElementT<kTag>::TryMatch(CMatchState& state) const {
  if (!state.Tick()) return false;
  for (int i = 0; i < alternatives_.size(); ++i) {
    if (alternatives_[i]->TryMatch(state)) {
      state.backtrack.Push(i);
      return true;
    }
  }
  return false;
}

template <int kTag>
bool CAlternationElementT<kTag>::TryNext(CMatchState& state) const {
  if (!state.Tick()) return false;
  const int taken = state.backtrack.Pop();
  if (alternatives_[taken]->TryNext(state)) {
    state.backtrack.Push(taken);
    return true;
  }
  for (int i = taken + 1; i < alternatives_.size(); ++i) {
    if (alternatives_[i]->TryMatch(state)) {
      state.backtrack.Push(i);
      return true;
    }
  }
  return false;
}

// ---------------------------------------------------------------------------
// Exact repeat. The count of iterations is implicit: a failing TryNext undoes
// its iteration, which leaves the previous iteration's entries on top.

template <int kTag>
bool CRepeatElementT<kTag>::MatchFrom(CMatchState& state, int done) const {
  while (done < minimum_) {
    if (element_->TryMatch(state)) {
      ++done;
      continue;
    }
    for (;;) {
      if (done == 0) return false;
      if (element_->TryNext(state)) break;
      --done;
    }
  }
  return true;
}

template <int kTag>
bool CRepeatElementT<kTag>::MatchFixed(CMatchState& state) const {
  if (minimum_ <= 0) return true;
  return MatchFrom(state, 0);
}

template <int kTag>
bool CRepeatElementT<kTag>::NextFixed(CMatchState& state) const {
  if (minimum_ <= 0) return false;
  int done = minimum_;
  while (!element_->TryNext(state)) {
    if (--done == 0) return false;
  }
  return MatchFrom(state, done);
}

template <int kTag>
bool CRepeatElementT<kTag>::TryMatch(CMatchState& state) const {
  return state.Tick() && MatchFixed(state);
}

template <int kTag>
bool CRepeatElementT<kTag>::TryNext(CMatchState& state) const {
  return state.Tick() && NextFixed(state);
}

// ---------------------------------------------------------------------------
// Greedy repeat: the optional iterations' count sits on top of their entries.
// Every counted iteration consumes something. An element that can match in
// more than one way also leaves each iteration's start position above the
// iteration's entries: when backtracking gives it a shorter way, the loop
// must go on with further iterations from there (`(?:a|ab)*c` on "abac"),
// and the start tells whether the new way still moves.

template <int kTag>
CGreedyElementT<kTag>::CGreedyElementT(IElement* element, int minimum, int optional)
    : CRepeatElementT<kTag>(element, minimum), optional_(optional) {
  switch (element->Kind()) {
    case ElementKind::kString:
    case ElementKind::kClass:
    case ElementKind::kPosixClass:
    case ElementKind::kBackref:
    case ElementKind::kAtomic:
    case ElementKind::kPossessive:
    case ElementKind::kAnchor:
    case ElementKind::kLookaround:
    case ElementKind::kEmpty:
    case ElementKind::kSearchStart: one_way_ = true; break;
    default: one_way_ = false; break;
  }
}

template <int kTag>
void CGreedyElementT<kTag>::RunGreedy(CMatchState& state, int count) const {
  const IElement* element = this->element_;
  while (count < optional_) {
    const int before = state.position;
    if (!element->TryMatch(state)) break;
    if (state.position == before) {
      // An iteration that consumes nothing would loop for ever; look for a
      // way to match that moves, and otherwise end the loop uncounted.
      bool moved = false;
      while (element->TryNext(state)) {
        if (state.position != before) {
          moved = true;
          break;
        }
      }
      if (!moved) break;
    }
    if (!one_way_) state.backtrack.Push(before);
    ++count;
  }
  state.backtrack.Push(count);
}

template <int kTag>
bool CGreedyElementT<kTag>::GiveBack(CMatchState& state) const {
  const int count = state.backtrack.Pop();
  if (count == 0) return false;
  if (one_way_) {
    this->element_->TryNext(state);  // undoes the last iteration
    state.backtrack.Push(count - 1);
    return true;
  }
  const int start = state.backtrack.Pop();
  while (this->element_->TryNext(state)) {
    if (state.position != start) {
      state.backtrack.Push(start);
      RunGreedy(state, count);
      return true;
    }
  }
  // The last iteration is undone: the repeat now ends where it began.
  state.backtrack.Push(count - 1);
  return true;
}

template <int kTag>
bool CGreedyElementT<kTag>::TryMatch(CMatchState& state) const {
  if (!state.Tick() || !this->MatchFixed(state)) return false;
  RunGreedy(state, 0);
  return true;
}

template <int kTag>
bool CGreedyElementT<kTag>::TryNext(CMatchState& state) const {
  if (!state.Tick()) return false;
  if (GiveBack(state)) return true;
  if (!this->NextFixed(state)) return false;
  RunGreedy(state, 0);
  return true;
}

// ---------------------------------------------------------------------------
// Lazy repeat. Each optional iteration leaves its start position above its
// entries; the count of optional iterations sits on top.

template <int kTag>
bool CLazyElementT<kTag>::OneMore(CMatchState& state) const {
  const IElement* element = this->element_;
  const int count = state.backtrack.Pop();
  if (count < optional_) {
    const int start = state.position;
    if (element->TryMatch(state)) {
      bool moved = state.position != start;
      while (!moved && element->TryNext(state)) moved = state.position != start;
      if (moved) {
        state.backtrack.Push(start);
        state.backtrack.Push(count + 1);
        return true;
      }
    }
  }
  for (int iteration = count; iteration >= 1; --iteration) {
    const int start = state.backtrack.Pop();
    while (element->TryNext(state)) {
      if (state.position != start) {
        state.backtrack.Push(start);
        state.backtrack.Push(iteration);
        return true;
      }
    }
  }
  return false;
}

template <int kTag>
bool CLazyElementT<kTag>::TryMatch(CMatchState& state) const {
  if (!state.Tick() || !this->MatchFixed(state)) return false;
  state.backtrack.Push(0);
  return true;
}

template <int kTag>
bool CLazyElementT<kTag>::TryNext(CMatchState& state) const {
  if (!state.Tick()) return false;
  if (OneMore(state)) return true;
  if (!this->NextFixed(state)) return false;
  state.backtrack.Push(0);
  return true;
}

// ---------------------------------------------------------------------------
// Possessive repeat and atomic group: match once, keep no choice inside.

template <int kTag>
bool CPossessiveElementT<kTag>::TryMatch(CMatchState& state) const {
  if (!state.Tick()) return false;
  const int position = state.position;
  const int backtrack_size = state.backtrack.size();
  const int capture_size = state.captures.size();
  if (!this->MatchFixed(state)) return false;
  this->RunGreedy(state, 0);
  state.backtrack.Truncate(backtrack_size);
  state.backtrack.Push(position);
  state.backtrack.Push(capture_size);
  return true;
}

template <int kTag>
bool CPossessiveElementT<kTag>::TryNext(CMatchState& state) const {
  if (!state.Tick()) return false;
  state.captures.Truncate(state.backtrack.Pop());
  state.position = state.backtrack.Pop();
  return false;
}

template <int kTag>
bool CAtomicElementT<kTag>::TryMatch(CMatchState& state) const {
  if (!state.Tick()) return false;
  const int position = state.position;
  const int backtrack_size = state.backtrack.size();
  const int capture_size = state.captures.size();
  if (!body_->TryMatch(state)) return false;
  state.backtrack.Truncate(backtrack_size);
  state.backtrack.Push(position);
  state.backtrack.Push(capture_size);
  return true;
}

template <int kTag>
bool CAtomicElementT<kTag>::TryNext(CMatchState& state) const {
  if (!state.Tick()) return false;
  state.captures.Truncate(state.backtrack.Pop());
  state.position = state.backtrack.Pop();
  return false;
}

// ---------------------------------------------------------------------------
// Lookaround: one try of the body, never backtracked into. Captures made in a
// successful positive assertion stay visible.

template <int kTag>
bool CLookaroundElementT<kTag>::TryMatch(CMatchState& state) const {
  if (!state.Tick()) return false;
  const int capture_size = state.captures.size();
  const int position = state.position;
  const int backtrack_size = state.backtrack.size();
  const bool matched = body_->TryMatch(state) == positive_;
  state.backtrack.Truncate(backtrack_size);
  state.position = position;
  if (!matched) {
    state.captures.Truncate(capture_size);
    return false;
  }
  state.backtrack.Push(capture_size);
  return true;
}

template <int kTag>
bool CLookaroundElementT<kTag>::TryNext(CMatchState& state) const {
  if (!state.Tick()) return false;
  state.captures.Truncate(state.backtrack.Pop());
  return false;
}

// ---------------------------------------------------------------------------
// Group markers. The marker met first opens the capture record; a recursion
// that re-enters an open group only moves the record's nesting level.

template <int kTag>
bool CGroupMarkElementT<kTag>::Open(CMatchState& state) const {
  state.capture_index.Extend(group_ + 1, -1);
  const int latest = state.FindLatest(group_);
  if (latest >= 0 && state.captures[latest + 2] == -1) {
    --state.captures[latest + 3];
    return true;
  }
  state.SetIndex(group_, state.captures.size());
  state.captures.Push(group_);
  state.captures.Push(state.position);
  state.captures.Push(-1);
  state.captures.Push(0);
  return true;
}

template <int kTag>
bool CGroupMarkElementT<kTag>::Close(CMatchState& state) const {
  const int latest = state.FindLatest(group_);
  if (latest < 0) return true;
  if (state.captures[latest + 3] < 0) {
    ++state.captures[latest + 3];
  } else {
    state.captures[latest + 2] = state.position;
  }
  return true;
}

template <int kTag>
bool CGroupMarkElementT<kTag>::Reopen(CMatchState& state) const {
  const int latest = state.FindLatest(group_);
  if (latest < 0) return false;
  if (state.captures[latest + 3] < 0) {
    ++state.captures[latest + 3];
    return false;
  }
  state.captures.Truncate(state.captures.size() - 4);
  int lower = latest - 4;
  if (lower > state.captures.size() - 4) lower = state.captures.size() - 4;
  while (lower >= 0 && state.captures[lower] != group_) lower -= 4;
  state.capture_index[group_] = lower < 0 ? -1 : lower;
  return false;
}

template <int kTag>
bool CGroupMarkElementT<kTag>::Unclose(CMatchState& state) const {
  const int latest = state.FindLatest(group_);
  if (latest < 0) return false;
  if (state.captures[latest + 2] != -1) {
    state.captures[latest + 2] = -1;
    state.captures[latest + 3] = 0;
  } else {
    --state.captures[latest + 3];
  }
  return false;
}

template <int kTag>
bool CGroupMarkElementT<kTag>::TryMatch(CMatchState& state) const {
  if (!state.Tick() || group_ < 0) return false;
  return closing_ ? Close(state) : Open(state);
}

template <int kTag>
bool CGroupMarkElementT<kTag>::TryNext(CMatchState& state) const {
  if (!state.Tick() || group_ < 0) return false;
  return closing_ ? Unclose(state) : Reopen(state);
}

// ---------------------------------------------------------------------------
// Backreference

template <class CharT>
bool CBackrefElementT<CharT>::TryMatch(CMatchState& state) const {
  if (!state.Tick()) return false;
  if (group_ < 0 || group_ >= state.capture_index.size()) return false;
  const int latest = state.FindLatest(group_);
  if (latest < 0) return false;
  int start = state.captures[latest + 1];
  int end = state.captures[latest + 2];
  if (end == -1) end = state.position;  // an open group ends here for now
  if (start > end) {
    const int swap = start;
    start = end;
    end = swap;
  }
  const int length = end - start;
  const int position = state.position;
  int from;
  if (backward_) {
    if (position < length) return false;
    from = position - length;
  } else {
    if (static_cast<long long>(position) + length > state.length) return false;
    from = position;
  }
  state.AddSteps(static_cast<std::uint64_t>(length) / 16);
  if (!UnitsEqual(state.text + from, state.text + start, length, ignore_case_)) return false;
  state.backtrack.Push(position);
  state.position = backward_ ? position - length : position + length;
  return true;
}

template <class CharT>
bool CBackrefElementT<CharT>::TryNext(CMatchState& state) const {
  if (!state.Tick()) return false;
  state.position = state.backtrack.Pop();
  return false;
}

// ---------------------------------------------------------------------------
// Conditional: pushes the capture stack size and which branch it took.

template <int kTag>
bool CConditionElementT<kTag>::TryMatch(CMatchState& state) const {
  if (!state.Tick()) return false;
  const int capture_size = state.captures.size();
  bool holds = true;
  if (group == -1) {
    if (condition != nullptr) {
      const int position = state.position;
      const int backtrack_size = state.backtrack.size();
      holds = condition->TryMatch(state);
      state.position = position;
      state.backtrack.Truncate(backtrack_size);
    }
  } else {
    holds = state.FindLatest(group) >= 0;
  }
  const IElement* branch = holds ? yes : no;
  if (branch != nullptr && !branch->TryMatch(state)) {
    state.captures.Truncate(capture_size);
    return false;
  }
  state.backtrack.Push(capture_size);
  state.backtrack.Push(holds ? 1 : 0);
  return true;
}

template <int kTag>
bool CConditionElementT<kTag>::TryNext(CMatchState& state) const {
  if (!state.Tick()) return false;
  const int taken = state.backtrack.Pop();
  const int capture_size = state.backtrack.Pop();
  const IElement* branch = taken ? yes : no;
  if (branch != nullptr && branch->TryNext(state)) {
    state.backtrack.Push(capture_size);
    state.backtrack.Push(taken);
    return true;
  }
  state.captures.Truncate(capture_size);
  return false;
}

// ---------------------------------------------------------------------------
// Recursion: each nesting level costs machine stack, so the depth is bounded.

template <int kTag>
bool CRecursionElementT<kTag>::Enter(CMatchState& state) const {
  if (state.recursion_depth >= state.max_recursion_depth) {
    state.Abort(SearchOutcome::kTooComplex);
    return false;
  }
  ++state.recursion_depth;
  return true;
}

template <int kTag>
bool CRecursionElementT<kTag>::TryMatch(CMatchState& state) const {
  if (!state.Tick()) return false;
  if (target_ == nullptr) return true;
  if (!Enter(state)) return false;
  const bool matched = target_->TryMatch(state);
  --state.recursion_depth;
  return matched;
}

template <int kTag>
bool CRecursionElementT<kTag>::TryNext(CMatchState& state) const {
  if (!state.Tick() || target_ == nullptr) return false;
  if (!Enter(state)) return false;
  const bool matched = target_->TryNext(state);
  --state.recursion_depth;
  return matched;
}

// ---------------------------------------------------------------------------
// Literal string

template <class CharT>
CStringElementT<CharT>::CStringElementT(const CharT* units, int count, bool backward,
                                        bool ignore_case)
    : size_(count), backward_(backward), ignore_case_(ignore_case) {
  units_.Assign(units, count);
  units_.Push(0);
}

template <class CharT>
bool CStringElementT<CharT>::TryMatch(CMatchState& state) const {
  if (!state.Tick()) return false;
  const int position = state.position;
  int from;
  if (backward_) {
    if (position < size_) return false;
    from = position - size_;
  } else {
    if (static_cast<long long>(position) + size_ > state.length) return false;
    from = position;
  }
  if (!UnitsEqual(state.text + from, units_.data(), size_, ignore_case_)) return false;
  state.position = backward_ ? position - size_ : position + size_;
  return true;
}

template <class CharT>
bool CStringElementT<CharT>::TryNext(CMatchState& state) const {
  if (!state.Tick()) return false;
  state.position += backward_ ? size_ : -size_;
  return false;
}

// ---------------------------------------------------------------------------
// Classes

template <class CharT>
bool CClassElementT<CharT>::Covered(CharT unit) const {
  for (int i = 0; i + 1 < ranges_.size(); i += 2) {
    if (ranges_[i] <= unit && unit <= ranges_[i + 1]) return true;
  }
  for (CharT single : singles_) {
    if (single == unit) return true;
  }
  return false;
}

template <class CharT>
bool CClassElementT<CharT>::ContainsSlow(CharT unit) const {
  bool member = Covered(unit);
  for (int i = 0; !member && i < embedded_.size(); ++i) {
    const IElement* element = embedded_[i];
    if (element->Kind() == ElementKind::kClass) {
      member = static_cast<const CClassElementT*>(element)->Contains(unit);
    } else {
      member = static_cast<const CPosixClassElementT<CharT>*>(element)->Contains(unit);
    }
  }
  return member == positive_;
}

template <class CharT>
void CClassElementT<CharT>::WidenCase() {
  const int range_count = ranges_.size();
  for (int i = 0; i + 1 < range_count; i += 2) {
    const CharT low = ranges_[i];
    const CharT high = ranges_[i + 1];
    const CharT upper_low = low > u'A' ? low : u'A';
    const CharT upper_high = high < u'Z' ? high : u'Z';
    if (upper_low <= upper_high) AddRange(upper_low + 32, upper_high + 32);
    const CharT lower_low = low > u'a' ? low : u'a';
    const CharT lower_high = high < u'z' ? high : u'z';
    if (lower_low <= lower_high) AddRange(lower_low - 32, lower_high - 32);
  }
  const int single_count = singles_.size();
  for (int i = 0; i < single_count; ++i) {
    const CharT unit = singles_[i];
    CharT other = unit;
    if (unit >= u'A' && unit <= u'Z') other = unit + 32;
    if (unit >= u'a' && unit <= u'z') other = unit - 32;
    if (other != unit && !Covered(other)) AddSingle(other);
  }
}

template <class CharT>
void CClassElementT<CharT>::AddLowerImages() {
  std::u16string members;
  for (int i = 0; i + 1 < ranges_.size(); i += 2) {
    for (int unit = ranges_[i]; unit <= ranges_[i + 1]; ++unit)
      members.push_back(static_cast<char16_t>(unit));
  }
  for (CharT single : singles_) members.push_back(single);
  std::u16string lowered = members;
  platform::LowerBuffer(lowered.data(), lowered.size());
  std::vector<char16_t> images;
  for (std::size_t i = 0; i < members.size(); ++i) {
    if (lowered[i] != members[i] && !Covered(lowered[i])) images.push_back(lowered[i]);
  }
  std::sort(images.begin(), images.end());
  images.erase(std::unique(images.begin(), images.end()), images.end());
  // Runs of consecutive images become one range, so that a wide range of
  // capitals stays one member.
  for (std::size_t i = 0; i < images.size();) {
    std::size_t end = i + 1;
    while (end < images.size() && images[end] == images[end - 1] + 1) ++end;
    if (end - i == 1) {
      AddSingle(images[i]);
    } else {
      AddRange(images[i], images[end - 1]);
    }
    i = end;
  }
}

template <class CharT>
void CClassElementT<CharT>::Seal() {
  // Patterns are compiled once per file, so this runs often: fill the table
  // from the members rather than testing all 256 units one by one.
  bool member[256] = {};
  for (int i = 0; i + 1 < ranges_.size(); i += 2) {
    for (int unit = ranges_[i]; unit <= ranges_[i + 1] && unit < 256; ++unit) member[unit] = true;
  }
  for (CharT single : singles_) {
    if (single < 256) member[single] = true;
  }
  for (const IElement* element : embedded_) {
    for (int unit = 0; unit < 256; ++unit) {
      if (member[unit]) continue;
      const auto c = static_cast<CharT>(unit);
      member[unit] = element->Kind() == ElementKind::kClass
                         ? static_cast<const CClassElementT*>(element)->Contains(c)
                         : static_cast<const CPosixClassElementT<CharT>*>(element)->Contains(c);
    }
  }
  for (auto& word : table_) word = 0;
  for (int unit = 0; unit < 256; ++unit) {
    if (member[unit] == positive_) table_[unit >> 6] |= std::uint64_t{1} << (unit & 63);
  }
}

template <class CharT>
bool CClassElementT<CharT>::MayContainHigh() const {
  if (!positive_ || !embedded_.empty()) return true;
  for (int i = 0; i + 1 < ranges_.size(); i += 2) {
    if (ranges_[i + 1] >= 256 && ranges_[i] <= ranges_[i + 1]) return true;
  }
  for (CharT single : singles_) {
    if (single >= 256) return true;
  }
  return false;
}

// One character that `contains` accepts, read forward or (inside a
// lookbehind) backward; the way back undoes the step.
template <class State, class Contains>
bool MatchOneCharacter(State& state, bool backward, const Contains& contains) {
  if (!state.Tick()) return false;
  const int position = state.position;
  if (backward) {
    if (position <= 0 || position > state.length || !contains(state.text[position - 1]))
      return false;
    state.position = position - 1;
  } else {
    if (position >= state.length || !contains(state.text[position])) return false;
    state.position = position + 1;
  }
  return true;
}

template <class State>
bool UndoOneCharacter(State& state, bool backward) {
  if (!state.Tick()) return false;
  state.position += backward ? 1 : -1;
  return false;
}

template <class CharT>
bool CClassElementT<CharT>::TryMatch(CMatchState& state) const {
  return MatchOneCharacter(state, backward_, [this](CharT c) { return Contains(c); });
}

template <class CharT>
bool CClassElementT<CharT>::TryNext(CMatchState& state) const {
  return UndoOneCharacter(state, backward_);
}

template <class CharT>
bool CPosixClassElementT<CharT>::TryMatch(CMatchState& state) const {
  return MatchOneCharacter(state, backward_, [this](CharT c) { return Contains(c); });
}

template <class CharT>
bool CPosixClassElementT<CharT>::TryNext(CMatchState& state) const {
  return UndoOneCharacter(state, backward_);
}

// ---------------------------------------------------------------------------
// Anchors

template <class CharT>
bool CAnchorElementT<CharT>::Holds(const CMatchState& state) const {
  const int p = state.position;
  const int n = state.length;
  const CharT* text = state.text;
  const bool has_prev = p > 0 && p <= n;
  const bool has_next = p >= 0 && p < n;
  const CharT prev = has_prev ? text[p - 1] : 0;
  const CharT next = has_next ? text[p] : 0;
  switch (kind_) {
    case AnchorKind::kTextStart: return p == 0;
    case AnchorKind::kTextEnd: return p >= n;
    case AnchorKind::kTextEndBeforeBreak:
      if (p >= n) return true;
      if (n >= 1 && text[n - 1] == u'\n' && p == n - 1) return true;
      return n >= 2 && text[n - 2] == u'\r' && text[n - 1] == u'\n' && p == n - 2;
    case AnchorKind::kLineStart:
      return p == 0 || (has_prev && prev == u'\n') ||
             (has_prev && prev == u'\r' && !(has_next && next == u'\n'));
    case AnchorKind::kLineEnd:
      return p >= n || next == u'\r' || (next == u'\n' && !(has_prev && prev == u'\r'));
    case AnchorKind::kWordBoundary:
      return (has_prev && IsWordUnit(prev)) != (has_next && IsWordUnit(next));
  }
  return false;
}

template <class CharT>
bool CAnchorElementT<CharT>::TryMatch(CMatchState& state) const {
  return state.Tick() && Holds(state) == positive_;
}

template <class CharT>
bool CAnchorElementT<CharT>::TryNext(CMatchState& state) const {
  state.Tick();
  return false;
}

template class CEmptyElementT<0>;
template class CSequenceElementT<0>;
template class CAlternationElementT<0>;
template class CRepeatElementT<0>;
template class CGreedyElementT<0>;
template class CLazyElementT<0>;
template class CPossessiveElementT<0>;
template class CAtomicElementT<0>;
template class CLookaroundElementT<0>;
template class CGroupMarkElementT<0>;
template class CBackrefElementT<char16_t>;
template class CConditionElementT<0>;
template class CRecursionElementT<0>;
template class CStringElementT<char16_t>;
template class CClassElementT<char16_t>;
template class CPosixClassElementT<char16_t>;
template class CAnchorElementT<char16_t>;
template class CSearchStartElementT<0>;

}  // namespace regex
