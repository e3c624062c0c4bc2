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

// The length of text up to its first U+0000 (all of it when there is none).
std::size_t lengthBeforeNul(std::u16string_view text)
{
    const char16_t* from = text.data();
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; i + 32 <= text.size(); i += 32) {
        const auto* p = reinterpret_cast<const __m128i*>(from + i);
        const __m128i any =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(_mm_loadu_si128(p), zero),
                                      _mm_cmpeq_epi16(_mm_loadu_si128(p + 1), zero)),
                         _mm_or_si128(_mm_cmpeq_epi16(_mm_loadu_si128(p + 2), zero),
                                      _mm_cmpeq_epi16(_mm_loadu_si128(p + 3), zero)));
        if (_mm_movemask_epi8(any) != 0) break;
    }
#endif
    while (i < text.size() && from[i] != u'\0') ++i;
    return i;
}

// Copies text up to its first U+0000 into subject, reusing subject's memory.
void copySubject(std::u16string_view text, std::u16string& subject)
{
    subject.assign(text.substr(0, lengthBeforeNul(text)));
}

}  // namespace

struct PatternMatcher::Impl {
    explicit Impl(std::u16string_view pattern) : Impl(pattern::parsePattern(pattern)) {}
    explicit Impl(const pattern::Syntax& syntax)
        : program(pattern::compilePattern(syntax)), fastPath(pattern::FastPath::detect(syntax))
    {
        // The general engine (with its automaton and class tables) serves only the patterns
        // the fast path declines.
        if (!fastPath) engine = std::make_unique<pattern::MatcherEngine>(program);
    }

    pattern::Program program;
    std::unique_ptr<pattern::FastPath> fastPath;     // null unless the pattern has its shape
    std::unique_ptr<pattern::MatcherEngine> engine;  // null when the fast path serves
    std::u16string copy;                             // the subject when Exec was given it
    std::u16string_view subject;  // the text searched: copy, or the caller's text
    std::vector<std::ptrdiff_t> slots;
    pattern::SearchMemo memo;  // what the fast path learned about this subject
    bool matched = false;

    void prepare()
    {
        memo = {};
        if (engine) engine->prepare(subject);
    }

    bool search(std::size_t from)
    {
        matched =
            from <= subject.size() && (fastPath ? fastPath->search(subject, from, slots, &memo)
                                                : engine->search(from, slots));
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
    copySubject(text, m_impl->copy);
    m_impl->subject = m_impl->copy;
    m_impl->prepare();
    return m_impl->search(0);
}

bool PatternMatcher::ExecInPlace(std::u16string_view text)
{
    m_impl->copy.clear();
    // The fast path finds the U+0000 during its own scans; the engine needs the end up front.
    const bool searchFindsNul = m_impl->fastPath && m_impl->fastPath->endsAtNul();
    m_impl->subject = searchFindsNul ? text : text.substr(0, lengthBeforeNul(text));
    m_impl->prepare();
    return m_impl->search(0);
}

bool PatternMatcher::ExecNext()
{
    if (!m_impl->matched) return false;
    const auto [start, end] = GroupSpan(0);
    return m_impl->search(static_cast<std::size_t>(end + (end == start ? 1 : 0)));
}

bool PatternMatcher::ExecFrom(std::size_t position)
{
    return m_impl->search(position);
}

std::u16string PatternMatcher::Match(int n) const
{
    const auto [start, end] = GroupSpan(n);
    if (start < 0) return {};
    return std::u16string(m_impl->subject.substr(static_cast<std::size_t>(start),
                                                 static_cast<std::size_t>(end - start)));
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
