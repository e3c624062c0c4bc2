#include "conversion/CueLineExtraction.h"

#include <array>
#include <cstddef>

#include "conversion/AudioExtensions.h"
#include "conversion/PatternMatcher.h"

namespace tarvelin {

namespace {

// Source in, source out, record in, record out, one blank apart.
constexpr auto kPrefix = [] {
    PatternText<4 * kTimecodeGroup.size() + 3> text;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) text.append(u" ");
        text.append(kTimecodeGroup);
    }
    return text;
}();

// The lazy gap crosses lines: the clip name stands on a comment line below the event.
constexpr NamePatternParts kParts{kPrefix.view(), u".*?", u"."};
constexpr auto kPattern = buildNamePattern<namePatternLength(kParts)>(kParts);
static_assert(kPattern.view() ==
              u"(\\d{2}:\\d{2}:\\d{2}:\\d{2}) (\\d{2}:\\d{2}:\\d{2}:\\d{2}) "
              u"(\\d{2}:\\d{2}:\\d{2}:\\d{2}) (\\d{2}:\\d{2}:\\d{2}:\\d{2}).*?("
              u"[ -_A-Z\u00C0-\u00D6\u00D8-\u00DF\u0152\u0160\u0178\u017D]+.MP3|"
              u"[ -_A-Z\u00C0-\u00D6\u00D8-\u00DF\u0152\u0160\u0178\u017D]+.WAV|"
              u"[ -_A-Z\u00C0-\u00D6\u00D8-\u00DF\u0152\u0160\u0178\u017D]+.M4A|"
              u"[ -_A-Z\u00C0-\u00D6\u00D8-\u00DF\u0152\u0160\u0178\u017D]+.AIFF|"
              u"[ -_A-Z\u00C0-\u00D6\u00D8-\u00DF\u0152\u0160\u0178\u017D]+.AIF|"
              u"[ -_A-Z\u00C0-\u00D6\u00D8-\u00DF\u0152\u0160\u0178\u017D]+.NEW)");

constexpr std::u16string_view kAfterRecordIn = u"      ";     // six blanks
constexpr std::u16string_view kAfterRecordOut = u"        ";  // eight blanks

// The four timecodes that end every event line: "dd:dd:dd:dd" four times, one blank apart. They
// are found with a string search over character kinds (digit, colon, blank, other), so every
// character is looked at once however the text is made.
constexpr std::size_t kEventTimecodesLength = 4 * 11 + 3;

constexpr char shapeAt(std::size_t i)
{
    const std::size_t k = i % 12;
    if (k == 11) return ' ';
    return k == 2 || k == 5 || k == 8 ? ':' : 'd';
}

char kindOf(char16_t c)
{
    if (c >= u'0' && c <= u'9') return 'd';
    if (c == u':' || c == u' ') return static_cast<char>(c);
    return 'x';
}

// For each prefix of the shape, the longest proper prefix that is also its suffix.
constexpr auto kFallback = [] {
    std::array<std::size_t, kEventTimecodesLength> fallback{};
    std::size_t k = 0;
    for (std::size_t i = 1; i < kEventTimecodesLength; ++i) {
        while (k > 0 && shapeAt(i) != shapeAt(k)) k = fallback[k - 1];
        if (shapeAt(i) == shapeAt(k)) ++k;
        fallback[i] = k;
    }
    return fallback;
}();

// The start of the first four timecodes lying wholly in [from, end), or npos.
std::size_t findEventTimecodes(std::u16string_view text, std::size_t from, std::size_t end)
{
    std::size_t matched = 0;
    for (std::size_t i = from; i < end; ++i) {
        const char kind = kindOf(text[i]);
        while (matched > 0 && kind != shapeAt(matched)) matched = kFallback[matched - 1];
        if (kind == shapeAt(matched)) ++matched;
        if (matched == kEventTimecodesLength) return i + 1 - kEventTimecodesLength;
    }
    return std::u16string_view::npos;
}

// The end of the line holding position at: its CR or LF, the U+0000 that ends the subject, or
// the end of the text.
std::size_t endOfLine(std::u16string_view text, std::size_t at)
{
    while (at < text.size() && text[at] != u'\r' && text[at] != u'\n' && text[at] != u'\0') ++at;
    return at;
}

}  // namespace

const std::u16string_view kExtractionPattern = kPattern.view();

void ExtractCueLines(std::u16string_view text, std::vector<std::u16string>& cueLines)
{
    PatternMatcher matcher(kExtractionPattern);
    // Matches restarted inside one gap often end at the same clip: its line end is found once.
    std::size_t lastClipEnd = std::u16string_view::npos;
    std::size_t lastLineEnd = 0;
    bool found = matcher.ExecInPlace(text);
    while (found) {
        // A match whose gap holds another event's timecodes took that event's clip: the event
        // of the match has no audio clip. The search goes on at the later event, so that every
        // music event keeps its own record timecodes.
        const auto recordOutEnd = static_cast<std::size_t>(matcher.GroupSpan(4).second);
        const auto clipEnd = static_cast<std::size_t>(matcher.GroupSpan(5).second);
        if (clipEnd != lastClipEnd) {
            lastClipEnd = clipEnd;
            lastLineEnd = endOfLine(text, clipEnd);
        }
        const std::size_t later = findEventTimecodes(text, recordOutEnd, lastLineEnd);
        if (later != std::u16string_view::npos) {
            found = matcher.ExecFrom(later);
            continue;
        }
        std::u16string line = matcher.Match(3);
        line += kAfterRecordIn;
        line += matcher.Match(4);
        line += kAfterRecordOut;
        line += matcher.Match(5);
        cueLines.push_back(std::move(line));
        found = matcher.ExecNext();
    }
}

}  // namespace tarvelin
