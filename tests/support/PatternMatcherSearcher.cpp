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
                                                 const MatchCallback& onMatch)
{
    std::size_t matches = 0;
    for (bool found = m_impl->matcher.ExecInPlace(subject); found; found = m_impl->matcher.ExecNext()) {
        GroupSpans spans;
        // Groups past the pattern's own are always unset.
        spans.spans.fill({-1, -1});
        for (int g = 0; g <= m_impl->matcher.GroupCount() && g < kMaxGroupSpans; ++g)
            spans.spans[static_cast<std::size_t>(g)] = m_impl->matcher.GroupSpan(g);
        ++matches;
        onMatch(spans);
    }
    return matches;
}

}  // namespace tarvelin::testsupport
