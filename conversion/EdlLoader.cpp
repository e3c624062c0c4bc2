#include "conversion/EdlLoader.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "conversion/ConversionError.h"
#include "conversion/FileBytes.h"
#include "conversion/RtfText.h"
#include "conversion/Text.h"
#include "conversion/Windows1252.h"

namespace tarvelin {

namespace {

// A larger file is refused unread. In 8-bit, UTF-8 and UTF-16 files no character takes more than
// three bytes, so such a file would exceed the capacity anyway; only an RTF document could still
// fit, and one that large is refused as well.
constexpr std::size_t kMaxFileBytes = 4 * kTextCapacity;

// Decodes through a small buffer and appends it: a text sized up front would be filled with
// zeros first, one more pass over a large file's worth of fresh memory.
std::u16string decodeWindows1252(std::string_view bytes)
{
    std::u16string text;
    text.reserve(bytes.size());
    char16_t chunk[4096];
    for (std::size_t at = 0; at < bytes.size(); at += std::size(chunk)) {
        const std::size_t count = std::min(std::size(chunk), bytes.size() - at);
        for (std::size_t i = 0; i < count; ++i)
            chunk[i] = Windows1252ToUnicode(static_cast<unsigned char>(bytes[at + i]));
        text.append(chunk, count);
    }
    return text;
}

std::u16string decodeUtf16(std::string_view bytes, bool bigEndian)
{
    std::u16string text;
    text.reserve(bytes.size() / 2 + 1);
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

// The file's characters, line breaks as they stand.
std::u16string decodeCharacters(std::string_view bytes)
{
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        return fromUtf8(bytes.substr(3));
    }
    if (bytes.starts_with("\xFF\xFE")) {
        return decodeUtf16(bytes.substr(2), false);
    }
    if (bytes.starts_with("\xFE\xFF")) {
        return decodeUtf16(bytes.substr(2), true);
    }
    if (IsRtfDocument(bytes)) {
        return RtfToText(bytes);
    }
    return decodeWindows1252(bytes);
}

void checkCapacity(const std::u16string& characters)
{
    if (characters.size() > kTextCapacity) {
        throw ConversionError(std::u16string(kTooLargeMessage));
    }
}

// Calls line(begin, end) for every line of text. CR LF, LF CR, a lone CR and a lone LF each end
// one line; a break at the very end starts no further line.
template <typename LineFn>
void forEachLine(const std::u16string& text, LineFn&& line)
{
    std::size_t start = 0;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        const char16_t c = text[i];
        if (c != u'\r' && c != u'\n') {
            ++i;
            continue;
        }
        line(start, i);
        const char16_t pair = c == u'\r' ? u'\n' : u'\r';
        i += (i + 1 < n && text[i + 1] == pair) ? 2 : 1;
        start = i;
    }
    if (start < n) {
        line(start, n);
    }
}

std::vector<std::u16string> splitLoaded(const std::u16string& text)
{
    std::vector<std::u16string> lines;
    forEachLine(text, [&](std::size_t begin, std::size_t end) {
        lines.emplace_back(text, begin, end - begin);
    });
    return lines;
}

std::u16string joinLoaded(std::u16string text)
{
    // The usual file already has CR LF everywhere: then only a missing final break is added.
    if (hasOnlyCrLfBreaks(text)) {
        if (!text.empty() && !text.ends_with(u"\r\n")) text += u"\r\n";
        return text;
    }
    std::u16string joined;
    joined.reserve(text.size() + text.size() / 16 + 2);
    forEachLine(text, [&](std::size_t begin, std::size_t end) {
        joined.append(text, begin, end - begin);
        joined += u"\r\n";
    });
    return joined;
}

std::string readEdlBytes(const std::string& path)
{
    return ReadFileBytes(path, kMaxFileBytes, std::u16string(kTooLargeMessage));
}

// The file's characters; the bytes are released before the caller builds lines or text.
std::u16string loadCharacters(const std::string& path)
{
    std::u16string characters = decodeCharacters(readEdlBytes(path));
    checkCapacity(characters);
    return characters;
}

}  // namespace

std::vector<std::u16string> DecodeEdlBytes(std::string_view bytes)
{
    const std::u16string characters = decodeCharacters(bytes);
    checkCapacity(characters);
    return splitLoaded(characters);
}

std::vector<std::u16string> LoadEdlFile(const std::string& path)
{
    return splitLoaded(loadCharacters(path));
}

std::u16string DecodeEdlText(std::string_view bytes)
{
    std::u16string characters = decodeCharacters(bytes);
    checkCapacity(characters);
    return joinLoaded(std::move(characters));
}

std::u16string LoadEdlText(const std::string& path)
{
    return joinLoaded(loadCharacters(path));
}

}  // namespace tarvelin
