#include "conversion/PatternMatcher.h"

#include <vector>

#include "conversion/MatcherEngine.h"
#include "conversion/PatternProgram.h"

namespace tarvelin {

PatternError::PatternError(std::u16string message, std::size_t position)
    : ConversionError(std::move(message)), m_position(position)
{
}

struct PatternMatcher::Impl {
    explicit Impl(std::u16string_view pattern)
        : program(pattern::compilePattern(pattern)), engine(program)
    {
    }

    pattern::Program program;
    pattern::MatcherEngine engine;
    std::u16string subject;
    std::vector<std::ptrdiff_t> slots;
    bool matched = false;

    bool search(std::size_t from)
    {
        matched = from <= subject.size() && engine.search(from, slots);
        if (!matched) slots.assign(program.slotCount(), -1);
        return matched;
    }
};

PatternMatcher::PatternMatcher(std::u16string_view pattern)
    : m_impl(std::make_unique<Impl>(pattern))
{
    m_impl->slots.assign(m_impl->program.slotCount(), -1);
}

PatternMatcher::~PatternMatcher() = default;
PatternMatcher::PatternMatcher(PatternMatcher&&) noexcept = default;
PatternMatcher& PatternMatcher::operator=(PatternMatcher&&) noexcept = default;

bool PatternMatcher::Exec(std::u16string_view text)
{
    m_impl->subject.assign(text.substr(0, text.find(u'\0')));
    m_impl->engine.prepare(m_impl->subject);
    return m_impl->search(0);
}

bool PatternMatcher::ExecNext()
{
    if (!m_impl->matched) return false;
    const auto [start, end] = GroupSpan(0);
    return m_impl->search(static_cast<std::size_t>(end + (end == start ? 1 : 0)));
}

std::u16string PatternMatcher::Match(int n) const
{
    const auto [start, end] = GroupSpan(n);
    if (start < 0) return {};
    return m_impl->subject.substr(static_cast<std::size_t>(start),
                                  static_cast<std::size_t>(end - start));
}

std::pair<std::ptrdiff_t, std::ptrdiff_t> PatternMatcher::GroupSpan(int n) const
{
    if (n < 0 || n > GroupCount() || !m_impl->matched) return {-1, -1};
    const std::ptrdiff_t start = m_impl->slots[2 * n];
    const std::ptrdiff_t end = m_impl->slots[2 * n + 1];
    if (start < 0 || end < 0) return {-1, -1};
    return {start, end};
}

int PatternMatcher::GroupCount() const
{
    return m_impl->program.groupCount;
}

}  // namespace tarvelin
