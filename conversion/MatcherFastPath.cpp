#include "conversion/MatcherFastPath.h"

#include <algorithm>
#include <atomic>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tarvelin::pattern {

namespace {

std::atomic<bool> g_vectorScans{true};

bool vectorScans()
{
    return g_vectorScans.load(std::memory_order_relaxed);
}

bool isSingle(const CharSet& set)
{
    return set.ranges().size() == 1 && set.ranges().front().first == set.ranges().front().second;
}

// Whether the text at p begins with literal; the caller checks that it is long enough.
bool startsWith(const char16_t* p, const std::u16string& literal)
{
    if (p[0] != literal[0]) return false;
    for (std::size_t i = 1; i < literal.size(); ++i) {
        if (p[i] != literal[i]) return false;
    }
    return true;
}

bool isItem(const Node& node, Quantifier quantifier)
{
    return node.kind == Node::Kind::kItem && node.quantifier == quantifier;
}

}  // namespace

void FastPath::setVectorScans(bool enabled)
{
    g_vectorScans.store(enabled, std::memory_order_relaxed);
}

std::unique_ptr<FastPath> FastPath::detect(const Syntax& syntax)
{
    if (syntax.alternatives.size() != 1) return nullptr;
    const Sequence& sequence = syntax.alternatives.front();
    if (sequence.size() < 2) return nullptr;
    const Node& gap = sequence[sequence.size() - 2];
    const Node& tail = sequence.back();
    if (!isItem(gap, Quantifier::kLazyStar)) return nullptr;
    if (tail.kind != Node::Kind::kGroup || tail.alternatives.empty()) return nullptr;

    std::unique_ptr<FastPath> path(new FastPath);
    // The gap's stops: the few code units it does not accept.
    const CharSet stops = gap.set.complement();
    for (const auto& [low, high] : stops.ranges()) {
        for (std::uint32_t c = low; c <= high; ++c) {
            if (path->m_gapStops.size() == kMaxGapStops) return nullptr;
            path->m_gapStops.push_back(static_cast<char16_t>(c));
        }
    }
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

    // The alternatives: the same "C+", the same one-character item x, then a non-empty literal.
    if (tail.alternatives.front().size() < 3) return nullptr;
    const CharSet& run = tail.alternatives.front().front().set;
    const CharSet& before = tail.alternatives.front()[1].set;
    for (const Sequence& alternative : tail.alternatives) {
        if (alternative.size() < 3) return nullptr;
        if (!isItem(alternative[0], Quantifier::kGreedyPlus) ||
            alternative[0].set.ranges() != run.ranges())
            return nullptr;
        if (!isItem(alternative[1], Quantifier::kOnce) ||
            alternative[1].set.ranges() != before.ranges())
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

    // A run that could cross a stop would let a title reach past the gap's bound.
    for (const char16_t stop : path->m_gapStops) {
        if (run.contains(stop)) return nullptr;
    }
    path->m_before = before;
    // x as the few code units it leaves out, when it leaves out only a few ("." leaves none).
    path->m_beforeByExclusion = true;
    const CharSet excluded = before.complement();
    for (const auto& [low, high] : excluded.ranges()) {
        for (std::uint32_t c = low; c <= high && path->m_beforeByExclusion; ++c) {
            path->m_beforeByExclusion = path->m_beforeExcluded.size() < kMaxGapStops;
            if (path->m_beforeByExclusion)
                path->m_beforeExcluded.push_back(static_cast<char16_t>(c));
        }
    }
    if (!path->m_beforeByExclusion) path->m_beforeExcluded.clear();

    path->m_endsAtNul = !run.contains(u'\0');
    for (const CharSet& set : path->m_prefix) path->m_endsAtNul &= !set.contains(u'\0');
    for (const std::u16string& literal : path->m_literals)
        path->m_endsAtNul &= literal.find(u'\0') == std::u16string::npos;

    for (const CharSet& set : path->m_prefix) {
        if (set.ranges().size() != 1) break;
        path->m_prefixRanges.push_back(set.ranges().front());
    }
    if (path->m_prefixRanges.size() == path->m_prefix.size()) {
        for (const auto& [low, high] : path->m_prefixRanges) {
            path->m_blockLow.push_back(low);
            path->m_blockSpan.push_back(static_cast<std::uint16_t>(high - low));
        }
        while (path->m_blockLow.size() % 8 != 0) {
            path->m_blockLow.push_back(0);
            path->m_blockSpan.push_back(0xFFFF);
        }
    }
    if (run.ranges().size() <= kMaxRunRanges) {
        for (const auto& [low, high] : run.ranges()) {
            path->m_runLow[path->m_runRanges] = low;
            path->m_runSpan[path->m_runRanges] = static_cast<std::uint16_t>(high - low);
            ++path->m_runRanges;
        }
    }
    path->m_runSet.assign(65536 / 64, 0);
    for (const auto& [low, high] : run.ranges()) {
        for (std::uint32_t c = low; c <= high; ++c)
            path->m_runSet[c >> 6] |= std::uint64_t{1} << (c & 63);
    }
    for (const std::u16string& literal : path->m_literals) {
        path->m_firstBloom |= std::uint64_t{1} << (literal[0] & 63);
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
    for (std::size_t i = 0; i < path->m_pairs.size() && i < kMaxVectors; ++i) {
        std::fill_n(path->m_pairFirst[i], 8, static_cast<std::uint16_t>(path->m_pairs[i] >> 16));
        std::fill_n(path->m_pairSecond[i], 8, static_cast<std::uint16_t>(path->m_pairs[i]));
    }
    for (std::size_t i = 0; i < path->m_singles.size() && i < kMaxVectors; ++i)
        std::fill_n(path->m_single[i], 8, static_cast<std::uint16_t>(path->m_singles[i]));
    const auto packable = [](std::uint32_t c) { return c >= 1 && c <= 254; };
    path->m_packedScan =
        path->m_pairs.size() <= kMaxVectors && path->m_singles.size() <= kMaxVectors &&
        std::all_of(
            path->m_pairs.begin(), path->m_pairs.end(),
            [&](std::uint32_t pair) { return packable(pair >> 16) && packable(pair & 0xFFFF); }) &&
        std::all_of(path->m_singles.begin(), path->m_singles.end(), packable);
    if (path->m_packedScan) {
        for (std::size_t i = 0; i < path->m_pairs.size(); ++i) {
            std::fill_n(path->m_pairFirst8[i], 16,
                        static_cast<std::uint8_t>(path->m_pairs[i] >> 16));
            std::fill_n(path->m_pairSecond8[i], 16, static_cast<std::uint8_t>(path->m_pairs[i]));
        }
        for (std::size_t i = 0; i < path->m_singles.size(); ++i)
            std::fill_n(path->m_single8[i], 16, static_cast<std::uint8_t>(path->m_singles[i]));
    }
    return path;
}

bool FastPath::prefixAt(std::u16string_view subject, std::size_t s) const
{
#if defined(__SSE2__)
    // Eight positions at a time: c - low <= span, as a saturating subtraction that gives zero.
    if (!m_blockLow.empty() && s + m_blockLow.size() <= subject.size() && vectorScans()) {
        if (static_cast<std::uint16_t>(subject[s] - m_blockLow[0]) > m_blockSpan[0]) return false;
        const __m128i zero = _mm_setzero_si128();
        for (std::size_t b = 0; b < m_blockLow.size(); b += 8) {
            const __m128i c =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(subject.data() + s + b));
            const __m128i low =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(m_blockLow.data() + b));
            const __m128i span =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(m_blockSpan.data() + b));
            const __m128i over = _mm_subs_epu16(_mm_sub_epi16(c, low), span);
            if (_mm_movemask_epi8(_mm_cmpeq_epi16(over, zero)) != 0xFFFF) return false;
        }
        return true;
    }
