#include "tests/support/ReferenceMatchers.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>
#include <re2/re2.h>

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <vector>

namespace tarvelin::testsupport {
namespace {

std::u16string_view untilNul(std::u16string_view text)
{
    return text.substr(0, std::min(text.find(u'\0'), text.size()));
}

std::string_view untilNul(std::string_view text)
{
    return text.substr(0, std::min(text.find('\0'), text.size()));
}

GroupSpans unsetSpans()
{
    GroupSpans spans;
    spans.spans.fill({-1, -1});
    return spans;
}

}  // namespace

std::string toLatin1(std::u16string_view text)
{
    std::string result(text.size(), '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] > 0xFF) throw std::invalid_argument("character above U+00FF");
        result[i] = static_cast<char>(static_cast<unsigned char>(text[i]));
    }
    return result;
}

// RE2 searches Latin-1 text, in which no character lies above U+00FF: class members above it can
// never match there and are left out (a range reaching past U+00FF ends at U+00FF). Anything
// else above U+00FF cannot be written in Latin-1 and is refused.
std::string latin1Pattern(std::u16string_view pattern)
{
    std::u16string kept;
    bool inClass = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char16_t c = pattern[i];
        if (!inClass) {
            kept += c;
            if (c == u'[') {
                inClass = true;
                if (i + 1 < pattern.size() && pattern[i + 1] == u'^') kept += pattern[++i];
            }
            continue;
        }
        if (c == u']') {
            inClass = false;
            kept += c;
            continue;
        }
        const bool range =
            i + 2 < pattern.size() && pattern[i + 1] == u'-' && pattern[i + 2] != u']';
        const char16_t high = range ? pattern[i + 2] : c;
        if (c <= 0xFF) {
            kept += c;
            if (range) {
                kept += u'-';
                kept += std::min<char16_t>(high, 0xFF);
            }
        }
        if (range) i += 2;
    }
    return toLatin1(kept);
}

// ---- PCRE2 ----------------------------------------------------------------------------------

struct Pcre2Searcher::Impl {
    pcre2_code* code = nullptr;
    pcre2_match_data* matchData = nullptr;
    pcre2_match_context* context = nullptr;
    pcre2_jit_stack* jitStack = nullptr;
    int groups = 0;

    ~Impl()
    {
        pcre2_jit_stack_free(jitStack);
        pcre2_match_context_free(context);
        pcre2_match_data_free(matchData);
        pcre2_code_free(code);
    }
};

Pcre2Searcher::Pcre2Searcher(std::u16string_view pattern, bool jit)
    : m_impl(std::make_unique<Impl>())
{
    int error = 0;
    PCRE2_SIZE offset = 0;
    m_impl->code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                                 PCRE2_DOTALL, &error, &offset, nullptr);
    if (m_impl->code == nullptr) throw std::invalid_argument("PCRE2 rejects the pattern");
    if (jit && pcre2_jit_compile(m_impl->code, PCRE2_JIT_COMPLETE) != 0)
        throw std::runtime_error("PCRE2 JIT is not available");
    pcre2_pattern_info(m_impl->code, PCRE2_INFO_CAPTURECOUNT, &m_impl->groups);
    m_impl->matchData = pcre2_match_data_create_from_pattern(m_impl->code, nullptr);
    m_impl->context = pcre2_match_context_create(nullptr);
    // A backtracking search of a long list needs far more steps than the defaults allow.
    const auto unlimited = std::numeric_limits<std::uint32_t>::max();
    pcre2_set_match_limit(m_impl->context, unlimited);
    pcre2_set_depth_limit(m_impl->context, unlimited);
    pcre2_set_heap_limit(m_impl->context, unlimited);
    m_impl->jitStack = pcre2_jit_stack_create(64 * 1024, 256 * 1024 * 1024, nullptr);
    pcre2_jit_stack_assign(m_impl->context, nullptr, m_impl->jitStack);
}

Pcre2Searcher::~Pcre2Searcher() = default;

