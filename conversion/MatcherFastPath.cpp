#include "conversion/MatcherFastPath.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tarvelin::pattern {

namespace {

bool isSingle(const CharSet& set)
{
    return set.ranges().size() == 1 && set.ranges().front().first == set.ranges().front().second;
}

bool isItem(const Node& node, Quantifier quantifier)
{
    return node.kind == Node::Kind::kItem && node.quantifier == quantifier;
}

}  // namespace

std::unique_ptr<FastPath> FastPath::detect(const Syntax& syntax)
{
    if (syntax.alternatives.size() != 1) return nullptr;
    const Sequence& sequence = syntax.alternatives.front();
    if (sequence.size() < 2) return nullptr;
    const Node& gap = sequence[sequence.size() - 2];
    const Node& tail = sequence.back();
    if (!isItem(gap, Quantifier::kLazyStar) || gap.item != ItemKind::kAny) return nullptr;
    if (tail.kind != Node::Kind::kGroup || tail.alternatives.empty()) return nullptr;

    std::unique_ptr<FastPath> path(new FastPath);
    path->m_altGroup = tail.group;
    path->m_groupCount = syntax.groupCount;

    // P: single characters, exact counts and groups without alternatives, at fixed offsets.
    struct Flattener {
        FastPath& path;
        bool add(const Sequence& items)
        {
            for (const Node& node : items) {
                if (node.kind == Node::Kind::kGroup) {
                    if (node.alternatives.size() != 1) return false;
                    const std::size_t start = path.m_prefix.size();
                    if (!add(node.alternatives.front())) return false;
                    path.m_prefixGroups.push_back({node.group, start, path.m_prefix.size()});
                } else if (node.quantifier == Quantifier::kOnce) {
                    path.m_prefix.push_back(node.set);
                } else if (node.quantifier == Quantifier::kExactly) {
                    for (int i = 0; i < node.count; ++i) path.m_prefix.push_back(node.set);
                } else {
                    return false;
                }
            }
            return true;
        }
    };
    Flattener flattener{*path};
    if (!flattener.add(Sequence(sequence.begin(), sequence.end() - 2))) return nullptr;

    // The alternatives: the same "C+", one ".", then a non-empty literal.
    if (tail.alternatives.front().empty()) return nullptr;
    const CharSet& run = tail.alternatives.front().front().set;
    for (const Sequence& alternative : tail.alternatives) {
        if (alternative.size() < 3) return nullptr;
        if (!isItem(alternative[0], Quantifier::kGreedyPlus) ||
            alternative[0].set.ranges() != run.ranges())
            return nullptr;
        if (!isItem(alternative[1], Quantifier::kOnce) || alternative[1].item != ItemKind::kAny)
            return nullptr;
        std::u16string literal;
        for (std::size_t i = 2; i < alternative.size(); ++i) {
            const Node& node = alternative[i];
            if (node.kind != Node::Kind::kItem || !isSingle(node.set)) return nullptr;
            const char16_t c = node.set.ranges().front().first;
            if (node.quantifier == Quantifier::kOnce) {
                literal += c;
            } else if (node.quantifier == Quantifier::kExactly) {
                literal.append(static_cast<std::size_t>(node.count), c);
            } else {
                return nullptr;
            }
        }
        if (literal.empty()) return nullptr;
        path->m_literals.push_back(std::move(literal));
    }

    path->m_runSet.assign(65536 / 64, 0);
    for (const auto& [low, high] : run.ranges()) {
        for (std::uint32_t c = low; c <= high; ++c) path->m_runSet[c >> 6] |= std::uint64_t{1} << (c & 63);
    }
    for (const std::u16string& literal : path->m_literals) {
        if (literal.size() == 1) {
            if (std::find(path->m_singles.begin(), path->m_singles.end(), literal[0]) ==
                path->m_singles.end())
                path->m_singles.push_back(literal[0]);
        } else {
            const std::uint32_t pair = (std::uint32_t{literal[0]} << 16) | literal[1];
            if (std::find(path->m_pairs.begin(), path->m_pairs.end(), pair) == path->m_pairs.end())
                path->m_pairs.push_back(pair);
        }
    }
    return path;
}

