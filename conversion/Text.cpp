#include "conversion/Text.h"

namespace tarvelin {

namespace {

void appendCodePoint(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void appendUtf16(std::u16string& out, char32_t c)
{
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (c >> 10));
        out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    }
}

}  // namespace

std::string toUtf8(std::u16string_view text)
{
    std::string out;
    appendUtf8(out, text);
    return out;
}

void appendUtf8(std::string& out, std::u16string_view text)
{
    out.reserve(out.size() + text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        // A run of ASCII goes in as one piece.
        std::size_t end = i;
        while (end < text.size() && text[end] < 0x80) ++end;
        if (end > i) {
            const std::size_t at = out.size();
            out.resize(at + (end - i));
            for (std::size_t k = i; k < end; ++k) out[at + (k - i)] = static_cast<char>(text[k]);
            i = end - 1;
            continue;
        }
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        appendCodePoint(out, c);
    }
}

std::u16string fromUtf8(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        int extra = 0;
        char32_t c = 0;
        char32_t minimum = 0;
        if (b < 0x80) {
            c = b;
        } else if (b >= 0xC2 && b <= 0xDF) {
            extra = 1;
            c = b & 0x1F;
            minimum = 0x80;
        } else if (b >= 0xE0 && b <= 0xEF) {
            extra = 2;
            c = b & 0x0F;
            minimum = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            extra = 3;
            c = b & 0x07;
            minimum = 0x10000;
        } else {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        bool ok = i + static_cast<std::size_t>(extra) < text.size();
        for (int k = 1; ok && k <= extra; ++k) {
            const auto cb = static_cast<unsigned char>(text[i + k]);
            if ((cb & 0xC0) != 0x80) {
                ok = false;
            } else {
                c = (c << 6) | (cb & 0x3F);
            }
        }
        if (ok && (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))) {
            ok = false;
        }
        if (!ok) {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        appendUtf16(out, c);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

std::u16string formatMessage(std::u16string_view pattern,
                             std::initializer_list<std::u16string_view> arguments)
{
    std::u16string out;
    auto argument = arguments.begin();
    std::size_t from = 0;
    for (std::size_t at = pattern.find(u"%s");
         at != std::u16string_view::npos && argument != arguments.end();
         at = pattern.find(u"%s", from)) {
        out += pattern.substr(from, at - from);
        out += *argument++;
        from = at + 2;
    }
    out += pattern.substr(from);
    return out;
}

bool hasOnlyCrLfBreaks(std::u16string_view text)
{
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t c = text[i];
        if (c > u'\r') continue;
        if (c == u'\n') return false;
        if (c == u'\r') {
            if (i + 1 == n || text[i + 1] != u'\n') return false;
            ++i;
        }
    }
    return true;
}

std::vector<std::u16string> SplitLines(std::u16string_view text)
{
    std::vector<std::u16string> lines;
    ForEachLine(text, [&](std::size_t begin, std::size_t end) {
        lines.emplace_back(text.substr(begin, end - begin));
    });
    return lines;
}

std::u16string JoinLines(const std::vector<std::u16string>& lines, std::u16string_view separator)
{
    std::size_t total = 0;
    for (const auto& line : lines)
        total += line.size() + separator.size();  // room for a final break
    std::u16string text;
    text.reserve(total);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += separator;
        text += lines[i];
    }
    return text;
}

std::u16string JoinLinesCrLf(const std::vector<std::u16string>& lines)
{
    std::u16string text = JoinLines(lines, u"\r\n");
    if (!lines.empty()) text += u"\r\n";
    return text;
}

}  // namespace tarvelin