std::size_t Pcre2Searcher::forEachMatch(std::u16string_view subject, const MatchCallback& onMatch,
                                        MatchRule rule)
{
    subject = untilNul(subject);
    const auto* text = reinterpret_cast<PCRE2_SPTR>(subject.data());
    std::size_t matches = 0;
    std::size_t start = 0;
    while (start <= subject.size()) {
        const int rc = pcre2_match(m_impl->code, text, subject.size(), start, 0, m_impl->matchData,
                                   m_impl->context);
        if (rc == PCRE2_ERROR_NOMATCH) break;
        if (rc < 0) throw std::runtime_error("PCRE2 search failed");
        const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(m_impl->matchData);
        GroupSpans spans = unsetSpans();
        for (int g = 0; g <= m_impl->groups && g < kMaxGroupSpans; ++g) {
            if (ovector[2 * g] == PCRE2_UNSET) continue;
            spans.spans[static_cast<std::size_t>(g)] = {
                static_cast<std::ptrdiff_t>(ovector[2 * g]),
                static_cast<std::ptrdiff_t>(ovector[2 * g + 1])};
        }
        if (rule == MatchRule::OwnTimecodes) {
            const std::size_t later = lentTimecodesAt(subject, spans);
            if (later != std::u16string_view::npos) {
                start = later;
                continue;
            }
        }
        ++matches;
        onMatch(spans);
        start = ovector[1] == ovector[0] ? ovector[1] + 1 : ovector[1];
    }
    return matches;
}

// ---- RE2 ------------------------------------------------------------------------------------

struct Re2Searcher::Impl {
    std::unique_ptr<re2::RE2> re;
    std::vector<re2::StringPiece> groups;
};

Re2Searcher::Re2Searcher(std::u16string_view pattern) : m_impl(std::make_unique<Impl>())
{
    re2::RE2::Options options;
    options.set_encoding(re2::RE2::Options::EncodingLatin1);
    options.set_dot_nl(true);
    options.set_case_sensitive(true);
    options.set_log_errors(false);
    // Room for the lazy DFA on long subjects, so it does not fall back to the slower NFA.
    options.set_max_mem(int64_t{256} << 20);
    m_impl->re = std::make_unique<re2::RE2>(latin1Pattern(pattern), options);
    if (!m_impl->re->ok()) throw std::invalid_argument("RE2 rejects the pattern");
    m_impl->groups.resize(static_cast<std::size_t>(m_impl->re->NumberOfCapturingGroups()) + 1);
}

Re2Searcher::~Re2Searcher() = default;

std::size_t Re2Searcher::forEachMatch(std::string_view latin1Subject, const MatchCallback& onMatch,
                                      MatchRule rule)
{
    const std::string_view subject = untilNul(latin1Subject);
    const re2::StringPiece text(subject.data(), subject.size());
    auto& groups = m_impl->groups;
    const int groupCount = static_cast<int>(groups.size());
    std::size_t matches = 0;
    std::size_t start = 0;
    while (start <= subject.size() &&
           m_impl->re->Match(text, start, subject.size(), re2::RE2::UNANCHORED, groups.data(),
                             groupCount)) {
        GroupSpans spans = unsetSpans();
        for (int g = 0; g < groupCount && g < kMaxGroupSpans; ++g) {
            const re2::StringPiece& group = groups[static_cast<std::size_t>(g)];
            if (group.data() == nullptr) continue;
            const std::ptrdiff_t from = group.data() - subject.data();
            spans.spans[static_cast<std::size_t>(g)] = {
                from, from + static_cast<std::ptrdiff_t>(group.size())};
        }
        if (rule == MatchRule::OwnTimecodes) {
            const std::size_t later = lentTimecodesAt(subject, spans);
            if (later != std::string_view::npos) {
                start = later;
                continue;
            }
        }
        ++matches;
        onMatch(spans);
        const auto [matchStart, matchEnd] = spans.spans[0];
        start = static_cast<std::size_t>(matchEnd == matchStart ? matchEnd + 1 : matchEnd);
    }
    return matches;
}

}  // namespace tarvelin::testsupport