bool FastPath::prefixAt(std::u16string_view subject, std::size_t s) const
{
    for (std::size_t i = 0; i < m_prefix.size(); ++i) {
        if (!m_prefix[i].contains(subject[s + i])) return false;
    }
    return true;
}

bool FastPath::literalAt(std::u16string_view subject, std::size_t q) const
{
    for (const std::u16string& literal : m_literals) {
        if (q + literal.size() <= subject.size() &&
            subject.compare(q, literal.size(), literal) == 0)
            return true;
    }
    return false;
}

std::size_t FastPath::firstOccurrence(std::u16string_view subject, std::size_t first) const
{
    const std::size_t n = subject.size();
    std::size_t q = first;
    const auto valid = [&](std::size_t at) {
        return inRun(subject[at - 2]) && literalAt(subject, at);
    };
#if defined(__SSE2__)
    const char16_t* data = subject.data();
    while (q + 9 <= n) {
        const __m128i now = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + q));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + q + 1));
        __m128i hit = _mm_setzero_si128();
        for (const std::uint32_t pair : m_pairs) {
            const __m128i a = _mm_set1_epi16(static_cast<short>(pair >> 16));
            const __m128i b = _mm_set1_epi16(static_cast<short>(pair & 0xFFFF));
            hit = _mm_or_si128(hit, _mm_and_si128(_mm_cmpeq_epi16(now, a), _mm_cmpeq_epi16(next, b)));
        }
        for (const char16_t single : m_singles) {
            hit = _mm_or_si128(hit, _mm_cmpeq_epi16(now, _mm_set1_epi16(static_cast<short>(single))));
        }
        auto mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
        while (mask != 0) {
            const auto bit = static_cast<unsigned>(__builtin_ctz(mask));
            if (valid(q + bit / 2)) return q + bit / 2;
            mask &= ~(3U << bit);
        }
        q += 8;
    }
#endif
    for (; q < n; ++q) {
        if (valid(q)) return q;
    }
    return std::u16string_view::npos;
}

bool FastPath::search(std::u16string_view subject, std::size_t from,
                      std::vector<std::ptrdiff_t>& slots) const
{
    const std::size_t n = subject.size();
    const std::size_t length = m_prefix.size();
    if (from > n || n - from < length) return false;

    std::size_t s = from;
    while (!prefixAt(subject, s)) {
        if (++s > n - length) return false;
    }

    // Once the gap finds no end for this start, no later start can do better: give up.
    const std::size_t lo = s + length;
    const std::size_t q = firstOccurrence(subject, lo + 2);
    if (q == std::u16string_view::npos) return false;

    std::size_t gapEnd = q - 2;
    while (gapEnd > lo && inRun(subject[gapEnd - 1])) --gapEnd;
    std::size_t runEnd = q - 1;
    while (runEnd < n && inRun(subject[runEnd])) ++runEnd;

    for (const std::u16string& literal : m_literals) {
        if (literal.size() > n) continue;
        const std::size_t last = std::min(runEnd + 1, n - literal.size());
        if (last < gapEnd + 2) continue;
        const std::u16string_view window =
            subject.substr(gapEnd + 2, last - (gapEnd + 2) + literal.size());
        const std::size_t at = window.rfind(literal);
        if (at == std::u16string_view::npos) continue;
        const auto end = static_cast<std::ptrdiff_t>(gapEnd + 2 + at + literal.size());

        slots.assign(static_cast<std::size_t>(2 * (m_groupCount + 1)), -1);
        slots[0] = static_cast<std::ptrdiff_t>(s);
        slots[1] = end;
        for (const GroupSpan& group : m_prefixGroups) {
            slots[static_cast<std::size_t>(2 * group.group)] =
                static_cast<std::ptrdiff_t>(s + group.start);
            slots[static_cast<std::size_t>(2 * group.group + 1)] =
                static_cast<std::ptrdiff_t>(s + group.end);
        }
        slots[static_cast<std::size_t>(2 * m_altGroup)] = static_cast<std::ptrdiff_t>(gapEnd);
        slots[static_cast<std::size_t>(2 * m_altGroup + 1)] = end;
        return true;
    }
    return false;
}

}  // namespace tarvelin::pattern
