#include "conversion/CueRows.h"

#include "conversion/AudioExtensions.h"
#include "conversion/PatternMatcher.h"
#include "conversion/Timecode.h"

namespace tarvelin {

namespace {

// In and Out six blanks apart, a lazy gap, then the title: a run of name characters, one
// character and the extension letters. Neither the gap nor the one character may be a line
// break, so a row never reaches past the end of its line: a line that cannot give a title gives
// no row and leaves the next line alone.
constexpr auto kNotLineBreak = [] {
    PatternText<kLineBreaks.size() + 3> text;
    text.append(u"[^");
    text.append(kLineBreaks);
    text.append(u"]");
    return text;
}();
constexpr auto kPrefix = [] {
    PatternText<2 * kTimecodeGroup.size() + 6> text;
    text.append(kTimecodeGroup);
    text.append(u"      ");
    text.append(kTimecodeGroup);
    return text;
}();
constexpr auto kGap = [] {
    PatternText<kNotLineBreak.view().size() + 2> text;
    text.append(kNotLineBreak.view());
    text.append(u"*?");
    return text;
}();
constexpr NamePatternParts kParts{kPrefix.view(), kGap.view(), kNotLineBreak.view()};
constexpr auto kPattern = buildNamePattern<namePatternLength(kParts)>(kParts);
static_assert(kPattern.view() ==
              u"(\\d{2}:\\d{2}:\\d{2}:\\d{2})      (\\d{2}:\\d{2}:\\d{2}:\\d{2})[^\r\n]*?("
              u"[ -_A-Z\u00C0-\u00D6\u00D8-\u00DF\u0152\u0160\u0178\u017D]+[^\r\n]MP3|"
              u"[ -_A-Z\u00C0-\u00D6\u00D8-\u00DF\u0152\u0160\u0178\u017D]+[^\r\n]WAV|"
              u"[ -_A-Z\u00C0-\u00D6\u00D8-\u00DF\u0152\u0160\u0178\u017D]+[^\r\n]M4A|"
              u"[ -_A-Z\u00C0-\u00D6\u00D8-\u00DF\u0152\u0160\u0178\u017D]+[^\r\n]AIFF|"
              u"[ -_A-Z\u00C0-\u00D6\u00D8-\u00DF\u0152\u0160\u0178\u017D]+[^\r\n]AIF|"
              u"[ -_A-Z\u00C0-\u00D6\u00D8-\u00DF\u0152\u0160\u0178\u017D]+[^\r\n]NEW)");

}  // namespace

const std::u16string_view kCueLinePattern = kPattern.view();

void VectorCueRowList::SetLastRowCell(CueColumn column, std::u16string text)
{
    CueRow& row = rows.back();
    switch (column) {
        case CueColumn::In:
            row.in = std::move(text);
            break;
        case CueColumn::Out:
            row.out = std::move(text);
            break;
        case CueColumn::Length:
            row.length = std::move(text);
            break;
        case CueColumn::Title:
            row.title = std::move(text);
            break;
    }
}

void ComputeCueRows(std::u16string_view cueText, std::u16string_view rateText,
                    bool minutesAndSeconds, char16_t decimalSeparator, CueRowList& rows)
{
    PatternMatcher matcher(kCueLinePattern);
    // The two counts live across the whole run: at rate zero the conversion leaves them as they
    // were, and the empty texts then fail as numbers.
    std::u16string outFrames;
    std::u16string inFrames;
    bool found = matcher.ExecInPlace(cueText);
    while (found) {
        const std::u16string in = matcher.Match(1);
        const std::u16string out = matcher.Match(2);
        rows.AppendRow();
        rows.SetLastRowCell(CueColumn::In, in);
        rows.SetLastRowCell(CueColumn::Out, out);

        TimecodeToFrames(out, rateText, decimalSeparator, outFrames);
        TimecodeToFrames(in, rateText, decimalSeparator, inFrames);
        const long double difference =
            ReadNumber(outFrames, decimalSeparator) - ReadNumber(inFrames, decimalSeparator);
        const std::int32_t frames = ReadInt32(FormatGeneral(difference, decimalSeparator));
        const double rate = ReadRate(rateText, decimalSeparator);
        rows.SetLastRowCell(CueColumn::Length, minutesAndSeconds ? FramesToMinSec(frames, rate)
                                                                 : FramesToTimecode(frames, rate));
        rows.SetLastRowCell(CueColumn::Title, matcher.Match(3));
        found = matcher.ExecNext();
    }
}

}  // namespace tarvelin
