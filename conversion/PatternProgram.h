// PatternProgram: the compiled form of a pattern, a small instruction list every engine runs.
//
// Second stage of the matcher: the syntax tree becomes a program of character tests, prioritised
// splits, jumps, group-boundary saves and one final match. A split's preferred branch is the one
// a depth-first search tries first, so a greedy run prefers to go on, a lazy run prefers to stop
// and alternatives prefer the leftmost. There are no empty loops: every loop passes a character
// test. The program does not search; engines do.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/PatternSyntax.h"

namespace tarvelin::pattern {

struct Instruction {
    enum class Op : std::uint8_t { kTest, kSplit, kSave, kMatch };
    Op op = Op::kMatch;
    int next = -1;  // the following instruction; for a split the preferred branch
    int alt = -1;   // kSplit: the other branch
    int arg = -1;   // kTest: index into Program::sets; kSave: capture slot (2 * group + end)
};

struct Program {
    std::vector<Instruction> instructions;
    std::vector<CharSet> sets;
    int start = 0;
    int groupCount = 0;

    int slotCount() const { return 2 * (groupCount + 1); }
};

// Programs larger than this are rejected; the two fixed patterns need about a hundred.
inline constexpr std::size_t kMaxInstructions = 4000;

Program compilePattern(const Syntax& syntax);

// Parses and compiles; throws PatternError for anything outside the dialect.
Program compilePattern(std::u16string_view pattern);

}  // namespace tarvelin::pattern
