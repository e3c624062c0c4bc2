#include "conversion/EdlLoader.h"

#include <algorithm>
#include <utility>

#include "conversion/ConversionError.h"
#include "conversion/FileBytes.h"
#include "conversion/RtfText.h"
#include "conversion/Text.h"
#include "conversion/Windows1252.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tarvelin {

namespace {

// A larger file is refused unread. In 8-bit, UTF-8 and UTF-16 files no character takes more than
// three bytes, so such a file would exceed the capacity anyway; only an RTF document could still
// fit, and one that large is refused as well.
constexpr std::size_t kMaxFileBytes = 4 * kTextCapacity;

// Tracks whether every line break seen so far is CR LF: each LF must follow a CR, and each CR
// must be followed by an LF.
struct CrLfCheck {
    bool onlyCrLf = true;
    bool afterCr = false;

    void take(char16_t c)
    {
        if (c == u'\n' ? !afterCr : afterCr) onlyCrLf = false;
        afterCr = c == u'\r';
    }
    bool done() const { return onlyCrLf && !afterCr; }
};

// Windows-1252 bytes to characters in one pass that also checks the line breaks (16 bytes at a
// time where the machine allows: plain ASCII widens as it is, the rest goes through the table).
// The characters go through a small buffer that is appended: a text sized up front would be
// filled with zeros first, one more pass over a large file's worth of fresh memory. The text gets
// room for a final CR LF, so adding it later does not copy the text again.
bool decodeWindows1252(std::string_view bytes, std::u16string& text)
{
    const std::size_t n = bytes.size();
    text.reserve(n + 2);
    PreferLargePages(text.data(), text.capacity() * sizeof(char16_t));
    const auto* const in = reinterpret_cast<const unsigned char*>(bytes.data());
    constexpr std::size_t kChunk = 4096;
    alignas(16) char16_t chunk[kChunk];
    CrLfCheck check;
    for (std::size_t at = 0; at < n; at += kChunk) {
        const std::size_t count = std::min(kChunk, n - at);
        const unsigned char* const from = in + at;
        std::size_t i = 0;
#if defined(__SSE2__)
        const __m128i zero = _mm_setzero_si128();
        const __m128i cr = _mm_set1_epi8('\r');
        const __m128i lf = _mm_set1_epi8('\n');
        for (; i + 16 <= count; i += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
            const auto crs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, cr)));
            const auto lfs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lf)));
            // Every LF sits one place after a CR (the block's first one after the last block's).
            if ((((crs << 1) | (check.afterCr ? 1u : 0u)) & 0xFFFFu) != lfs) check.onlyCrLf = false;
            check.afterCr = (crs & 0x8000u) != 0;
            if (_mm_movemask_epi8(v) == 0) {
                _mm_store_si128(reinterpret_cast<__m128i*>(chunk + i), _mm_unpacklo_epi8(v, zero));
                _mm_store_si128(reinterpret_cast<__m128i*>(chunk + i + 8), _mm_unpackhi_epi8(v, zero));
            } else {
                for (std::size_t k = i; k < i + 16; ++k) chunk[k] = Windows1252ToUnicode(from[k]);
            }
        }
#endif
        for (; i < count; ++i) {
            chunk[i] = Windows1252ToUnicode(from[i]);
            check.take(chunk[i]);
        }
        text.append(chunk, count);
    }
    return check.done();
}

std::u16string decodeUtf16(std::string_view bytes, bool bigEndian)
{
    std::u16string text;
    text.reserve(bytes.size() / 2 + 3);
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        text += static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    if (i < bytes.size()) {
        text += u'\uFFFD';
    }
    return text;
}

// The file's characters, line breaks as they stand; true when they are all CR LF.
bool decodeCharacters(std::string_view bytes, std::u16string& text)
{
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        text = fromUtf8(bytes.substr(3));
    } else if (bytes.starts_with("\xFF\xFE")) {
        text = decodeUtf16(bytes.substr(2), false);
    } else if (bytes.starts_with("\xFE\xFF")) {
        text = decodeUtf16(bytes.substr(2), true);
    } else if (IsRtfDocument(bytes)) {
        text = RtfToText(bytes);
    } else {
        return decodeWindows1252(bytes, text);
    }
    return hasOnlyCrLfBreaks(text);
}

// The characters as the buffer's text: every line followed by CR LF. A list that has CR LF
// breaks throughout (the usual case) only gains a missing final break.
std::u16string bufferText(std::string_view bytes)
{
    std::u16string characters;
    const bool onlyCrLf = decodeCharacters(bytes, characters);
    if (characters.size() > kTextCapacity) {
        throw ConversionError(std::u16string(kTooLargeMessage));
    }
    if (onlyCrLf) {
        if (!characters.empty() && !characters.ends_with(u"\r\n")) characters += u"\r\n";
        return characters;
    }
    std::u16string joined;
    joined.reserve(characters.size() + characters.size() / 16 + 2);
    ForEachLine(characters, [&](std::size_t begin, std::size_t end) {
        joined.append(characters, begin, end - begin);
        joined += u"\r\n";
    });
    return joined;
}

}  // namespace

std::u16string DecodeEdlText(std::string_view bytes)
{
    return bufferText(bytes);
}

std::u16string LoadEdlText(const std::string& path)
{
    // The bytes are released before the caller goes on with the text.
    return bufferText(ReadFileBytes(path, kMaxFileBytes, std::u16string(kTooLargeMessage)));
}

std::vector<std::u16string> DecodeEdlBytes(std::string_view bytes)
{
    return SplitLines(DecodeEdlText(bytes));
}

std::vector<std::u16string> LoadEdlFile(const std::string& path)
{
    return SplitLines(LoadEdlText(path));
}

}  // namespace tarvelin
