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

// Whether every line break in 8-bit text is CR LF: each LF follows a CR, and each CR is followed
// by an LF (16 bytes at a time where the machine allows).
bool onlyCrLfBreaks(std::string_view bytes)
{
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    bool afterCr = false;
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + i));
        const auto crs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, cr)));
        const auto lfs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lf)));
        // Every LF sits one place after a CR (the block's first one after the last block's).
        if ((((crs << 1) | (afterCr ? 1u : 0u)) & 0xFFFFu) != lfs) return false;
        afterCr = (crs & 0x8000u) != 0;
    }
#endif
    for (; i < n; ++i) {
        const char c = bytes[i];
        if (c == '\n' ? !afterCr : afterCr) return false;
        afterCr = c == '\r';
    }
    return !afterCr;
}

// Neither a byte-order mark nor an RTF document: 8-bit text in Windows-1252.
bool isEightBitText(std::string_view bytes)
{
    return !bytes.starts_with("\xEF\xBB\xBF") && !bytes.starts_with("\xFF\xFE") &&
           !bytes.starts_with("\xFE\xFF") && !IsRtfDocument(bytes);
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
        text = DecodeWindows1252(bytes);
        return onlyCrLfBreaks(bytes);
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

// 16 bytes at a time where the machine allows: plain ASCII widens as it is, the rest goes through
// the table. The characters go through a small buffer that is appended: a text sized up front
// would be filled with zeros first, one more pass over a large file's worth of fresh memory. The
// text gets room for a final CR LF, so adding it later does not copy the text again.
std::u16string DecodeWindows1252(std::string_view bytes)
{
    const std::size_t n = bytes.size();
    std::u16string text;
    text.reserve(n + 2);
    PrepareLargeBuffer(text.data(), text.capacity() * sizeof(char16_t));
    const auto* const in = reinterpret_cast<const unsigned char*>(bytes.data());
    constexpr std::size_t kChunk = 4096;
    alignas(16) char16_t chunk[kChunk];
    for (std::size_t at = 0; at < n; at += kChunk) {
        const std::size_t count = std::min(kChunk, n - at);
        const unsigned char* const from = in + at;
        std::size_t i = 0;
#if defined(__SSE2__)
        const __m128i zero = _mm_setzero_si128();
        for (; i + 16 <= count; i += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
            if (_mm_movemask_epi8(v) == 0) {
                _mm_store_si128(reinterpret_cast<__m128i*>(chunk + i), _mm_unpacklo_epi8(v, zero));
                _mm_store_si128(reinterpret_cast<__m128i*>(chunk + i + 8),
                                _mm_unpackhi_epi8(v, zero));
            } else {
                for (std::size_t k = i; k < i + 16; ++k) chunk[k] = Windows1252ToUnicode(from[k]);
            }
        }
#endif
        for (; i < count; ++i) chunk[i] = Windows1252ToUnicode(from[i]);
        text.append(chunk, count);
    }
    return text;
}

std::u16string DecodeEdlText(std::string_view bytes)
{
    return bufferText(bytes);
}

std::string ReadEdlBytes(const std::string& path)
{
    return ReadFileBytes(path, kMaxFileBytes, std::u16string(kTooLargeMessage));
}

bool CompleteEightBitBufferText(std::string& bytes)
{
    if (!isEightBitText(bytes) || !onlyCrLfBreaks(bytes)) return false;
    if (bytes.size() > kTextCapacity) {
        throw ConversionError(std::u16string(kTooLargeMessage));
    }
    if (!bytes.empty() && !bytes.ends_with("\r\n")) bytes += "\r\n";
    return true;
}

std::u16string LoadEdlText(const std::string& path)
{
    // The bytes are released before the caller goes on with the text.
    return bufferText(ReadEdlBytes(path));
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
