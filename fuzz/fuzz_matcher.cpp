// Fuzz target: the pattern matcher's parser and linear-time engine against the reference
// backtracker.
//
// Input layout: the first byte is the pattern's length in bytes, then the pattern, then the
// subject; bytes are taken as Latin-1 characters (so ÄÖÜ, line breaks and U+0000 all occur).
// A first byte of 255 or 254 stands for the program's extraction or cue-line pattern instead,
// and all the rest is the subject. A pattern outside the dialect must be rejected with a
// PatternError and nothing else; for a valid one, every match and group of the whole walk must
// equal the reference's, or the target aborts. Bit 1 of the last byte makes the walk restart
// one position after each match's start (ExecFrom) instead of going on at its end (ExecNext).
// Subjects are capped so the reference's slow cases stay quick.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "conversion/CueLineExtraction.h"
#include "conversion/CueRows.h"
#include "conversion/PatternMatcher.h"
#include "conversion/PatternProgram.h"
#include "tests/support/ReferenceBacktracker.h"

namespace {

constexpr std::size_t kMaxSubject = 512;
constexpr std::size_t kReferenceSteps = 50'000'000;

std::u16string latin1(const std::uint8_t* data, std::size_t size)
{
    std::u16string text;
    for (std::size_t i = 0; i < size; ++i) text += static_cast<char16_t>(data[i]);
    return text;
}

[[noreturn]] void differ(const char* what, int match, int group)
{
    std::fprintf(stderr, "engine and reference differ: %s at match %d group %d\n", what, match,
                 group);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const bool fixed = data[0] >= 254;
    const std::size_t patternSize = fixed ? 0 : std::min<std::size_t>(data[0], size - 1);
    const std::u16string pattern = !fixed           ? latin1(data + 1, patternSize)
                                   : data[0] == 255 ? std::u16string(tarvelin::kExtractionPattern)
                                                    : std::u16string(tarvelin::kCueLinePattern);
    const std::size_t subjectSize = std::min(size - 1 - patternSize, kMaxSubject);
    const std::u16string subject = latin1(data + 1 + patternSize, subjectSize);

    std::unique_ptr<tarvelin::PatternMatcher> matcher;
    tarvelin::pattern::Program program;
    try {
        matcher = std::make_unique<tarvelin::PatternMatcher>(pattern);
        program = tarvelin::pattern::compilePattern(pattern);
    } catch (const tarvelin::PatternError&) {
        return 0;
    }
    if (matcher->GroupCount() != program.groupCount) differ("group count", -1, -1);

    const std::u16string cut = subject.substr(0, subject.find(u'\0'));
    std::vector<std::ptrdiff_t> slots;
    std::size_t from = 0;
    int match = 0;
    // Both ways of giving the subject, chosen by the input's last byte.
    const bool inPlace = (data[size - 1] & 1U) != 0;
    const bool restart = (data[size - 1] & 2U) != 0;
    bool found = inPlace ? matcher->ExecInPlace(subject) : matcher->Exec(subject);
    // Patterns with several repetitions cost the reference a power of the subject's length; an
    // input it cannot finish within the budget is left alone rather than reported as a hang.
    tarvelin::testsupport::SearchBudget budget{kReferenceSteps};
    while (true) {
        const bool expected = from <= cut.size() && tarvelin::testsupport::referenceSearch(
                                                        program, cut, from, slots, &budget);
        if (budget.exhausted) break;
        if (found != expected) differ("match found", match, -1);
        if (!found) break;
        for (int n = 0; n <= program.groupCount; ++n) {
            auto start = slots[static_cast<std::size_t>(2 * n)];
            auto end = slots[static_cast<std::size_t>(2 * n + 1)];
            if (start < 0 || end < 0) start = end = -1;
            if (matcher->GroupSpan(n) != std::make_pair(start, end)) differ("group span", match, n);
        }
        if (restart) {
            from = static_cast<std::size_t>(slots[0]) + 1;
            found = matcher->ExecFrom(from);
        } else {
            from = static_cast<std::size_t>(slots[1] + (slots[1] == slots[0] ? 1 : 0));
            found = matcher->ExecNext();
        }
        ++match;
    }
    return 0;
}
