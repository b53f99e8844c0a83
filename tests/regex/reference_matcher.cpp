// The reference matcher: each construct returns the complete, ordered list of
// states it can end in. Backtracking order is list order; nothing is undone
// because nothing is shared. Written for obviousness, not speed.
#include "reference_matcher.h"

#include <climits>

namespace reference {

namespace {

struct Record {
  int group, start, end, nesting;
};

struct State {
  int position;
  std::vector<Record> records;
};

using States = std::vector<State>;

char16_t Upper(char16_t unit) { return unit >= u'a' && unit <= u'z' ? unit - 32 : unit; }
bool IsWord(char16_t unit) {
  return (unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z') ||
         (unit >= u'0' && unit <= u'9') || unit == u'_';
}

// Index of the latest record of `group` in `state`, or -1.
int Latest(const State& state, int group) {
  for (int i = static_cast<int>(state.records.size()) - 1; i >= 0; --i) {
    if (state.records[i].group == group) return i;
  }
  return -1;
}

class Matcher {
 public:
  Matcher(const std::u16string& text, unsigned flags) : text_(text), flags_(flags) {}

  States Outcomes(const Node& node, const State& state, bool backward) const {
    switch (node.type) {
      case Node::kEmpty: return {state};
      case Node::kChar:
      case Node::kClass:
      case Node::kDot: return OneUnit(node, state, backward);
      case Node::kSequence: return Sequence(node.children, state, backward);
      case Node::kAlternation: {
        States all;
        for (const Node& child : node.children) Append(all, Outcomes(child, state, backward));
        return all;
      }
      case Node::kRepeat: return Repeat(node, state, backward);
      case Node::kGroup: return Group(node, state, backward);
      case Node::kNonCapturing: return Outcomes(node.children[0], state, backward);
      case Node::kLookaround: return Lookaround(node, state);
      case Node::kAtomic: {
        States body = Outcomes(node.children[0], state, backward);
        if (body.empty()) return {};
        return {body[0]};
      }
      case Node::kBackref: return Backref(node, state, backward);
      case Node::kAnchor:
        if (AnchorHolds(node.anchor, state.position)) return {state};
        return {};
      case Node::kCondition: {
        const bool holds = Latest(state, node.group) >= 0;
        if (holds) return Outcomes(node.children[0], state, backward);
        if (node.children.size() < 2) return {state};
        return Outcomes(node.children[1], state, backward);
      }
    }
    return {};
  }

 private:
  static void Append(States& to, const States& from) {
    to.insert(to.end(), from.begin(), from.end());
  }

  bool UnitMatches(const Node& node, char16_t unit) const {
    const bool no_case = flags_ & 8;
    if (node.type == Node::kDot) return (flags_ & 1) || unit != u'\n';
    if (node.type == Node::kChar)
      return unit == node.unit || (no_case && Upper(unit) == Upper(node.unit));
    bool member = false;
    for (char16_t m : node.members) {
      const bool letter = (m >= u'a' && m <= u'z') || (m >= u'A' && m <= u'Z');
      if (unit == m || (no_case && letter && (unit ^ 0x20) == m)) member = true;
    }
    return member != node.negated;
  }

  States OneUnit(const Node& node, const State& state, bool backward) const {
    const int p = state.position;
    const int n = static_cast<int>(text_.size());
    if (backward ? p <= 0 : p >= n) return {};
    const char16_t unit = backward ? text_[p - 1] : text_[p];
    if (!UnitMatches(node, unit)) return {};
    State next = state;
    next.position += backward ? -1 : 1;
    return {next};
  }

  States Sequence(const std::vector<Node>& children, const State& state, bool backward) const {
    States current{state};
    const int count = static_cast<int>(children.size());
    for (int i = 0; i < count; ++i) {
      const Node& child = children[backward ? count - 1 - i : i];
      States next;
      for (const State& s : current) Append(next, Outcomes(child, s, backward));
      current.swap(next);
    }
    return current;
  }

  // Exactly `count` iterations, depth first.
  States Fixed(const Node& body, const State& state, int count, bool backward) const {
    States current{state};
    for (int i = 0; i < count; ++i) {
      States next;
      for (const State& s : current) Append(next, Outcomes(body, s, backward));
      current.swap(next);
    }
    return current;
  }

  // Greedy, depth first: each way of one more iteration that moves, followed
  // by everything the loop can do after it; the state without the iteration
  // last. An iteration that consumes nothing is never taken.
  States Greedy(const Node& body, const State& state, long long remaining, bool backward) const {
    States list;
    if (remaining > 0) {
      for (const State& next : Outcomes(body, state, backward)) {
        if (next.position != state.position)
          Append(list, Greedy(body, next, remaining - 1, backward));
      }
    }
    list.push_back(state);
    return list;
  }

  // Lazy: the state itself first, then each moving iteration depth first.
  void Lazy(const Node& body, const State& state, long long remaining, bool backward,
            States& list) const {
    list.push_back(state);
    if (remaining <= 0) return;
    for (const State& next : Outcomes(body, state, backward)) {
      if (next.position != state.position) Lazy(body, next, remaining - 1, backward, list);
    }
  }

  States Repeat(const Node& node, const State& state, bool backward) const {
    const Node& body = node.children[0];
    if (node.maximum == 0) return {state};
    if (node.minimum == node.maximum) return Fixed(body, state, node.minimum, backward);
    const long long optional = node.maximum < 0 ? static_cast<long long>(INT_MAX) - node.minimum
                                                : node.maximum - node.minimum;
    States fixed = Fixed(body, state, node.minimum, backward);
    States all;
    if (node.mode == Node::kPossessive) {
      if (fixed.empty()) return {};
      return {Greedy(body, fixed[0], optional, backward)[0]};
    }
    for (const State& f : fixed) {
      if (node.mode == Node::kGreedy) {
        Append(all, Greedy(body, f, optional, backward));
      } else {
        Lazy(body, f, optional, backward, all);
      }
    }
    return all;
  }

  States Group(const Node& node, const State& state, bool backward) const {
    State opened = state;
    const int latest = Latest(opened, node.group);
    if (latest >= 0 && opened.records[latest].end == -1) {
      --opened.records[latest].nesting;
    } else {
      opened.records.push_back(Record{node.group, state.position, -1, 0});
    }
    States all;
    for (State s : Outcomes(node.children[0], opened, backward)) {
      const int record = Latest(s, node.group);
      if (record >= 0) {
        if (s.records[record].nesting < 0) {
          ++s.records[record].nesting;
        } else {
          s.records[record].end = s.position;
        }
      }
      all.push_back(std::move(s));
    }
    return all;
  }

  States Lookaround(const Node& node, const State& state) const {
    const States body = Outcomes(node.children[0], state, !node.ahead);
    if (node.positive) {
      if (body.empty()) return {};
      State kept = body[0];
      kept.position = state.position;
      return {kept};
    }
    if (!body.empty()) return {};
    return {state};
  }

  States Backref(const Node& node, const State& state, bool backward) const {
    const int record = Latest(state, node.group);
    if (record < 0) return {};
    int start = state.records[record].start;
    int end = state.records[record].end;
    if (end == -1) end = state.position;
    if (start > end) std::swap(start, end);
    const int length = end - start;
    const int p = state.position;
    const int from = backward ? p - length : p;
    if (from < 0 || from + length > static_cast<int>(text_.size())) return {};
    for (int i = 0; i < length; ++i) {
      const char16_t a = text_[from + i];
      const char16_t b = text_[start + i];
      if (a != b && !((flags_ & 8) && Upper(a) == Upper(b))) return {};
    }
    State next = state;
    next.position = backward ? p - length : p + length;
    return {next};
  }

  bool AnchorHolds(char anchor, int p) const {
    const int n = static_cast<int>(text_.size());
    auto at = [&](int i) -> int { return i >= 0 && i < n ? text_[i] : -1; };
    const bool multi_line = flags_ & 2;
    switch (anchor) {
      case '^':
        if (!multi_line) return p == 0;
        return p == 0 || at(p - 1) == '\n' || (at(p - 1) == '\r' && at(p) != '\n');
      case '$':
        if (!multi_line) return p >= n;
        return p >= n || at(p) == '\r' || (at(p) == '\n' && at(p - 1) != '\r');
      case 'A': return p == 0;
      case 'z': return p >= n;
      case 'Z':
        return p >= n || (at(n - 1) == '\n' && p == n - 1) ||
               (at(n - 2) == '\r' && at(n - 1) == '\n' && p == n - 2);
      case 'b':
      case 'B': {
        const bool before = at(p - 1) >= 0 && IsWord(static_cast<char16_t>(at(p - 1)));
        const bool after = at(p) >= 0 && IsWord(static_cast<char16_t>(at(p)));
        return (before != after) == (anchor == 'b');
      }
    }
    return false;
  }

  const std::u16string& text_;
  unsigned flags_;
};

void RenderTo(Node& node, int& groups, std::u16string& out);

bool IsAtomLike(const Node& node) {
  switch (node.type) {
    case Node::kChar:
    case Node::kClass:
    case Node::kDot:
    case Node::kGroup:
    case Node::kNonCapturing:
    case Node::kLookaround:
    case Node::kAtomic:
    case Node::kAnchor: return true;
    default: return false;
  }
}

void RenderWrapped(Node& node, int& groups, std::u16string& out) {
  out += u"(?:";
  RenderTo(node, groups, out);
  out += u")";
}

void RenderQuantifier(const Node& node, std::u16string& out) {
  const int lo = node.minimum;
  const int hi = node.maximum;
  std::string text;
  if (lo == 0 && hi < 0) {
    text = "*";
  } else if (lo == 1 && hi < 0) {
    text = "+";
  } else if (lo == 0 && hi == 1) {
    text = "?";
  } else if (hi < 0) {
    text = "{" + std::to_string(lo) + ",}";
  } else if (lo == hi) {
    text = "{" + std::to_string(lo) + "}";
  } else {
    text = "{" + std::to_string(lo) + "," + std::to_string(hi) + "}";
  }
  if (node.mode == Node::kLazy) text += "?";
  if (node.mode == Node::kPossessive) text += "+";
  out.append(text.begin(), text.end());
}

void RenderTo(Node& node, int& groups, std::u16string& out) {
  switch (node.type) {
    case Node::kEmpty: return;
    case Node::kChar:
      if (std::u16string(u"$()*+.?[]\\^{|}").find(node.unit) != std::u16string::npos) out += u'\\';
      out += node.unit;
      return;
    case Node::kClass:
      out += node.negated ? u"[^" : u"[";
      out += node.members;
      out += u"]";
      return;
    case Node::kDot: out += u'.'; return;
    case Node::kSequence:
      for (Node& child : node.children) {
        if (child.type == Node::kAlternation) {
          RenderWrapped(child, groups, out);
        } else {
          RenderTo(child, groups, out);
        }
      }
      return;
    case Node::kAlternation:
      for (size_t i = 0; i < node.children.size(); ++i) {
        if (i > 0) out += u'|';
        RenderTo(node.children[i], groups, out);
      }
      return;
    case Node::kRepeat:
      if (IsAtomLike(node.children[0])) {
        RenderTo(node.children[0], groups, out);
      } else {
        RenderWrapped(node.children[0], groups, out);
      }
      RenderQuantifier(node, out);
      return;
    case Node::kGroup:
      node.group = ++groups;
      out += u"(";
      RenderTo(node.children[0], groups, out);
      out += u")";
      return;
    case Node::kNonCapturing: RenderWrapped(node.children[0], groups, out); return;
    case Node::kLookaround:
      out += node.ahead ? (node.positive ? u"(?=" : u"(?!") : (node.positive ? u"(?<=" : u"(?<!");
      RenderTo(node.children[0], groups, out);
      out += u")";
      return;
    case Node::kAtomic:
      out += u"(?>";
      RenderTo(node.children[0], groups, out);
      out += u")";
      return;
    case Node::kBackref: {
      const std::string digits = std::to_string(node.group);
      out += u'\\';
      out.append(digits.begin(), digits.end());
      return;
    }
    case Node::kAnchor:
      if (node.anchor != '^' && node.anchor != '$') out += u'\\';
      out += static_cast<char16_t>(node.anchor);
      return;
    case Node::kCondition: {
      const std::string digits = std::to_string(node.group);
      out += u"(?(";
      out.append(digits.begin(), digits.end());
      out += u")";
      if (node.children[0].type == Node::kAlternation) {
        RenderWrapped(node.children[0], groups, out);
      } else {
        RenderTo(node.children[0], groups, out);
      }
      if (node.children.size() > 1) {
        out += u'|';
        RenderTo(node.children[1], groups, out);
      }
      out += u")";
      return;
    }
  }
}

}  // namespace

std::u16string Render(Node& node) {
  int groups = 0;
  std::u16string out;
  RenderTo(node, groups, out);
  return out;
}

int HighestGroup(const Node& node) {
  int highest = node.type == Node::kGroup ? node.group : 0;
  for (const Node& child : node.children) highest = std::max(highest, HighestGroup(child));
  return highest;
}

std::vector<int> Match(const Node& root, const std::u16string& text, int start, Options options) {
  const Matcher matcher(text, options.flags);
  const int highest = HighestGroup(root);
  const int n = static_cast<int>(text.size());
  for (int p = start < 0 ? 0 : start; p <= n; ++p) {
    const State initial{p, {Record{0, p, -1, -1}}};
    const States outcomes = matcher.Outcomes(root, initial, false);
    if (outcomes.empty()) continue;
    State match = outcomes[0];
    match.records[Latest(match, 0)].end = match.position;
    std::vector<int> spans(2 + 2 * (highest + 1), -1);
    spans[0] = 1;
    spans[1] = highest;
    for (int g = 0; g <= highest; ++g) {
      const int record = Latest(match, g);
      if (record < 0) continue;
      spans[2 + 2 * g] = std::min(match.records[record].start, match.records[record].end);
      spans[3 + 2 * g] = std::max(match.records[record].start, match.records[record].end);
    }
    return spans;
  }
  return {};
}

}  // namespace reference
