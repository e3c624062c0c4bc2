// PatternSyntax: the parser of the matcher's dialect and the syntax tree it builds.
//
// First stage of the matcher: the pattern text becomes a tree of sequences, one-character
// items with their quantifiers, and numbered groups of alternatives. Everything outside the
// dialect is rejected here with a PatternError naming the offending position, so later stages
// only ever see valid trees. A quantifier may follow a one-character item only, never a group:
// repetitions are therefore always runs of single characters, which keeps every engine free of
// nesting that grows with the subject. The tree does not match anything itself.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvelin::pattern {

// A set of code units as sorted, disjoint, non-adjacent inclusive ranges.
class CharSet {
public:
    void add(char16_t low, char16_t high);
    bool contains(char16_t c) const;
    // Every code unit that is not in this set.
    CharSet complement() const;
    const std::vector<std::pair<char16_t, char16_t>>& ranges() const { return m_ranges; }

private:
    std::vector<std::pair<char16_t, char16_t>> m_ranges;
};

enum class ItemKind { kLiteral, kAny, kDigit, kClass };
enum class Quantifier { kOnce, kExactly, kGreedyPlus, kLazyStar };

struct Node;
using Sequence = std::vector<Node>;

struct Node {
    enum class Kind { kItem, kGroup };
    Kind kind = Kind::kItem;

    // A one-character item: what it accepts and how often.
    ItemKind item = ItemKind::kLiteral;
    CharSet set;
    Quantifier quantifier = Quantifier::kOnce;
    int count = 1;  // for kExactly

    // A group: its number (1-based, by opening parenthesis) and its alternatives.
    int group = 0;
    std::vector<Sequence> alternatives;
};

struct Syntax {
    std::vector<Sequence> alternatives;  // the whole pattern, group 0
    int groupCount = 0;

    // A compact normalised text of the tree: groups carry their number ("(1 ...)"), classes
    // and "\d" show their ranges, other characters above U+007E show as \uXXXX.
    std::string dump() const;
};

// The largest count "{n}" accepts; larger counts would only inflate the compiled program.
inline constexpr int kMaxRepeatCount = 1000;

Syntax parsePattern(std::u16string_view pattern);

}  // namespace tarvelin::pattern