#endif
    if (m_prefixRanges.size() == m_prefix.size()) {
        for (std::size_t i = 0; i < m_prefixRanges.size(); ++i) {
            const auto [low, high] = m_prefixRanges[i];
            if (static_cast<unsigned>(subject[s + i] - low) > static_cast<unsigned>(high - low))
                return false;
        }
        return true;
    }
    for (std::size_t i = 0; i < m_prefix.size(); ++i) {
        if (!m_prefix[i].contains(subject[s + i])) return false;
    }
    return true;
}

#if defined(__SSE2__)
// Two bits per lane (as _mm_movemask_epi8 gives them) for the eight characters at p that are in
// the class given as ranges.
unsigned FastPath::runMask(const char16_t* p) const
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i in = zero;
    for (int r = 0; r < m_runRanges; ++r) {
        const __m128i over =
            _mm_subs_epu16(_mm_sub_epi16(c, _mm_set1_epi16(static_cast<short>(m_runLow[r]))),
                           _mm_set1_epi16(static_cast<short>(m_runSpan[r])));
        in = _mm_or_si128(in, _mm_cmpeq_epi16(over, zero));
        // The ranges are sorted: once every lane is in, or no lane reaches the next range's low
        // end, the rest cannot change the answer (names are mostly ASCII).
        if (r + 1 < m_runRanges) {
            if (_mm_movemask_epi8(in) == 0xFFFF) break;
            const __m128i below = _mm_set1_epi16(static_cast<short>(m_runLow[r + 1] - 1));
            if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_subs_epu16(c, below), zero)) == 0xFFFF) break;
        }
    }
    return static_cast<unsigned>(_mm_movemask_epi8(in));
}
#endif

