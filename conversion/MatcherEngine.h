// MatcherEngine: the matcher's search, in time linear in the subject for every pattern.
//
// Last stage of the matcher, behind PatternMatcher. prepare() runs the backward automaton
// (MatcherDfa) once over the whole subject and keeps its state every few thousand positions,
// plus one flag per stretch telling whether a match can start there. search() then finds the
// first position from which the pattern can match and walks the program forward from it: at
// each split it takes the preferred branch if that branch can still lead to a match, otherwise
// the other one. That is exactly the path a depth-first backtracking search would accept, found
// without ever backing out, and it records the group positions on the way. The state of every
// position is kept in two bytes; only when the pattern needs so many states that the cache is
// emptied on the way are the states of the positions the walk passes rebuilt stretch by stretch
// from the kept ones instead. Nothing here recurses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "conversion/MatcherDfa.h"
#include "conversion/PatternProgram.h"

namespace tarvelin::pattern {

class MatcherEngine {
public:
    explicit MatcherEngine(const Program& program,
                           std::size_t cacheBytes = ReverseDfa::kDefaultCacheBytes);

    // Makes subject the text of the following searches; it must stay alive and unchanged.
    void prepare(std::u16string_view subject);
    // Searches from position from on. On success fills slots (2 per group, -1 = unset).
    // Searches after one prepare() must come with non-decreasing from for best speed; any
    // order gives correct results.
    bool search(std::size_t from, std::vector<std::ptrdiff_t>& slots);

private:
    int stateAt(std::size_t position)
    {
        if (m_haveAllStates) return m_allStates[position];
        const auto stretch = static_cast<std::ptrdiff_t>(position >> m_shift);
        if (stretch != m_loaded) loadStretch(static_cast<std::size_t>(stretch));
        return m_states[position - (static_cast<std::size_t>(stretch) << m_shift)];
    }
    void loadStretch(std::size_t stretch);
    void resetIfFull(std::size_t room);

    // kLazy: the split's preferred branch leaves a "*?" loop whose other branch is its one test;
    // kGreedy: the preferred branch is the one test of a "+" loop and the other leaves it.
    enum class Loop : std::uint8_t { kNone, kLazy, kGreedy };

    const Program& m_program;
    ReverseDfa m_dfa;
    std::vector<Loop> m_loops;  // per instruction
    unsigned m_shift = 0;       // stretches are 2^m_shift positions long
    std::u16string_view m_subject;
    std::vector<std::uint64_t> m_kept;    // state sets at positions 0, K, 2K, ...
    std::vector<char> m_stretchCanStart;  // per stretch [iK, (i+1)K): a match may start there
    std::size_t m_words = 0;
    std::ptrdiff_t m_loaded = -1;            // stretch whose states m_states holds
    std::vector<int> m_states;               // states of positions iK .. min((i+1)K, size)
    std::vector<std::uint16_t> m_allStates;  // every position's state, while m_haveAllStates
    bool m_haveAllStates = false;
};

}  // namespace tarvelin::pattern
