// ReferenceBacktracker: a plain depth-first backtracking search over a compiled pattern, the
// reference the program's linear-time engine is tested against.
//
// It tries start positions in order and, at each, follows the program's splits preferred
// branch first, undoing group positions when it backs out of a branch. Its choice points live
// on an explicit stack, so nothing recurses with the subject. It makes no effort to be fast:
// a lazy gap that never finds its continuation costs time that grows with the square of the
// subject.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "conversion/PatternProgram.h"

namespace tarvelin::testsupport {

// A bound on the work of searches: with a pattern of several repetitions the backtracking takes
// time that grows with a power of the subject's length, which random tests must be able to stop.
struct SearchBudget {
    std::size_t steps = 0;   // instructions still allowed
    bool exhausted = false;  // set when a search stopped because none were left
};

// Searches subject from position from on. On success fills slots (2 per group, -1 = unset).
// With a budget, a search that runs out of steps returns false and sets budget->exhausted.
bool referenceSearch(const pattern::Program& program, std::u16string_view subject, std::size_t from,
                     std::vector<std::ptrdiff_t>& slots, SearchBudget* budget = nullptr);

}  // namespace tarvelin::testsupport
