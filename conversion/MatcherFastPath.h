// MatcherFastPath: a dedicated search for the one pattern shape the conversion runs.
//
// Both fixed patterns are a fixed-length prefix P, a lazy gap "G*?" and, ending the pattern, a
// group of alternatives "C+xLIT1|C+xLIT2|..." that share one run class C and one item x for the
// character before the literal, and differ only in their literal endings. G is either "." or a
// class that leaves out at most a few code units (the stops, such as CR and LF) none of which C
// holds. For that shape the depth-first search reduces to plain scans: find the first start
// where P matches; the earliest gap end g is given by the first literal occurrence q whose q-2
// lies in a run of C reaching back to g and whose q-1 is accepted by x; at g the first
// alternative (in pattern order) whose literal occurs within the run wins and ends at its last
// such occurrence. When there is no such q, no later start can match either, so the search ends.
// A bounded gap must also hold no stop before g; when it does, no start before that stop can
// match, and the search goes on with the starts after it (their q is the same).
//
// detect() recognises the shape on the syntax tree; every other pattern stays with the general
// MatcherEngine. The fast path does not copy the subject. It keeps no state between searches
// except what the caller hands in as a SearchMemo: a search from a position that an earlier
// search on the same subject has already scanned past reuses that scan, so that searches
// restarted inside an earlier match's gap cost no more than the part that is new.
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

// What the searches on one subject have learned; reset it (assign {}) for every new subject.
struct SearchMemo {
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    // The literal scan: no valid occurrence lies in [scanFrom, scanTo); one lies at scanTo when
    // found is set.
    std::size_t scanFrom = kNone;
    std::size_t scanTo = 0;
    bool found = false;
    // The title chosen at occurrence titleAt for a gap from titleLo: where it starts (not
    // before titleLo) and where the winning alternative ends.
    std::size_t titleAt = kNone;
    std::size_t titleLo = 0;
    std::size_t titleStart = 0;
    std::size_t titleEnd = 0;
};

class FastPath {
public:
    // The fast path for this tree, or null when the pattern has another shape.
    static std::unique_ptr<FastPath> detect(const Syntax& syntax);

    // Searches subject from position from on (from <= subject.size()). On success fills slots
    // (2 per group, -1 = unset) exactly as the backtracking search would. With endsAtNul(), the
    // subject ends at its first U+0000 whether or not the caller has cut it there, and from
    // must not lie beyond that U+0000.
    // A memo, when given, must come from searches on this same subject only.
    bool search(std::u16string_view subject, std::size_t from, std::vector<std::ptrdiff_t>& slots,
                SearchMemo* memo = nullptr) const;
    bool endsAtNul() const { return m_endsAtNul; }

    // Whether the scans use the processor's vector instructions (where built with them); on by
    // default. The tests switch them off to hold the portable scans against the same references.
    static void setVectorScans(bool enabled);

private:
    struct GroupSpan {
        int group = 0;
        std::size_t start = 0;  // offsets from the match start
        std::size_t end = 0;
    };

    FastPath() = default;

    bool inRun(char16_t c) const { return (m_runSet[c >> 6] >> (c & 63)) & 1U; }
    bool beforeAccepts(char16_t c) const
    {
        if (!m_beforeByExclusion) return m_before.contains(c);
        for (const char16_t excluded : m_beforeExcluded) {
            if (c == excluded) return false;
        }
        return true;
    }
    bool prefixAt(std::u16string_view subject, std::size_t s) const;
    // The first position of the run of C that ends at at (at itself in C), not before lo.
    std::size_t runStart(std::u16string_view subject, std::size_t at, std::size_t lo) const;
    // The first position from at on that is not in C, or the subject's end.
    std::size_t runEnd(std::u16string_view subject, std::size_t at) const;
#if defined(__SSE2__)
    unsigned runMask(const char16_t* p) const;
#endif
    bool literalAt(std::u16string_view subject, std::size_t q) const;
    // The first q in [first, limit) with c[q-2] in C, c[q-1] accepted by x and some literal at
    // q; npos when there is none, or (with m_endsAtNul) when a U+0000 comes first.
    std::size_t firstOccurrence(std::u16string_view subject, std::size_t first,
                                std::size_t limit) const;
    // The same, reusing and extending what memo knows.
    std::size_t firstOccurrence(std::u16string_view subject, std::size_t first, std::size_t limit,
                                SearchMemo& memo) const;
    // The first stop of the gap in [at, to); to when there is none.
    std::size_t firstStop(std::u16string_view subject, std::size_t at, std::size_t to) const;
    // Title at occurrence q for a gap from lo: its start, and its end in bestEnd.
    std::size_t chooseTitle(std::u16string_view subject, std::size_t q, std::size_t lo,
                            std::size_t& bestEnd) const;

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
    static constexpr int kMaxRunRanges = 8;
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
    // The same as bytes, for the scan that packs sixteen positions into one vector: used when
    // every such character lies in 1..254, where packing with saturation keeps it apart from
    // every other character (those above 255 become 255 or 0).
    bool m_packedScan = false;
    alignas(16) std::uint8_t m_pairFirst8[kMaxVectors][16] = {};
    alignas(16) std::uint8_t m_pairSecond8[kMaxVectors][16] = {};
    alignas(16) std::uint8_t m_single8[kMaxVectors][16] = {};
    std::vector<std::uint32_t> m_pairs;  // first two characters of each literal, deduplicated
    std::vector<char16_t> m_singles;     // literals of one character
    // G: empty stops with "."; otherwise the few code units it leaves out.
    static constexpr std::size_t kMaxGapStops = 4;
    std::vector<char16_t> m_gapStops;
    CharSet m_before;  // x, the item before each literal
    // x as the code units it leaves out, when those are few (none for "."); else m_before
    bool m_beforeByExclusion = false;
    std::vector<char16_t> m_beforeExcluded;
    int m_altGroup = 0;
    int m_groupCount = 0;
    bool m_endsAtNul = false;  // no prefix set, C nor literal accepts U+0000
};

}  // namespace tarvelin::pattern
