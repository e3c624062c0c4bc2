#include "conversion/PatternMatcher.h"
#include "tests/support/ReferenceMatchers.h"

namespace tarvelin::testsupport {

struct PatternMatcherSearcher::Impl {
    explicit Impl(std::u16string_view pattern) : matcher(pattern) {}
    PatternMatcher matcher;
};

PatternMatcherSearcher::PatternMatcherSearcher(std::u16string_view pattern)
    : m_impl(std::make_unique<Impl>(pattern))
{
}

PatternMatcherSearcher::~PatternMatcherSearcher() = default;

std::size_t PatternMatcherSearcher::forEachMatch(std::u16string_view subject,
                                                 const MatchCallback& onMatch, MatchRule rule)
{
    PatternMatcher& matcher = m_impl->matcher;
    std::size_t matches = 0;
    bool found = matcher.ExecInPlace(subject);
    while (found) {
        GroupSpans spans;
        // Groups past the pattern's own are always unset.
        spans.spans.fill({-1, -1});
        for (int g = 0; g <= matcher.GroupCount() && g < kMaxGroupSpans; ++g)
            spans.spans[static_cast<std::size_t>(g)] = matcher.GroupSpan(g);
        if (rule == MatchRule::OwnTimecodes) {
            const std::size_t later = lentTimecodesAt(subject, spans);
            if (later != std::u16string_view::npos) {
                found = matcher.ExecFrom(later);
                continue;
            }
        }
        ++matches;
        onMatch(spans);
        found = matcher.ExecNext();
    }
    return matches;
}

}  // namespace tarvelin::testsupport