std::size_t FastPath::runStart(std::u16string_view subject, std::size_t at, std::size_t lo) const
{
#if defined(__SSE2__)
    // Blocks of eight ending at at; the last block starts at lo and only its lanes below at count.
    const bool useVectors = m_runRanges != 0 && vectorScans();
    while (useVectors && at > lo) {
        const std::size_t base = at >= lo + 8 ? at - 8 : lo;
        if (base + 8 > subject.size()) break;
        const unsigned lanes = at - base == 8 ? 0xFFFFU : (1U << (2 * (at - base))) - 1;
        const unsigned outside = ~runMask(subject.data() + base) & lanes;
        if (outside == 0) {
            at = base;
            continue;
        }
        return base + (31U - static_cast<unsigned>(__builtin_clz(outside))) / 2 + 1;
    }
#endif
    while (at > lo && inRun(subject[at - 1])) --at;
    return at;
}

std::size_t FastPath::runEnd(std::u16string_view subject, std::size_t at) const
{
#if defined(__SSE2__)
    const bool useVectors = m_runRanges != 0 && vectorScans();
    while (useVectors && at + 8 <= subject.size()) {
        const unsigned outside = ~runMask(subject.data() + at) & 0xFFFFU;
        if (outside != 0) return at + static_cast<unsigned>(__builtin_ctz(outside)) / 2;
        at += 8;
    }
#endif
    while (at < subject.size() && inRun(subject[at])) ++at;
    return at;
}

bool FastPath::literalAt(std::u16string_view subject, std::size_t q) const
{
    for (const std::u16string& literal : m_literals) {
        if (q + literal.size() <= subject.size() && startsWith(subject.data() + q, literal))
            return true;
    }
    return false;
}

