// MatcherFastPath: a dedicated search for the one pattern shape the conversion runs.
//
// Both fixed patterns are a fixed-length prefix P, a lazy gap ".*?" and, ending the pattern, a
// group of alternatives "C+.LIT1|C+.LIT2|..." that share one class C and differ only in their
// literal endings. For that shape the depth-first search reduces to plain scans: find the first
// start where P matches; the earliest gap end g is given by the first literal occurrence q whose
// q-2 lies in a run of C reaching back to g; at g the first alternative (in pattern order) whose
// literal occurs within the run wins and ends at its last such occurrence. When no gap end works
// for the first start, none works for any later start either, so the search ends there.
//
// detect() recognises the shape on the syntax tree; every other pattern stays with the general
// MatcherEngine. The fast path keeps no state between searches and does not copy the subject.
// When no character the pattern itself matches can be U+0000, the subject's first U+0000 is
// found during the search (the scans look for it alongside their own work), so the caller need
// not cut the text there beforehand: that saves a whole pass over a large text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "conversion/PatternSyntax.h"

namespace tarvelin::pattern {

class FastPath {
public:
    // The fast path for this tree, or null when the pattern has another shape.
    static std::unique_ptr<FastPath> detect(const Syntax& syntax);

    // Searches subject from position from on (from <= subject.size()). On success fills slots
    // (2 per group, -1 = unset) exactly as the backtracking search would. With endsAtNul(), the
    // subject ends at its first U+0000 whether or not the caller has cut it there, and from
    // must not lie beyond that U+0000.
    bool search(std::u16string_view subject, std::size_t from,
                std::vector<std::ptrdiff_t>& slots) const;
    bool endsAtNul() const { return m_endsAtNul; }

private:
    struct GroupSpan {
        int group = 0;
        std::size_t start = 0;  // offsets from the match start
        std::size_t end = 0;
    };

    FastPath() = default;

    bool inRun(char16_t c) const { return (m_runSet[c >> 6] >> (c & 63)) & 1U; }
    bool prefixAt(std::u16string_view subject, std::size_t s) const;
    // The first position of the run of C that ends at at (at itself in C), not before lo.
    std::size_t runStart(std::u16string_view subject, std::size_t at, std::size_t lo) const;
    // The first position from at on that is not in C, or the subject's end.
    std::size_t runEnd(std::u16string_view subject, std::size_t at) const;
#if defined(__SSE2__)
    unsigned runMask(const char16_t* p) const;
#endif
    bool literalAt(std::u16string_view subject, std::size_t q) const;
    // The first q >= first with c[q-2] in C and some literal at q; npos when there is none, or
    // (with m_endsAtNul) when a U+0000 comes first.
    std::size_t firstOccurrence(std::u16string_view subject, std::size_t first) const;

    std::vector<CharSet> m_prefix;  // one set per position of P
    // The same as single ranges, filled only as far as every set is one range.
    std::vector<std::pair<char16_t, char16_t>> m_prefixRanges;
    // When every position is one range: its low ends and widths, padded to whole blocks of 8
    // with positions that accept everything.
    std::vector<std::uint16_t> m_blockLow;
    std::vector<std::uint16_t> m_blockSpan;
    std::vector<GroupSpan> m_prefixGroups;
    std::vector<std::uint64_t> m_runSet;  // the class C as a 65536-bit table
    // C as ranges for eight-at-a-time tests; m_runRanges is 0 when C has more ranges.
    static constexpr int kMaxRunRanges = 4;
    int m_runRanges = 0;
    std::uint16_t m_runLow[kMaxRunRanges] = {};
    std::uint16_t m_runSpan[kMaxRunRanges] = {};
    std::vector<std::u16string> m_literals;
    std::uint64_t m_firstBloom = 0;  // bit (c & 63) set for every literal's first character c
    // The same, each character repeated in eight lanes for the vector scan; only the first
    // kMaxVectors are kept, with more the scan goes character by character.
    static constexpr std::size_t kMaxVectors = 16;
    alignas(16) std::uint16_t m_pairFirst[kMaxVectors][8] = {};
    alignas(16) std::uint16_t m_pairSecond[kMaxVectors][8] = {};
    alignas(16) std::uint16_t m_single[kMaxVectors][8] = {};
    std::vector<std::uint32_t> m_pairs;  // first two characters of each literal, deduplicated
    std::vector<char16_t> m_singles;     // literals of one character
    int m_altGroup = 0;
    int m_groupCount = 0;
    bool m_endsAtNul = false;  // no prefix set, C nor literal accepts U+0000
};

}  // namespace tarvelin::pattern
