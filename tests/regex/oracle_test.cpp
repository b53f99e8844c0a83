// Exhaustive sweeps: every pattern built from a few atoms over a tiny
// alphabet, against every short text, must give the reference matcher's
// spans and captures. Each sweep covers one family of constructs.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "reference_matcher.h"
#include "regex/pattern.h"
#include "regex/search.h"
#include "spans_text.h"

namespace {

using reference::Node;

Node Char(char16_t unit) {
  Node node;
  node.type = Node::kChar;
  node.unit = unit;
  return node;
}
Node Class(std::u16string members, bool negated) {
  Node node;
  node.type = Node::kClass;
  node.members = std::move(members);
  node.negated = negated;
  return node;
}
Node Leaf(Node::Type type) {
  Node node;
  node.type = type;
  return node;
}
Node Anchor(char anchor) {
  Node node = Leaf(Node::kAnchor);
  node.anchor = anchor;
  return node;
}
Node Backref(int group) {
  Node node = Leaf(Node::kBackref);
  node.group = group;
  return node;
}
Node Wrap(Node::Type type, Node child) {
  Node node = Leaf(type);
  node.children.push_back(std::move(child));
  return node;
}
Node Pair(Node::Type type, Node a, Node b) {
  Node node = Leaf(type);
  node.children.push_back(std::move(a));
  node.children.push_back(std::move(b));
  return node;
}

using Unary = std::function<Node(Node)>;

Unary Quantifier(int minimum, int maximum, Node::Mode mode) {
  return [=](Node child) {
    Node node = Wrap(Node::kRepeat, std::move(child));
    node.minimum = minimum;
    node.maximum = maximum;
    node.mode = mode;
    return node;
  };
}
Unary Look(bool ahead, bool positive) {
  return [=](Node child) {
    Node node = Wrap(Node::kLookaround, std::move(child));
    node.ahead = ahead;
    node.positive = positive;
    return node;
  };
}
Unary Of(Node::Type type) {
  return [=](Node child) { return Wrap(type, std::move(child)); };
}
Unary Condition(int group, bool with_no) {
  return [=](Node child) {
    Node node = Wrap(Node::kCondition, child);
    node.group = group;
    if (with_no) node.children.push_back(Char(u'b'));
    return node;
  };
}

struct Grammar {
  std::vector<Node> atoms;
  std::vector<Unary> unary;
  bool alternation = true;
};

// All trees of exactly each size up to `max_size`: atoms are size 1, a unary
// construct adds 1, a sequence adds its parts, an alternation one more.
std::vector<Node> Enumerate(const Grammar& grammar, int max_size) {
  std::vector<std::vector<Node>> by_size(max_size + 1);
  by_size[1] = grammar.atoms;
  for (int size = 2; size <= max_size; ++size) {
    auto& out = by_size[size];
    for (const Unary& op : grammar.unary) {
      for (const Node& child : by_size[size - 1]) out.push_back(op(child));
    }
    for (int left = 1; left < size; ++left) {
      for (const Node& a : by_size[left]) {
        for (const Node& b : by_size[size - left]) out.push_back(Pair(Node::kSequence, a, b));
      }
    }
    if (!grammar.alternation) continue;
    for (int left = 1; left < size - 1; ++left) {
      for (const Node& a : by_size[left]) {
        for (const Node& b : by_size[size - 1 - left])
          out.push_back(Pair(Node::kAlternation, a, b));
      }
    }
  }
  std::vector<Node> all;
  for (auto& group : by_size) all.insert(all.end(), group.begin(), group.end());
  return all;
}

std::vector<std::u16string> AllTexts(const std::u16string& alphabet, int max_length) {
  std::vector<std::u16string> texts{u""};
  std::vector<std::u16string> previous{u""};
  for (int length = 1; length <= max_length; ++length) {
    std::vector<std::u16string> next;
    for (const auto& text : previous) {
      for (char16_t unit : alphabet) next.push_back(text + unit);
    }
    texts.insert(texts.end(), next.begin(), next.end());
    previous.swap(next);
  }
  return texts;
}

struct Sweep {
  Grammar grammar;
  int max_size;
  std::u16string alphabet;
  int max_text;
  unsigned flags;
  std::vector<int> starts{-1};
};

// Compares the engine with the reference on every pattern and text; returns
// the number of (pattern, text) pairs compared.
long Compare(std::vector<Node>& patterns, const std::vector<std::u16string>& texts, unsigned flags,
             const std::vector<int>& starts) {
  regex::CPattern pattern;
  regex::CMatchState state;
  regex::MatchSpans spans;
  long compared = 0;
  int failures = 0;
  for (Node& tree : patterns) {
    const std::u16string text_of_pattern = reference::Render(tree);
    pattern.Compile(text_of_pattern.c_str(), flags);
    for (const auto& text : texts) {
      for (int start : starts) {
        if (start > static_cast<int>(text.size())) continue;
        const auto expected = reference::Match(tree, text, start, {flags});
        const auto outcome =
            regex::Search(pattern, text.data(), static_cast<int>(text.size()), start, state, spans);
        ++compared;
        if (outcome == regex::SearchOutcome::kMatch || outcome == regex::SearchOutcome::kNoMatch) {
          if (spans == expected) continue;
        }
        ADD_FAILURE() << "pattern " << Printable(text_of_pattern) << " text \"" << Printable(text)
                      << "\" start " << start << " flags " << flags << ": engine "
                      << SpansText(spans) << ", reference " << SpansText(expected);
        if (++failures >= 20) return compared;
      }
    }
  }
  return compared;
}

long RunSweep(const Sweep& sweep) {
  std::vector<Node> patterns = Enumerate(sweep.grammar, sweep.max_size);
  return Compare(patterns, AllTexts(sweep.alphabet, sweep.max_text), sweep.flags, sweep.starts);
}

Grammar CoreGrammar() {
  Grammar grammar;
  grammar.atoms = {Char(u'a'), Char(u'b'), Leaf(Node::kDot), Class(u"ab", false)};
  grammar.unary = {Of(Node::kGroup),
                   Quantifier(0, -1, Node::kGreedy),
                   Quantifier(1, -1, Node::kGreedy),
                   Quantifier(0, 1, Node::kGreedy),
                   Quantifier(1, 2, Node::kGreedy),
                   Quantifier(0, -1, Node::kLazy),
                   Quantifier(1, 2, Node::kLazy)};
  return grammar;
}

TEST(OracleTest, GroupsRepeatsAndAlternations) {
  const long compared = RunSweep({CoreGrammar(), 4, u"ab", 4, 0});
  EXPECT_GT(compared, 100000);
}

TEST(OracleTest, LazyPossessiveAndAtomicRepeats) {
  Grammar grammar;
  grammar.atoms = {Char(u'a'), Char(u'b'), Class(u"a", true), Leaf(Node::kEmpty)};
  grammar.unary = {Of(Node::kGroup),
                   Of(Node::kAtomic),
                   Quantifier(0, -1, Node::kPossessive),
                   Quantifier(1, 2, Node::kPossessive),
                   Quantifier(0, 1, Node::kLazy),
                   Quantifier(2, 3, Node::kLazy),
                   Quantifier(2, -1, Node::kGreedy),
                   Quantifier(2, 2, Node::kPossessive)};
  RunSweep({grammar, 4, u"ab", 4, 0});
}

TEST(OracleTest, LookaroundsAndAnchors) {
  Grammar grammar;
  grammar.atoms = {Char(u'a'),  Leaf(Node::kDot), Anchor('^'), Anchor('$'),
                   Anchor('b'), Anchor('B'),      Anchor('Z')};
  grammar.unary = {Of(Node::kGroup),
                   Look(true, true),
                   Look(true, false),
                   Look(false, true),
                   Look(false, false),
                   Quantifier(0, -1, Node::kGreedy),
                   Quantifier(1, -1, Node::kLazy)};
  RunSweep({grammar, 4, u"a \n", 3, 0});
  RunSweep({grammar, 3, u"a\r\n", 3, 2 /* MULTI_LINE */});
}

TEST(OracleTest, BackreferencesAndConditions) {
  Grammar grammar;
  grammar.atoms = {Char(u'a'), Char(u'b'), Backref(1), Backref(2), Leaf(Node::kDot)};
  grammar.unary = {Of(Node::kGroup),
                   Quantifier(0, -1, Node::kGreedy),
                   Quantifier(0, 1, Node::kGreedy),
                   Look(false, true),
                   Condition(1, true),
                   Condition(2, false)};
  RunSweep({grammar, 4, u"ab", 4, 0});
}

TEST(OracleTest, IgnoringCaseAndDotAll) {
  Grammar grammar;
  grammar.atoms = {Char(u'a'),        Char(u'B'),       Class(u"aB", false),
                   Class(u"b", true), Leaf(Node::kDot), Backref(1)};
  grammar.unary = {Of(Node::kGroup), Quantifier(1, -1, Node::kGreedy), Look(false, true)};
  RunSweep({grammar, 3, u"aAbB\n", 3, 8 /* NO_CASE */});
  RunSweep({grammar, 3, u"aB\n", 3, 1 /* DOT_ALL */});
}

Node Sequence(std::vector<Node> parts) {
  Node node = Leaf(Node::kSequence);
  node.children = std::move(parts);
  return node;
}

// A greedy repeat whose last iteration backed off to a shorter alternative
// used to end there, so "(?:a|ab)*c" missed "abac" at 0. Every repeat form
// over a captured alternation of two short choices, with what may follow it.
TEST(OracleTest, RepeatedAlternationsGoOnAfterAnIterationBacksOff) {
  const Node a = Char(u'a');
  const Node b = Char(u'b');
  const std::vector<Node> choices = {
      a,
      b,
      Sequence({a, b}),
      Sequence({a, a}),
      Sequence({b, a}),
      Quantifier(1, -1, Node::kGreedy)(a),
      Quantifier(0, 1, Node::kGreedy)(b),
      Leaf(Node::kEmpty),
  };
  const std::vector<Unary> repeats = {
      Quantifier(0, -1, Node::kGreedy),    Quantifier(1, -1, Node::kGreedy),
      Quantifier(0, 1, Node::kGreedy),     Quantifier(0, 2, Node::kGreedy),
      Quantifier(1, 3, Node::kGreedy),     Quantifier(2, -1, Node::kGreedy),
      Quantifier(0, -1, Node::kLazy),      Quantifier(1, -1, Node::kLazy),
      Quantifier(1, 2, Node::kLazy),       Quantifier(0, -1, Node::kPossessive),
      Quantifier(0, 2, Node::kPossessive), Quantifier(2, 2, Node::kGreedy),
  };
  const std::vector<Node> tails = {Leaf(Node::kEmpty), Char(u'c'), a, Anchor('$')};
  std::vector<Node> patterns;
  for (const Node& first : choices) {
    for (const Node& second : choices) {
      const Node group = Wrap(Node::kGroup, Pair(Node::kAlternation, first, second));
      for (const Unary& repeat : repeats) {
        for (const Node& tail : tails) patterns.push_back(Sequence({repeat(group), tail}));
      }
    }
  }
  const long compared = Compare(patterns, AllTexts(u"abc", 4), 0, {-1});
  EXPECT_GT(compared, 300000);
}

TEST(OracleTest, SearchFromEveryStart) {
  Grammar grammar = CoreGrammar();
  grammar.atoms.push_back(Anchor('^'));
  RunSweep({grammar, 3, u"ab", 4, 0, {0, 1, 2, 3, 4}});
}

}  // namespace