std::size_t FastPath::firstOccurrence(std::u16string_view subject, std::size_t first,
                                      std::size_t limit) const
{
    // Candidates end at the limit; the literal itself may reach beyond it.
    const std::size_t n = limit;
    std::size_t q = first;
    const auto valid = [&](std::size_t at) {
        return inRun(subject[at - 2]) && beforeAccepts(subject[at - 1]) && literalAt(subject, at);
    };
#if defined(__SSE2__)
    const char16_t* data = subject.data();
    const std::size_t pairCount = m_pairs.size();
    const std::size_t singleCount = m_singles.size();
    const bool useVectors = vectorScans();
    const __m128i zero = _mm_setzero_si128();
    const bool vectors = useVectors && pairCount <= kMaxVectors && singleCount <= kMaxVectors;
    // Sixteen positions per step, packed to bytes. A zero byte may be a U+0000 or a character
    // from U+8000 on: the exact scan below takes over from that block on.
    while (vectors && m_packedScan && q + 17 <= n) {
        const auto* at = reinterpret_cast<const __m128i*>(data + q);
        const auto* after = reinterpret_cast<const __m128i*>(data + q + 1);
        const __m128i now = _mm_packus_epi16(_mm_loadu_si128(at), _mm_loadu_si128(at + 1));
        const __m128i next = _mm_packus_epi16(_mm_loadu_si128(after), _mm_loadu_si128(after + 1));
        if (m_endsAtNul && _mm_movemask_epi8(_mm_cmpeq_epi8(now, zero)) != 0) break;
        __m128i hit = _mm_setzero_si128();
        for (std::size_t i = 0; i < pairCount; ++i) {
            const __m128i first = _mm_load_si128(reinterpret_cast<const __m128i*>(m_pairFirst8[i]));
            const __m128i second =
                _mm_load_si128(reinterpret_cast<const __m128i*>(m_pairSecond8[i]));
            hit = _mm_or_si128(
                hit, _mm_and_si128(_mm_cmpeq_epi8(now, first), _mm_cmpeq_epi8(next, second)));
        }
        for (std::size_t i = 0; i < singleCount; ++i) {
            const __m128i single = _mm_load_si128(reinterpret_cast<const __m128i*>(m_single8[i]));
            hit = _mm_or_si128(hit, _mm_cmpeq_epi8(now, single));
        }
        for (auto mask = static_cast<unsigned>(_mm_movemask_epi8(hit)); mask != 0;
             mask &= mask - 1) {
            const std::size_t candidate = q + static_cast<unsigned>(__builtin_ctz(mask));
            if (valid(candidate)) return candidate;
        }
        q += 16;
    }
    while (vectors && q + 9 <= n) {
        const __m128i now = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + q));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + q + 1));
        __m128i hit = _mm_setzero_si128();
        for (std::size_t i = 0; i < pairCount; ++i) {
            const __m128i first = _mm_load_si128(reinterpret_cast<const __m128i*>(m_pairFirst[i]));
            const __m128i second =
                _mm_load_si128(reinterpret_cast<const __m128i*>(m_pairSecond[i]));
            hit = _mm_or_si128(
                hit, _mm_and_si128(_mm_cmpeq_epi16(now, first), _mm_cmpeq_epi16(next, second)));
        }
        for (std::size_t i = 0; i < singleCount; ++i) {
            const __m128i single = _mm_load_si128(reinterpret_cast<const __m128i*>(m_single[i]));
            hit = _mm_or_si128(hit, _mm_cmpeq_epi16(now, single));
        }
        auto mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
        const auto nul =
            m_endsAtNul ? static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(now, zero))) : 0U;
        if (nul != 0) mask &= (1U << __builtin_ctz(nul)) - 1;
        while (mask != 0) {
            const auto bit = static_cast<unsigned>(__builtin_ctz(mask));
            if (valid(q + bit / 2)) return q + bit / 2;
            mask &= ~(3U << bit);
        }
        if (nul != 0) return std::u16string_view::npos;
        q += 8;
    }
#endif
    for (; q < n; ++q) {
        if (m_endsAtNul && subject[q] == u'\0') break;
        if (valid(q)) return q;
    }
    return std::u16string_view::npos;
}

std::size_t FastPath::firstOccurrence(std::u16string_view subject, std::size_t first,
                                      std::size_t limit, SearchMemo& memo) const
{
    if (first >= limit) return std::u16string_view::npos;
    // Whether a candidate is valid does not depend on the start, so what an earlier scan from
    // before first found (or ruled out) still holds.
    if (memo.scanFrom != SearchMemo::kNone && memo.scanFrom <= first && first <= memo.scanTo) {
        if (memo.found) return memo.scanTo < limit ? memo.scanTo : std::u16string_view::npos;
        if (limit <= memo.scanTo) return std::u16string_view::npos;
        first = memo.scanTo;
    } else {
        memo.scanFrom = first;
    }
    const std::size_t q = firstOccurrence(subject, first, limit);
    memo.found = q != std::u16string_view::npos;
    memo.scanTo = memo.found ? q : limit;
    return q;
}

std::size_t FastPath::firstStop(std::u16string_view subject, std::size_t at, std::size_t to) const
{
    const auto isStop = [&](char16_t c) {
        return std::find(m_gapStops.begin(), m_gapStops.end(), c) != m_gapStops.end();
    };
#if defined(__SSE2__)
    const char16_t* data = subject.data();
    const bool useVectors = vectorScans();
    for (; useVectors && at + 8 <= to; at += 8) {
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
        __m128i hit = _mm_setzero_si128();
        for (const char16_t stop : m_gapStops)
            hit = _mm_or_si128(hit, _mm_cmpeq_epi16(c, _mm_set1_epi16(static_cast<short>(stop))));
        const auto mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
        if (mask != 0) return at + static_cast<unsigned>(__builtin_ctz(mask)) / 2;
    }
#endif
    while (at < to && !isStop(subject[at])) ++at;
    return at;
}

