// PatternMatcher: the regular-expression matcher for the conversion's two fixed patterns.
//
// The dialect is small: literal characters, groups "( | )", "\d", ".", bracketed classes with
// ranges (negated with "[^...]"), and the quantifiers "{n}", "+" (greedy) and "*?" (lazy). The
// options are fixed: case-sensitive, "." accepts every character including CR and LF, blanks are
// ordinary characters. Results are those of a leftmost, depth-first backtracking search (first
// start position that matches; greedy runs give back one character at a time; alternatives tried
// left to right), and groups hold the positions of the successful path only.
//
// A matcher serves one pattern, is used by one thread and keeps the subject of its last search.
// It does not support anything outside that dialect: a pattern that breaks it is rejected with a
// PatternError when the matcher is constructed.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "conversion/ConversionError.h"

namespace tarvelin {

// A pattern outside the dialect. position() is the offending code unit's index in the pattern.
class PatternError : public ConversionError {
public:
    PatternError(std::u16string message, std::size_t position);
    std::size_t position() const noexcept { return m_position; }

private:
    std::size_t m_position;
};

class PatternMatcher {
public:
    static constexpr int kMaxGroups = 14;

    explicit PatternMatcher(std::u16string_view pattern);
    ~PatternMatcher();
    PatternMatcher(PatternMatcher&&) noexcept;
    PatternMatcher& operator=(PatternMatcher&&) noexcept;

    // Copies the text as the new subject (up to its first U+0000) and searches from its start.
    bool Exec(std::u16string_view text);
    // The same search without the copy: the matcher reads text where it lies, so the caller
    // keeps it alive and unchanged for as long as it uses this subject's results (ExecNext,
    // Match, GroupSpan). Saves a pass over a large text.
    bool ExecInPlace(std::u16string_view text);
    // Searches the same subject from the end of the last match (one further after an empty
    // match). Only valid after an Exec or ExecNext that returned true.
    bool ExecNext();
    // Searches the same subject again from position on, whatever the last search found; false
    // when position lies beyond the subject's end. Valid after any Exec or ExecInPlace. Searches
    // that go forward through the subject, restarted inside an earlier match or not, scan each
    // part of it a bounded number of times with the conversion's patterns.
    bool ExecFrom(std::size_t position);
    // Text of group n of the last match (0 = whole match); empty when unset or n outside 0..14.
    std::u16string Match(int n) const;
    // Start and end (exclusive) of group n in the subject; {-1, -1} when unset or out of range.
    std::pair<std::ptrdiff_t, std::ptrdiff_t> GroupSpan(int n) const;
    // Number of groups in the pattern.
    int GroupCount() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace tarvelin
