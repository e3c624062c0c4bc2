#include "conversion/EdlNormalizer.h"

#include <array>

#include "conversion/Text.h"

namespace tarvelin {

namespace {

struct Removal {
    std::u16string_view text;  // upper case where letter case is ignored
    bool ignoreCase;
};

// The removals in the order they run. Step 4 joins a line that begins with an asterisk to the
// line before it when that line ends with a blank.
constexpr std::array kRemovals = {
    Removal{u"*FROM CLIP NAME: ", true},   Removal{u"* FROM CLIP NAME: ", true},
    Removal{u"*  FROM CLIP NAME: ", true}, Removal{u" \r\n*", false},
    Removal{u"FROM CLIP NAME: ", true},    Removal{u"AUD", true},
    Removal{u" 3     4 ", true},           Removal{u" 1     2 ", true},
};
static_assert(kRemovals.size() == 8);

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

// The characters that can stand for the first character of a removed text: itself, and where
// letter case is ignored its lower case and the non-ASCII letters whose upper case it is.
struct FirstCharacters {
    char16_t a;
    char16_t b;
    char16_t c;
};

constexpr FirstCharacters firstCharacters(const Removal& removal)
{
    const char16_t first = removal.text.front();
    if (!removal.ignoreCase || first < u'A' || first > u'Z') {
        return {first, first, first};
    }
    const auto lower = static_cast<char16_t>(first + (u'a' - u'A'));
    const char16_t extra = first == u'I' ? u'\u0131' : first == u'S' ? u'\u017F' : first;
    return {first, lower, extra};
}

// One left-to-right pass: each occurrence is cut out and the search goes on right after it, so
// characters brought together by a cut are not searched again in this pass. The kept stretches
// move down whole within the text (only ever onto characters already read), so the pass is
// linear and needs no second buffer; a text without an occurrence is not written at all.
void removeAll(std::u16string& text, const Removal& removal)
{
    const FirstCharacters first = firstCharacters(removal);
    char16_t* const data = text.data();
    const std::size_t n = text.size();
    std::size_t kept = 0;    // length of the result so far
    std::size_t copied = 0;  // text before this has been moved into the result
    std::size_t i = 0;
    while (i < n) {
        const char16_t c = data[i];
        if ((c == first.a || c == first.b || c == first.c) && matchesAt(text, i, removal)) {
            if (kept != copied) std::char_traits<char16_t>::move(data + kept, data + copied, i - copied);
            kept += i - copied;
            i += removal.text.size();
            copied = i;
        } else {
            ++i;
        }
    }
    if (kept == copied) return;
    std::char_traits<char16_t>::move(data + kept, data + copied, n - copied);
    text.resize(kept + (n - copied));
}

}  // namespace

std::u16string JoinLinesCrLf(const std::vector<std::u16string>& lines)
{
    std::size_t total = 0;
    for (const auto& line : lines) {
        total += line.size() + 2;
    }
    std::u16string text;
    text.reserve(total);
    for (const auto& line : lines) {
        text += line;
        text += u"\r\n";
    }
    return text;
}

std::vector<std::u16string> SplitLines(std::u16string_view text)
{
    std::vector<std::u16string> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const char16_t c = text[i];
        if (c != u'\r' && c != u'\n') {
            ++i;
            continue;
        }
        lines.emplace_back(text.substr(start, i - start));
        i += (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ? 2 : 1;
        start = i;
    }
    if (start < text.size()) {
        lines.emplace_back(text.substr(start));
    }
    return lines;
}

std::u16string ResplitCrLf(std::u16string text)
{
    if (hasOnlyCrLfBreaks(text)) {
        if (!text.empty() && !text.ends_with(u"\r\n")) text += u"\r\n";
        return text;
    }
    std::u16string out;
    out.reserve(text.size() + 2);
    std::size_t i = 0;
    while (i < text.size()) {
        const char16_t c = text[i];
        if (c != u'\r' && c != u'\n') {
            out += c;
            ++i;
            continue;
        }
        out += u"\r\n";
        i += (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ? 2 : 1;
    }
    if (!out.empty() && !out.ends_with(u"\r\n")) {
        out += u"\r\n";
    }
    return out;
}

void NormalizeEdlText(std::u16string& workText)
{
    for (const Removal& removal : kRemovals) removeAll(workText, removal);
}

}  // namespace tarvelin
