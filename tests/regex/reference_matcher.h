// A deliberately simple reference matcher for the oracle tests: patterns are
// syntax trees, and every construct lists all its outcomes in backtracking
// order as plain values (no shared stacks, no undo). Slow and exponential by
// design; only for tiny patterns and texts.
#pragma once
#include <string>
#include <vector>

namespace reference {

struct Node {
  enum Type {
    kEmpty,
    kChar,   // unit
    kClass,  // members, negated
    kDot,
    kSequence,  // children
    kAlternation,
    kRepeat,  // children[0], minimum, maximum (-1: unbounded), mode
    kGroup,   // children[0], group (capturing, numbered in pattern order)
    kNonCapturing,
    kLookaround,  // children[0], ahead, positive
    kAtomic,
    kBackref,    // group
    kAnchor,     // anchor: '^' '$' 'A' 'z' 'Z' 'b' 'B'
    kCondition,  // group; children[0] yes, children[1] no (optional)
  };
  enum Mode { kGreedy, kLazy, kPossessive };

  Type type = kEmpty;
  char16_t unit = 0;
  std::u16string members;
  bool negated = false;
  std::vector<Node> children;
  int minimum = 0;
  int maximum = -1;
  Mode mode = kGreedy;
  int group = 0;
  bool ahead = true;
  bool positive = true;
  char anchor = 0;
};

// Flags as the engine's PatternFlags: 1 DOT_ALL, 2 MULTI_LINE, 8 NO_CASE.
struct Options {
  unsigned flags = 0;
};

// Pattern text for the engine. Groups are numbered by this walk, in the order
// of their '(' (the Node's group field is overwritten).
std::u16string Render(Node& node);

// The highest group number the pattern uses.
int HighestGroup(const Node& node);

// The engine's MatchSpans for the leftmost match from `start`, or empty.
std::vector<int> Match(const Node& root, const std::u16string& text, int start, Options options);

}  // namespace reference
