// MatcherDfa: a lazily built backward automaton telling, for a subject position, which
// instructions of a compiled pattern can still lead to a match from there.
//
// Third stage of the matcher, used by MatcherEngine. A state is the set of character tests that
// accept the character at a position and from whose continuation the match instruction is
// reachable over the rest of the subject (the match may end anywhere). The state at the end of
// the subject is the empty set; the state at position i follows from the state at i + 1 and the
// character at i, so one backward pass over the subject yields every position's state.
// States and transitions are built on demand and cached; the cache has a fixed budget and is
// cleared when full, which invalidates all state numbers. Characters are grouped into classes
// that no test of the pattern tells apart. The automaton does not record group positions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "conversion/PatternProgram.h"

namespace tarvelin::pattern {

class ReverseDfa {
public:
    // The cache budget covers states, their transitions and their success sets together.
    static constexpr std::size_t kDefaultCacheBytes = 32u << 20;

    explicit ReverseDfa(const Program& program, std::size_t cacheBytes = kDefaultCacheBytes);

    // The state of the subject's end (no test can consume there).
    int endState();
    // The state one position earlier, in front of character c.
    int step(int state, char16_t c)
    {
        const std::size_t slot = static_cast<std::size_t>(state) * m_classCount + m_classOf[c];
        const int next = m_transitions[slot];
        return next >= 0 ? next : computeStep(state, c);
    }
    // Whether the state stays the same in front of character c (known transitions only).
    bool staysIn(int state, char16_t c) const
    {
        return m_transitions[static_cast<std::size_t>(state) * m_classCount + m_classOf[c]] ==
               state;
    }
    // Whether instruction pc can lead to a match from a position in this state.
    bool canSucceed(int state, int pc)
    {
        const auto s = static_cast<std::size_t>(state);
        if (!m_successReady[s]) buildSuccess(s);
        const std::uint64_t word = m_success[s * m_pcWords + (static_cast<std::size_t>(pc) >> 6)];
        return (word >> (pc & 63)) & 1;
    }
    // Whether the pattern can match from a position in this state.
    bool canStart(int state) const { return m_canStart[static_cast<std::size_t>(state)] != 0; }

    // The state's set, to keep it across a reset; intern() gives it a number again.
    std::vector<std::uint64_t> stateBits(int state) const;
    int intern(const std::vector<std::uint64_t>& bits);

    // How many states the cache holds and may hold; reset() empties it.
    std::size_t stateCount() const { return m_canStart.size(); }
    std::size_t stateCapacity() const { return m_capacity; }
    void reset();

private:
    int computeStep(int state, char16_t c);
    bool reachesMatch(const std::uint64_t* stateBits, int pc) const;
    void buildSuccess(std::size_t state);

    struct BitsHash {
        std::size_t operator()(const std::vector<std::uint64_t>& bits) const noexcept;
    };

    const Program& m_program;
    std::vector<int> m_testOf;             // instruction -> test index, or -1
    std::vector<int> m_testPc;             // test index -> instruction
    std::size_t m_testWords = 0;           // words per set of tests
    std::size_t m_pcWords = 0;             // words per set of instructions
    std::vector<std::uint64_t> m_closure;  // per instruction: tests reachable without input
    std::vector<char> m_closureMatches;    // per instruction: match reachable without input
    std::vector<std::uint16_t> m_classOf;  // character -> class
    std::vector<char16_t> m_classSample;   // class -> one of its characters
    std::size_t m_classCount = 0;
    std::size_t m_capacity = 0;

    std::vector<std::uint64_t> m_states;  // stateCount x m_testWords
    std::vector<int> m_transitions;       // stateCount x m_classCount, -1 = not built yet
    std::vector<char> m_canStart;
    std::vector<std::uint64_t> m_success;  // stateCount x m_pcWords, built when first asked
    std::vector<char> m_successReady;
    std::unordered_map<std::vector<std::uint64_t>, int, BitsHash> m_index;
};

}  // namespace tarvelin::pattern
