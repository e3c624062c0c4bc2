// MatchLists: every match of a pattern in a subject, as lists of group spans, from the
// program's matcher, the reference backtracker and PCRE2, for differential tests.
//
// Both walk the subject the way the conversion does: Exec, then ExecNext while it finds
// something; PCRE2 is driven the same way (start at the previous end, one further after an empty
// match, subject cut at its first U+0000, DOTALL and nothing else). An unset group is {-1, -1}.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvelin {
class PatternMatcher;
namespace pattern {
struct Program;
}
}  // namespace tarvelin

namespace tarvelin::testsupport {

struct SearchBudget;

using Span = std::pair<std::ptrdiff_t, std::ptrdiff_t>;
using MatchList = std::vector<std::vector<Span>>;

// The walk is made twice, once with Exec and once with ExecInPlace; std::logic_error when the two
// differ.
MatchList patternMatcherMatches(std::u16string_view pattern, std::u16string_view subject);
// The same with a matcher built once for many subjects.
MatchList patternMatcherMatches(PatternMatcher& matcher, std::u16string_view subject);

// The same walk with the reference backtracker (throws PatternError like the matcher). With a
// budget that runs out, the list ends early and budget->exhausted is set.
MatchList referenceMatches(std::u16string_view pattern, std::u16string_view subject);
MatchList referenceMatches(const pattern::Program& program, std::u16string_view subject,
                           SearchBudget* budget = nullptr);

// The walk in which every further search starts one position after the previous match's start
// (ExecFrom for the matcher), so that searches begin inside earlier matches and their gaps, as
// the extraction's restarts do. The cost grows with the square of the subject: small ones only.
MatchList patternMatcherRestarts(PatternMatcher& matcher, std::u16string_view subject);
MatchList referenceRestarts(const pattern::Program& program, std::u16string_view subject);

// PCRE2's matches; returns false (and leaves matches empty) if PCRE2 rejects the pattern or
// gives up on a search. gaveUp, when given, tells the second case: a backtracking-heavy pattern
// ran into PCRE2's match, depth or heap limit.
bool pcre2Matches(std::u16string_view pattern, std::u16string_view subject, MatchList& matches,
                  bool* gaveUp = nullptr);

// A readable form of a match list for failure messages.
std::string describe(const MatchList& matches);

}  // namespace tarvelin::testsupport
