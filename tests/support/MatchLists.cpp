#include "tests/support/MatchLists.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <memory>
#include <stdexcept>

#include "conversion/PatternMatcher.h"
#include "conversion/PatternProgram.h"
#include "tests/support/ReferenceBacktracker.h"

namespace tarvelin::testsupport {

MatchList patternMatcherMatches(std::u16string_view pattern, std::u16string_view subject)
{
    PatternMatcher matcher(pattern);
    return patternMatcherMatches(matcher, subject);
}

namespace {

std::vector<Span> groupsOf(const PatternMatcher& matcher)
{
    std::vector<Span> groups;
    for (int n = 0; n <= matcher.GroupCount(); ++n) groups.push_back(matcher.GroupSpan(n));
    return groups;
}

MatchList walk(PatternMatcher& matcher, std::u16string_view subject, bool inPlace)
{
    MatchList matches;
    for (bool found = inPlace ? matcher.ExecInPlace(subject) : matcher.Exec(subject); found;
         found = matcher.ExecNext())
        matches.push_back(groupsOf(matcher));
    return matches;
}

std::vector<Span> referenceGroups(const pattern::Program& program,
                                  const std::vector<std::ptrdiff_t>& slots)
{
    std::vector<Span> groups;
    for (int n = 0; n <= program.groupCount; ++n) {
        const std::ptrdiff_t start = slots[static_cast<std::size_t>(2 * n)];
        const std::ptrdiff_t end = slots[static_cast<std::size_t>(2 * n + 1)];
        groups.emplace_back(start < 0 || end < 0 ? Span{-1, -1} : Span{start, end});
    }
    return groups;
}

}  // namespace

MatchList patternMatcherMatches(PatternMatcher& matcher, std::u16string_view subject)
{
    MatchList copied = walk(matcher, subject, false);
    const MatchList inPlace = walk(matcher, subject, true);
    if (inPlace != copied) {
        throw std::logic_error("Exec and ExecInPlace disagree: " + describe(copied) + " vs " +
                               describe(inPlace));
    }
    return copied;
}

MatchList referenceMatches(std::u16string_view pattern, std::u16string_view subject)
{
    return referenceMatches(pattern::compilePattern(pattern), subject);
}

MatchList referenceMatches(const pattern::Program& program, std::u16string_view subject,
                           SearchBudget* budget)
{
    subject = subject.substr(0, subject.find(u'\0'));
    MatchList matches;
    std::vector<std::ptrdiff_t> slots;
    std::size_t from = 0;
    while (from <= subject.size() && referenceSearch(program, subject, from, slots, budget)) {
        std::vector<Span> groups = referenceGroups(program, slots);
        from = static_cast<std::size_t>(groups[0].second + (groups[0].first == groups[0].second));
        matches.push_back(std::move(groups));
    }
    return matches;
}

MatchList patternMatcherRestarts(PatternMatcher& matcher, std::u16string_view subject)
{
    MatchList matches;
    for (bool found = matcher.ExecInPlace(subject); found;
         found = matcher.ExecFrom(static_cast<std::size_t>(matcher.GroupSpan(0).first) + 1))
        matches.push_back(groupsOf(matcher));
    return matches;
}

MatchList referenceRestarts(const pattern::Program& program, std::u16string_view subject)
{
    subject = subject.substr(0, subject.find(u'\0'));
    MatchList matches;
    std::vector<std::ptrdiff_t> slots;
    std::size_t from = 0;
    while (from <= subject.size() && referenceSearch(program, subject, from, slots)) {
        matches.push_back(referenceGroups(program, slots));
        from = static_cast<std::size_t>(slots[0]) + 1;
    }
    return matches;
}

bool pcre2Matches(std::u16string_view pattern, std::u16string_view subject, MatchList& matches,
                  bool* gaveUp)
{
    matches.clear();
    if (gaveUp) *gaveUp = false;
    subject = subject.substr(0, subject.find(u'\0'));
    int error = 0;
    PCRE2_SIZE errorOffset = 0;
    std::unique_ptr<pcre2_code, decltype(&pcre2_code_free)> code(
        pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(), PCRE2_DOTALL,
                      &error, &errorOffset, nullptr),
        &pcre2_code_free);
    if (!code) return false;
    std::unique_ptr<pcre2_match_data, decltype(&pcre2_match_data_free)> data(
        pcre2_match_data_create_from_pattern(code.get(), nullptr), &pcre2_match_data_free);
    std::uint32_t captures = 0;
    pcre2_pattern_info(code.get(), PCRE2_INFO_CAPTURECOUNT, &captures);
    PCRE2_SIZE start = 0;
    while (start <= subject.size()) {
        const int rc = pcre2_match(code.get(), reinterpret_cast<PCRE2_SPTR>(subject.data()),
                                   subject.size(), start, 0, data.get(), nullptr);
        if (rc == PCRE2_ERROR_NOMATCH) break;
        if (rc < 0) {
            if (gaveUp) {
                *gaveUp = rc == PCRE2_ERROR_MATCHLIMIT || rc == PCRE2_ERROR_DEPTHLIMIT ||
                          rc == PCRE2_ERROR_HEAPLIMIT;
            }
            matches.clear();
            return false;
        }
        const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data.get());
        std::vector<Span> groups;
        for (std::uint32_t n = 0; n <= captures; ++n) {
            if (static_cast<int>(n) >= rc || ovector[2 * n] == PCRE2_UNSET) {
                groups.emplace_back(-1, -1);
            } else {
                groups.emplace_back(static_cast<std::ptrdiff_t>(ovector[2 * n]),
                                    static_cast<std::ptrdiff_t>(ovector[2 * n + 1]));
            }
        }
        start = ovector[1] + (ovector[1] == ovector[0] ? 1 : 0);
        matches.push_back(std::move(groups));
    }
    return true;
}

std::string describe(const MatchList& matches)
{
    std::string out;
    for (const auto& groups : matches) {
        out += '{';
        for (const Span& span : groups)
            out += '[' + std::to_string(span.first) + ',' + std::to_string(span.second) + ')';
        out += "} ";
    }
    return out.empty() ? "no match" : out;
}

}  // namespace tarvelin::testsupport
