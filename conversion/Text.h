// Small helpers for the core's text type: UTF-16 in std::u16string, one char16_t a character.
//
// Conversions to and from UTF-8 for files, the command line and messages, and the one rule that
// splits a text into lines. Nothing here knows about EDLs or timecodes.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace tarvelin {

// UTF-16 to UTF-8. An unpaired surrogate becomes U+FFFD.
std::string toUtf8(std::u16string_view text);
// The same, appended to out.
void appendUtf8(std::string& out, std::u16string_view text);

// UTF-8 to UTF-16. A malformed sequence becomes one U+FFFD per offending byte.
std::u16string fromUtf8(std::string_view text);

// The line rule of every text the program takes in: CR LF, LF CR, a lone CR and a lone LF each
// end one line; a break at the very end starts no further line. Calls line(begin, end) for the
// characters of every line, in order. On a text whose breaks are all CR LF this is the plain
// split at CR LF.
template <typename LineFn>
void ForEachLine(std::u16string_view text, LineFn&& line)
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
    if (start < n) line(start, n);
}

// The lines of a text by that rule.
std::vector<std::u16string> SplitLines(std::u16string_view text);

// Joins lines, each followed by CR LF (the last one too); no lines give the empty text.
std::u16string JoinLinesCrLf(const std::vector<std::u16string>& lines);

// Joins lines with the separator between them (none after the last).
std::u16string JoinLines(const std::vector<std::u16string>& lines, std::u16string_view separator);

// Whether every line break in text is CR LF: each CR is followed by LF and each LF follows a CR.
// Such a text splits into lines and joins with CR LF again unchanged, up to a break at its end.
bool hasOnlyCrLfBreaks(std::u16string_view text);

// Puts the arguments in place of the message pattern's "%s", the first argument for the first
// one and so on. Only the pattern is searched, so an argument holding "%s" stays as it is.
std::u16string formatMessage(std::u16string_view pattern,
                             std::initializer_list<std::u16string_view> arguments);
inline std::u16string formatMessage(std::u16string_view pattern, std::u16string_view argument)
{
    return formatMessage(pattern, {argument});
}

}  // namespace tarvelin