std::size_t FastPath::chooseTitle(std::u16string_view subject, std::size_t q, std::size_t lo,
                                  std::size_t& bestEnd) const
{
    const std::size_t n = subject.size();
    const std::size_t gapEnd = runStart(subject, q - 2, lo);
    const std::size_t runEnd = this->runEnd(subject, q - 1);

    // No literal occurs in [gapEnd + 2, q): such an occurrence would have been found before q.
    // So the last occurrence of each literal inside the run lies in [q, runEnd + 1]. A run ended
    // by the subject's U+0000 leaves no room for the character after it.
    const std::size_t end = m_endsAtNul && runEnd < n && subject[runEnd] == u'\0' ? runEnd : n;
    const std::size_t none = std::u16string_view::npos;
    std::size_t best = none;
    for (std::size_t at = q; at <= runEnd + 1 && at < end; ++at) {
        // Only an earlier alternative, or a later occurrence of the best one, changes the result.
        if (((m_firstBloom >> (subject[at] & 63)) & 1U) == 0) continue;
        if (!beforeAccepts(subject[at - 1])) continue;
        const std::size_t limit = best == none ? m_literals.size() : best + 1;
        for (std::size_t i = 0; i < limit; ++i) {
            const std::u16string& literal = m_literals[i];
            if (at + literal.size() > n || !startsWith(subject.data() + at, literal)) continue;
            best = i;
            bestEnd = at + literal.size();
            break;
        }
    }
    return best == none ? none : gapEnd;
}

bool FastPath::search(std::u16string_view subject, std::size_t from,
                      std::vector<std::ptrdiff_t>& slots, SearchMemo* memo) const
{
    const std::size_t n = subject.size();
    const std::size_t length = m_prefix.size();
    if (from > n || n - from < length) return false;
    const std::size_t none = std::u16string_view::npos;

    // A search without a memo of its own still learns across the starts it tries.
    SearchMemo localMemo;
    SearchMemo& known = memo ? *memo : localMemo;

    // The first position's range is tested inline: most starts fail right there.
    const bool quickTest = !m_blockLow.empty();
    std::size_t s = from;
    std::size_t titleStart = 0;
    std::size_t titleEnd = 0;
    for (;; ++s) {
        // With m_endsAtNul no start can be a U+0000, so checking only failed starts finds it.
        if (s > n - length) return false;
        if (quickTest && static_cast<std::uint16_t>(subject[s] - m_blockLow[0]) > m_blockSpan[0]) {
            if (m_endsAtNul && subject[s] == u'\0') return false;
            continue;
        }
        if (!prefixAt(subject, s)) {
            if (m_endsAtNul && subject[s] == u'\0') return false;
            continue;
        }

        const std::size_t lo = s + length;
        // The literal scan looks for U+0000 from lo + 2 on; the two positions before are checked
        // here.
        if (m_endsAtNul) {
            for (std::size_t i = lo; i < lo + 2 && i < n; ++i) {
                if (subject[i] == u'\0') return false;
            }
        }
        // Once the gap finds no end for this start, no later start can do better: give up.
        const std::size_t q = firstOccurrence(subject, lo + 2, n, known);
        if (q == none) return false;

        if (known.titleAt == q && lo >= known.titleLo) {
            titleStart = std::max(lo, known.titleStart);
            titleEnd = known.titleEnd;
        } else {
            titleStart = chooseTitle(subject, q, lo, titleEnd);
            if (titleStart == none) return false;
            known = {known.scanFrom, known.scanTo, known.found, q, lo, titleStart, titleEnd};
        }
        // A bounded gap must not pass a stop before the title; the run holds none. When it
        // would, no start before that stop can do better: go on with the starts whose prefix
        // reaches past it. The occurrence and its title stay known for them.
        const std::size_t stop =
            m_gapStops.empty() ? titleStart : firstStop(subject, lo, titleStart);
        if (stop == titleStart) break;
        if (stop >= length) s = std::max(s, stop - length);
    }

    const auto matchEnd = static_cast<std::ptrdiff_t>(titleEnd);
    slots.assign(static_cast<std::size_t>(2 * (m_groupCount + 1)), -1);
    slots[0] = static_cast<std::ptrdiff_t>(s);
    slots[1] = matchEnd;
    for (const GroupSpan& group : m_prefixGroups) {
        slots[static_cast<std::size_t>(2 * group.group)] =
            static_cast<std::ptrdiff_t>(s + group.start);
        slots[static_cast<std::size_t>(2 * group.group + 1)] =
            static_cast<std::ptrdiff_t>(s + group.end);
    }
    slots[static_cast<std::size_t>(2 * m_altGroup)] = static_cast<std::ptrdiff_t>(titleStart);
    slots[static_cast<std::size_t>(2 * m_altGroup + 1)] = matchEnd;
    return true;
}

}  // namespace tarvelin::pattern
