#include "conversion/EdlNormalizer.h"

#include <algorithm>
#include <array>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tarvelin {

namespace {

struct Removal {
    std::u16string_view text;  // upper case where letter case is ignored
    bool ignoreCase;
    // Where the search looks first: the pair of characters at anchor and anchor + 1, chosen to
    // be rare in an EDL, so that most of the text is passed over eight characters at a time.
    std::size_t anchor;
};

// The removals in the order they run. Step 4 joins a line that begins with an asterisk to the
// line before it when that line ends with a blank.
constexpr std::array kRemovals = {
    Removal{u"*FROM CLIP NAME: ", true, 15},  Removal{u"* FROM CLIP NAME: ", true, 0},
    Removal{u"*  FROM CLIP NAME: ", true, 0}, Removal{u" \r\n*", false, 2},
    Removal{u"FROM CLIP NAME: ", true, 14},   Removal{u"AUD", true, 1},
    Removal{u" 3     4 ", true, 0},           Removal{u" 1     2 ", true, 7},
};
static_assert(kRemovals.size() == 8);

constexpr bool anchorsInside()
{
    for (const Removal& removal : kRemovals) {
        if (removal.anchor + 2 > removal.text.size()) return false;
    }
    return true;
}
static_assert(anchorsInside());

// Simple upper case, as far as it can matter here: the removed texts are ASCII, and the only
// characters whose simple upper case is an ASCII letter are a-z, dotless i and long s.
constexpr char16_t upperForComparison(char16_t c)
{
    if (c >= u'a' && c <= u'z') {
        return static_cast<char16_t>(c - (u'a' - u'A'));
    }
    if (c == u'\u0131') {
        return u'I';
    }
    if (c == u'\u017F') {
        return u'S';
    }
    return c;
}

bool matchesAt(std::u16string_view text, std::size_t pos, const Removal& removal)
{
    if (text.size() - pos < removal.text.size()) {
        return false;
    }
    for (std::size_t k = 0; k < removal.text.size(); ++k) {
        const char16_t c = text[pos + k];
        if ((removal.ignoreCase ? upperForComparison(c) : c) != removal.text[k]) {
            return false;
        }
    }
    return true;
}

// The characters that can stand for one character of a removed text: itself, and where letter
// case is ignored its lower case and the non-ASCII letters whose upper case it is.
struct Variants {
    char16_t a;
    char16_t b;
    char16_t c;

    bool has(char16_t x) const { return x == a || x == b || x == c; }
};

constexpr Variants variantsOf(char16_t upper, bool ignoreCase)
{
    if (!ignoreCase || upper < u'A' || upper > u'Z') {
        return {upper, upper, upper};
    }
    const auto lower = static_cast<char16_t>(upper + (u'a' - u'A'));
    const char16_t extra = upper == u'I' ? u'\u0131' : upper == u'S' ? u'\u017F' : upper;
    return {upper, lower, extra};
}

#if defined(__SSE2__)
// One character's variants in every lane; a character without variants costs one comparison.
struct Lanes {
    explicit Lanes(const Variants& v)
        : a(_mm_set1_epi16(static_cast<short>(v.a))), b(_mm_set1_epi16(static_cast<short>(v.b))),
          c(_mm_set1_epi16(static_cast<short>(v.c))), single(v.a == v.b && v.a == v.c)
    {
    }

    __m128i equal(__m128i v) const
    {
        const __m128i first = _mm_cmpeq_epi16(v, a);
        if (single) return first;
        return _mm_or_si128(_mm_or_si128(first, _mm_cmpeq_epi16(v, b)), _mm_cmpeq_epi16(v, c));
    }

    __m128i a;
    __m128i b;
    __m128i c;
    bool single;
};
#endif

// Finds the first position from `from` where the removal's anchor pair could stand (the pair's
// first character at the returned position); returns n when there is none.
class AnchorScan {
public:
    explicit AnchorScan(const Removal& removal)
        : m_first(variantsOf(removal.text[removal.anchor], removal.ignoreCase)),
          m_second(variantsOf(removal.text[removal.anchor + 1], removal.ignoreCase))
    {
    }

