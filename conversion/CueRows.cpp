#include "conversion/CueRows.h"

#include "conversion/PatternMatcher.h"
#include "conversion/Timecode.h"

namespace tarvelin {

namespace {

// In and Out six blanks apart, a lazy gap, then the title: a run of characters from the blank to
// the low line (digits, capitals, punctuation), any one character, and the extension letters.
// The alternatives are tried in this order, so ".AIFF" wins over its prefix ".AIF".
constexpr std::u16string_view kPattern =
    u"(\\d{2}:\\d{2}:\\d{2}:\\d{2})      (\\d{2}:\\d{2}:\\d{2}:\\d{2}).*?"
    u"([ -_A-Z]+.MP3|[ -_A-Z]+.WAV|[ -_A-Z]+.M4A|[ -_A-Z]+.AIFF|[ -_A-Z]+.AIF|[ -_A-Z]+.NEW)";
static_assert(kPattern.size() == 145);

}  // namespace

const std::u16string_view kCueLinePattern = kPattern;

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
