// ReferenceMatchers: the same searches as the program's PatternMatcher, run by PCRE2 and RE2.
//
// Tests and benchmarks hold the program's matcher against two established engines. Each
// searcher walks a subject the way the program's Exec/ExecNext loop does: the first match from
// the subject's start, every further one from the end of the previous match (one further after
// an empty match), and the subject ends at its first U+0000. Both references use the program's
// fixed options: case-sensitive and "." accepting line breaks; "*?" lazy, "+" greedy,
// alternatives left to right.
//
//  - Pcre2Searcher: PCRE2 on the 16-bit text, compiled with its JIT (or run by its interpreter),
//    limits raised so that long backtracking searches run to their end.
//  - Re2Searcher: RE2 on the Latin-1 form of the text (RE2 takes 8-bit text only), leftmost-first
//    like a backtracker but in linear time. It cannot search text above U+00FF.
//  - PatternMatcherSearcher: the program's matcher behind the same callback interface.
//
// With MatchRule::OwnTimecodes every searcher applies the extraction's rule that each event keeps
// its own timecodes, as the same loop around its engine's search: a match whose gap holds
// another event's four timecodes is dropped, and the search starts again at those timecodes.
//
// This unit only searches; it does not compare results (see MatchDigest).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace tarvelin::testsupport {

inline constexpr int kMaxGroupSpans = 15;  // group 0 and groups 1 to 14

// Start and end (exclusive) of groups 0..14 of one match; {-1, -1} when unset.
struct GroupSpans {
    std::array<std::pair<std::ptrdiff_t, std::ptrdiff_t>, kMaxGroupSpans> spans;
};

using MatchCallback = std::function<void(const GroupSpans&)>;

enum class MatchRule {
    Plain,         // every match of the pattern
    OwnTimecodes,  // the extraction's matches: groups 4 and 5 as in its pattern
};

// Where the extraction goes on instead of taking this match: the start of the first four
// timecodes ("dd:dd:dd:dd" four times, one blank apart) that lie wholly between the end of group
// 4 and the end of the line on which group 5 ends (CR, LF, U+0000 or the end of the subject);
// npos when the match stands.
template <typename Char>
std::size_t lentTimecodesAt(std::basic_string_view<Char> subject, const GroupSpans& match)
{
    constexpr std::size_t kLength = 4 * 11 + 3;
    const auto isLineEnd = [](Char c) { return c == '\r' || c == '\n' || c == '\0'; };
    const auto isDigit = [](Char c) { return c >= '0' && c <= '9'; };
    const auto from = static_cast<std::size_t>(match.spans[4].second);
    auto lineEnd = static_cast<std::size_t>(match.spans[5].second);
    while (lineEnd < subject.size() && !isLineEnd(subject[lineEnd])) ++lineEnd;
    for (std::size_t t = from; t + kLength <= lineEnd; ++t) {
        bool all = true;
        for (std::size_t i = 0; i < kLength && all; ++i) {
            const std::size_t k = i % 12;
            const Char c = subject[t + i];
            all = k == 11 ? c == ' ' : (k == 2 || k == 5 || k == 8) ? c == ':' : isDigit(c);
        }
        if (all) return t;
    }
    return std::basic_string_view<Char>::npos;
}

class Pcre2Searcher {
public:
    // Without the JIT the search runs in PCRE2's interpreter, a plain backtracker.
    explicit Pcre2Searcher(std::u16string_view pattern, bool jit = true);
    ~Pcre2Searcher();
    Pcre2Searcher(const Pcre2Searcher&) = delete;
    Pcre2Searcher& operator=(const Pcre2Searcher&) = delete;

    // Calls onMatch for every match in order; returns the number of matches.
    std::size_t forEachMatch(std::u16string_view subject, const MatchCallback& onMatch,
                             MatchRule rule = MatchRule::Plain);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

class Re2Searcher {
public:
    explicit Re2Searcher(std::u16string_view pattern);
    ~Re2Searcher();
    Re2Searcher(const Re2Searcher&) = delete;
    Re2Searcher& operator=(const Re2Searcher&) = delete;

    // The subject in Latin-1, one byte per character (see toLatin1).
    std::size_t forEachMatch(std::string_view latin1Subject, const MatchCallback& onMatch,
                             MatchRule rule = MatchRule::Plain);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

class PatternMatcherSearcher {
public:
    explicit PatternMatcherSearcher(std::u16string_view pattern);
    ~PatternMatcherSearcher();
    PatternMatcherSearcher(const PatternMatcherSearcher&) = delete;
    PatternMatcherSearcher& operator=(const PatternMatcherSearcher&) = delete;

    std::size_t forEachMatch(std::u16string_view subject, const MatchCallback& onMatch,
                             MatchRule rule = MatchRule::Plain);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// One byte per character; throws std::invalid_argument for a character above U+00FF.
std::string toLatin1(std::u16string_view text);

// Order-sensitive fingerprint of a run of matches: how many, and a hash of the texts of chosen
// groups (an unset group hashes differently from an empty one). Two engines agree on a subject
// when their digests are equal.
class MatchDigest {
public:
    template <typename Char>
    void add(std::basic_string_view<Char> subject, const GroupSpans& match, const int* groups,
             std::size_t groupCount)
    {
        ++m_count;
        for (std::size_t i = 0; i < groupCount; ++i) {
            const auto [start, end] = match.spans[static_cast<std::size_t>(groups[i])];
            if (start < 0) {
                mix(0xFFFFFFFFu);
                continue;
            }
            for (std::ptrdiff_t p = start; p < end; ++p)
                mix(static_cast<std::uint32_t>(
                    static_cast<std::make_unsigned_t<Char>>(subject[static_cast<std::size_t>(p)])));
            mix(0xFFFFFFFEu);
        }
    }

    std::size_t count() const { return m_count; }
    std::uint64_t hash() const { return m_hash; }
    friend bool operator==(const MatchDigest&, const MatchDigest&) = default;

private:
    void mix(std::uint32_t value)
    {
        m_hash = (m_hash ^ value) * 0x100000001B3ull;  // FNV-1a, one step per code unit
    }

    std::size_t m_count = 0;
    std::uint64_t m_hash = 0xCBF29CE484222325ull;
};

}  // namespace tarvelin::testsupport
