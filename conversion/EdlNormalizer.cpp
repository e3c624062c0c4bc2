#include "conversion/EdlNormalizer.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tarvelin {

namespace {

struct Removal {
    std::u16string_view text;  // upper case where letter case is ignored
    bool ignoreCase;
    // Where the search looks first: the pair of characters at anchor and anchor + 1, chosen to
    // be rare in an EDL, so that most of the text is passed over many characters at a time.
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

// Both kinds of text the removals run on: characters (char16_t), and 8-bit Windows-1252 bytes
// (char), on which they cut exactly what they cut in the decoded characters. The removed texts
// are ASCII; an ASCII byte decodes to the same character, and no byte above 0x7F decodes to a
// character whose simple upper case is ASCII (the only such characters, dotless i and long s,
// have no byte in Windows-1252).
template <typename Char>
constexpr bool kIsByte = sizeof(Char) == 1;

// Simple upper case, as far as it can matter here: the removed texts are ASCII, and the only
// characters whose simple upper case is an ASCII letter are a-z, dotless i and long s.
template <typename Char>
constexpr char16_t upperForComparison(Char unit)
{
    const auto c = static_cast<char16_t>(static_cast<std::make_unsigned_t<Char>>(unit));
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

template <typename Char>
bool matchesAt(const Char* text, std::size_t size, std::size_t pos, const Removal& removal)
{
    if (size - pos < removal.text.size()) {
        return false;
    }
    for (std::size_t k = 0; k < removal.text.size(); ++k) {
        const Char unit = text[pos + k];
        const auto c = static_cast<char16_t>(static_cast<std::make_unsigned_t<Char>>(unit));
        if ((removal.ignoreCase ? upperForComparison(unit) : c) != removal.text[k]) {
            return false;
        }
    }
    return true;
}

// The characters that can stand for one character of a removed text: itself, and where letter
// case is ignored its lower case (one bit apart in ASCII) and, among characters, the non-ASCII
// letter whose upper case it is.
struct Variants {
    char16_t upper;
    bool folds;      // a letter whose case is ignored: upper | 0x20 is its lower case
    char16_t extra;  // dotless i for I, long s for S; upper otherwise

    template <typename Char>
    bool has(Char unit) const
    {
        const auto c = static_cast<char16_t>(static_cast<std::make_unsigned_t<Char>>(unit));
        if (folds) return (c | 0x20) == (upper | 0x20) || c == extra;
        return c == upper;
    }
};

constexpr Variants variantsOf(char16_t upper, bool ignoreCase)
{
    if (!ignoreCase || upper < u'A' || upper > u'Z') {
        return {upper, false, upper};
    }
    const char16_t extra = upper == u'I' ? u'\u0131' : upper == u'S' ? u'\u017F' : upper;
    return {upper, true, extra};
}

#if defined(__SSE2__)
// One character's variants in every lane: one comparison, after setting the case bit for a
// letter; characters also compare with the letter's non-ASCII variant where it has one.
template <typename Char>
struct Lanes {
    explicit Lanes(const Variants& v)
        : fold(set(v.folds ? 0x20 : 0)),
          value(set(v.folds ? static_cast<char16_t>(v.upper | 0x20) : v.upper)),
          extra(set(v.extra)),
          hasExtra(!kIsByte<Char> && v.extra != v.upper)
    {
    }

    static __m128i set(char16_t c)
    {
        if constexpr (kIsByte<Char>) {
            return _mm_set1_epi8(static_cast<char>(c));
        } else {
            return _mm_set1_epi16(static_cast<short>(c));
        }
    }
    static __m128i equal(__m128i a, __m128i b)
    {
        if constexpr (kIsByte<Char>) {
            return _mm_cmpeq_epi8(a, b);
        } else {
            return _mm_cmpeq_epi16(a, b);
        }
    }

    __m128i matches(__m128i v) const
    {
        const __m128i first = equal(_mm_or_si128(v, fold), value);
        if (!hasExtra) return first;
        return _mm_or_si128(first, equal(v, extra));
    }

    __m128i fold;
    __m128i value;
    __m128i extra;
    bool hasExtra;
};
#endif

// Finds the first position from `from` where the removal's anchor pair could stand (the pair's
// first character at the returned position); returns n when there is none.
template <typename Char>
class AnchorScan {
public:
    explicit AnchorScan(const Removal& removal)
        : m_first(variantsOf(removal.text[removal.anchor], removal.ignoreCase)),
          m_second(variantsOf(removal.text[removal.anchor + 1], removal.ignoreCase))
    {
    }

    std::size_t next(const Char* data, std::size_t n, std::size_t from) const
    {
        std::size_t q = from;
#if defined(__SSE2__)
        // Two vectors of pair positions per step; the second loads read one character further.
        constexpr std::size_t kLanes = 16 / sizeof(Char);
        const Lanes<Char> first(m_first);
        const Lanes<Char> second(m_second);
        const auto pairs = [&](std::size_t at) {
            const __m128i v0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
            const __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at + 1));
            return static_cast<unsigned>(
                _mm_movemask_epi8(_mm_and_si128(first.matches(v0), second.matches(v1))));
        };
        for (; q + 2 * kLanes + 1 <= n; q += 2 * kLanes) {
            const unsigned mask = pairs(q) | (pairs(q + kLanes) << 16);
            if (mask != 0) return q + static_cast<std::size_t>(__builtin_ctz(mask)) / sizeof(Char);
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
template <typename Char>
class RemovalPass {
public:
    explicit RemovalPass(const Removal& removal) : m_removal(removal), m_scan(removal) {}

    // Goes on over the input data[0, end); `finished` says that no more input will come. Returns
    // the end of the output so far, which is the next pass's input.
    std::size_t advance(Char* data, std::size_t end, bool finished)
    {
        const std::size_t length = m_removal.text.size();
        const std::size_t anchor = m_removal.anchor;
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
            if (!matchesAt(data, end, start, m_removal)) {
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
    void moveKept(Char* data, std::size_t upTo)
    {
        if (upTo <= m_copied) return;
        if (m_kept != m_copied)
            std::char_traits<Char>::move(data + m_kept, data + m_copied, upTo - m_copied);
        m_kept += upTo - m_copied;
        m_copied = upTo;
    }

    const Removal& m_removal;
    AnchorScan<Char> m_scan;
    std::size_t m_kept = 0;    // end of the output
    std::size_t m_copied = 0;  // the input before this is in the output or cut out
    std::size_t m_next = 0;    // the earliest position an occurrence may still start at
};

// The eight passes run over the text a piece at a time, so that each piece is still in the
// processor's cache when the later passes read it. Returns the normalised length.
template <typename Char>
std::size_t normalize(Char* data, std::size_t n)
{
    std::array<RemovalPass<Char>, kRemovals.size()> passes{
        RemovalPass<Char>(kRemovals[0]), RemovalPass<Char>(kRemovals[1]),
        RemovalPass<Char>(kRemovals[2]), RemovalPass<Char>(kRemovals[3]),
        RemovalPass<Char>(kRemovals[4]), RemovalPass<Char>(kRemovals[5]),
        RemovalPass<Char>(kRemovals[6]), RemovalPass<Char>(kRemovals[7])};
    constexpr std::size_t kPieceLength = 64 * 1024 / sizeof(Char);
    std::size_t pieceEnd = 0;
    std::size_t end = 0;
    do {
        pieceEnd = std::min(n, pieceEnd + kPieceLength);
        end = pieceEnd;
        for (RemovalPass<Char>& pass : passes) end = pass.advance(data, end, pieceEnd == n);
    } while (pieceEnd < n);
    return end;
}

}  // namespace

void NormalizeEdlText(std::u16string& workText)
{
    workText.resize(normalize(workText.data(), workText.size()));
}

void NormalizeEdlBytes(std::string& bytes)
{
    bytes.resize(normalize(bytes.data(), bytes.size()));
}

}  // namespace tarvelin