    std::size_t next(const char16_t* data, std::size_t n, std::size_t from) const
    {
        std::size_t q = from;
#if defined(__SSE2__)
        // Eight pair positions per step; the second load reads one character further.
        const Lanes first(m_first);
        const Lanes second(m_second);
        for (; q + 9 <= n; q += 8) {
            const __m128i v0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + q));
            const __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + q + 1));
            const int mask = _mm_movemask_epi8(_mm_and_si128(first.equal(v0), second.equal(v1)));
            if (mask != 0) {
                return q + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask))) / 2;
            }
        }
#endif
        for (; q + 1 < n; ++q) {
            if (m_first.has(data[q]) && m_second.has(data[q + 1])) return q;
        }
        return n;
    }

private:
    Variants m_first;
    Variants m_second;
};

// One removal's left-to-right pass, run in pieces as its input grows: each occurrence is cut out
// and the search goes on right after it, so characters brought together by a cut are not
// searched again in this pass. All passes work in the same text: a pass reads the output of the
// one before it and writes its own output in front of what it reads (kept stretches move down
// whole, only ever onto characters already read), so every pass is linear, no second buffer is
// needed, and a text without an occurrence is not written at all.
class RemovalPass {
public:
    explicit RemovalPass(const Removal& removal) : m_removal(removal), m_scan(removal) {}

    // Goes on over the input data[0, end); `finished` says that no more input will come. Returns
    // the end of the output so far, which is the next pass's input.
    std::size_t advance(char16_t* data, std::size_t end, bool finished)
    {
        const std::size_t length = m_removal.text.size();
        const std::size_t anchor = m_removal.anchor;
        const std::u16string_view input(data, end);
        while (m_next + length <= end) {
            const std::size_t pair = m_scan.next(data, end, m_next + anchor);
            if (pair >= end) {
                // No anchor pair up to the end: only starts too late for a whole pair are left.
                if (end > anchor + 1) m_next = std::max(m_next, end - anchor - 1);
                break;
            }
            const std::size_t start = pair - anchor;
            if (start + length > end) {
                m_next = start;
                break;
            }
            if (!matchesAt(input, start, m_removal)) {
                m_next = start + 1;
                continue;
            }
            moveKept(data, start);
            m_next = start + length;
            m_copied = m_next;
        }
        // Everything before m_next is decided; at the end of the input, everything is.
        if (finished) m_next = std::max(m_next, end);
        moveKept(data, std::max(m_copied, m_next));
        m_copied = std::max(m_copied, m_next);
        return m_kept;
    }

private:
    // Moves the kept characters data[m_copied, upTo) to the end of the output.
    void moveKept(char16_t* data, std::size_t upTo)
    {
        if (upTo <= m_copied) return;
        if (m_kept != m_copied) std::char_traits<char16_t>::move(data + m_kept, data + m_copied, upTo - m_copied);
        m_kept += upTo - m_copied;
        m_copied = upTo;
    }

    const Removal& m_removal;
    AnchorScan m_scan;
    std::size_t m_kept = 0;    // end of the output
    std::size_t m_copied = 0;  // the input before this is in the output or cut out
    std::size_t m_next = 0;    // the earliest position an occurrence may still start at
};

// The eight passes run over the text a piece at a time, so that each piece is still in the
// processor's cache when the later passes read it.
constexpr std::size_t kPieceLength = 32 * 1024;

}  // namespace

void NormalizeEdlText(std::u16string& workText)
{
    std::array<RemovalPass, kRemovals.size()> passes{
        RemovalPass(kRemovals[0]), RemovalPass(kRemovals[1]), RemovalPass(kRemovals[2]),
        RemovalPass(kRemovals[3]), RemovalPass(kRemovals[4]), RemovalPass(kRemovals[5]),
        RemovalPass(kRemovals[6]), RemovalPass(kRemovals[7])};
    char16_t* const data = workText.data();
    const std::size_t n = workText.size();
    std::size_t pieceEnd = 0;
    std::size_t end = 0;
    do {
        pieceEnd = std::min(n, pieceEnd + kPieceLength);
        end = pieceEnd;
        for (RemovalPass& pass : passes) end = pass.advance(data, end, pieceEnd == n);
    } while (pieceEnd < n);
    workText.resize(end);
}

}  // namespace tarvelin
