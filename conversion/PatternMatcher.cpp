#include "conversion/PatternMatcher.h"

#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "conversion/MatcherEngine.h"
#include "conversion/MatcherFastPath.h"
#include "conversion/PatternProgram.h"

namespace tarvelin {

PatternError::PatternError(std::u16string message, std::size_t position)
    : ConversionError(std::move(message)), m_position(position)
{
}

namespace {

// Copies text up to its first U+0000 into subject, reusing subject's memory, and looks for the
// U+0000 on the way so that the text is read only once.
void copySubject(std::u16string_view text, std::u16string& subject)
{
    subject.resize(text.size());
    const char16_t* from = text.data();
    char16_t* to = subject.data();
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; i + 8 <= text.size(); i += 8) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(chunk, zero)) != 0) break;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i), chunk);
    }
#endif
    for (; i < text.size() && from[i] != u'\0'; ++i) to[i] = from[i];
    subject.resize(i);
}

}  // namespace

struct PatternMatcher::Impl {
    explicit Impl(std::u16string_view pattern) : Impl(pattern::parsePattern(pattern)) {}
    explicit Impl(const pattern::Syntax& syntax)
        : program(pattern::compilePattern(syntax)),
          engine(program),
          fastPath(pattern::FastPath::detect(syntax))
    {
    }

    pattern::Program program;
    pattern::MatcherEngine engine;
    std::unique_ptr<pattern::FastPath> fastPath;  // null unless the pattern has its shape
    std::u16string subject;
    std::vector<std::ptrdiff_t> slots;
    bool matched = false;

    void prepare()
    {
        if (!fastPath) engine.prepare(subject);
    }

    bool search(std::size_t from)
    {
        matched = from <= subject.size() &&
                  (fastPath ? fastPath->search(subject, from, slots) : engine.search(from, slots));
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
    copySubject(text, m_impl->subject);
    m_impl->prepare();
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
    const Impl& impl = *m_impl;
    if (!impl.matched || n < 0 || n > impl.program.groupCount) return {-1, -1};
    const std::ptrdiff_t start = impl.slots[static_cast<std::size_t>(2 * n)];
    const std::ptrdiff_t end = impl.slots[static_cast<std::size_t>(2 * n + 1)];
    if (start < 0 || end < 0) return {-1, -1};
    return {start, end};
}

int PatternMatcher::GroupCount() const
{
    return m_impl->program.groupCount;
}

}  // namespace tarvelin
