#include "conversion/CueRows.h"

#include <cmath>
#include <cstdint>
#include <optional>

#include "conversion/AudioExtensions.h"
#include "conversion/ConversionError.h"
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
constexpr auto kCueLinePrefix = [] {
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
constexpr NamePatternParts kCueLineParts{kCueLinePrefix.view(), kGap.view(), kNotLineBreak.view()};
constexpr auto kCueLineText = buildNamePattern<namePatternLength(kCueLineParts)>(kCueLineParts);
static_assert(kCueLineText.view() ==
              u"(\\d{2}:\\d{2}:\\d{2}:\\d{2})      (\\d{2}:\\d{2}:\\d{2}:\\d{2})[^\r\n]*?("
              u"[ -_A-Z\u00C0-\u00D6\u00D8-\u00DF\u0152\u0160\u0178\u017D]+[^\r\n]MP3|"
              u"[ -_A-Z\u00C0-\u00D6\u00D8-\u00DF\u0152\u0160\u0178\u017D]+[^\r\n]WAV|"
              u"[ -_A-Z\u00C0-\u00D6\u00D8-\u00DF\u0152\u0160\u0178\u017D]+[^\r\n]M4A|"
              u"[ -_A-Z\u00C0-\u00D6\u00D8-\u00DF\u0152\u0160\u0178\u017D]+[^\r\n]AIFF|"
              u"[ -_A-Z\u00C0-\u00D6\u00D8-\u00DF\u0152\u0160\u0178\u017D]+[^\r\n]AIF|"
              u"[ -_A-Z\u00C0-\u00D6\u00D8-\u00DF\u0152\u0160\u0178\u017D]+[^\r\n]NEW)");

}  // namespace

const std::u16string_view kCueLinePattern = kCueLineText.view();

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

namespace {

// The rate text read once for the whole run; empty when it is no number or zero, so that every
// row takes the text road and fails there with the exact message.
std::optional<double> usableRate(std::u16string_view rateText, char16_t decimalSeparator)
{
    try {
        const double rate = ReadRate(rateText, decimalSeparator);
        if (rate != 0 && std::isfinite(rate)) return rate;
    } catch (const ConversionError&) {
    }
    return std::nullopt;
}

long double twoDigits(std::u16string_view text, std::size_t at)
{
    return static_cast<long double>((text[at] - u'0') * 10 + (text[at + 1] - u'0'));
}

// The count of a matched timecode (two digits in every field) without its text: below 10^15
// the count's text reads back as the same number, so the text road would give this very value.
std::optional<long double> directCount(std::u16string_view timecode, double rate)
{
    const long double count = FrameCount(twoDigits(timecode, 0), twoDigits(timecode, 3),
                                         twoDigits(timecode, 6), twoDigits(timecode, 9), rate);
    constexpr long double kPlainLimit = 1e15L;
    if (!(std::fabs(count) < kPlainLimit)) return std::nullopt;
    return count;
}

// The duration in frames of one row as the text road computes it: both counts written in the
// general number format, read back, their difference written and read as a 32-bit integer. The
// two frame-count texts live across the whole run, since at rate zero the conversion leaves them
// as they were.
std::int32_t durationFrames(std::u16string_view in, std::u16string_view out,
                            std::u16string_view rateText, char16_t decimalSeparator,
                            std::optional<double> rate, std::u16string& outFrames,
                            std::u16string& inFrames)
{
    if (rate) {
        const std::optional<long double> outCount = directCount(out, *rate);
        const std::optional<long double> inCount = directCount(in, *rate);
        if (outCount && inCount) {
            const long double difference = *outCount - *inCount;
            if (difference >= INT32_MIN && difference <= INT32_MAX) {
                return static_cast<std::int32_t>(difference);
            }
            return ReadInt32(FormatGeneral(difference, decimalSeparator));
        }
    }
    TimecodeToFrames(out, rateText, decimalSeparator, outFrames);
    TimecodeToFrames(in, rateText, decimalSeparator, inFrames);
    const long double difference =
        ReadNumber(outFrames, decimalSeparator) - ReadNumber(inFrames, decimalSeparator);
    return ReadInt32(FormatGeneral(difference, decimalSeparator));
}

// Tells the row list that the run has ended, also when it ends with a failure.
class EndOfRows {
public:
    explicit EndOfRows(CueRowList& rows) : m_rows(rows) {}
    ~EndOfRows() { m_rows.EndRows(); }
    EndOfRows(const EndOfRows&) = delete;
    EndOfRows& operator=(const EndOfRows&) = delete;

private:
    CueRowList& m_rows;
};

}  // namespace

void ComputeCueRows(std::u16string_view cueText, std::u16string_view rateText,
                    bool minutesAndSeconds, char16_t decimalSeparator, CueRowList& rows)
{
    const EndOfRows endOfRows(rows);
    PatternMatcher matcher(kCueLinePattern);
    const std::optional<double> rate = usableRate(rateText, decimalSeparator);
    std::u16string outFrames;
    std::u16string inFrames;
    // The groups are read where they stand in the subject; only the cells get their own copies.
    const auto group = [&](int n) {
        const auto [begin, end] = matcher.GroupSpan(n);
        return cueText.substr(static_cast<std::size_t>(begin),
                              static_cast<std::size_t>(end - begin));
    };
    bool found = matcher.ExecInPlace(cueText);
    while (found) {
        const std::u16string_view in = group(1);
        const std::u16string_view out = group(2);
        rows.AppendRow();
        rows.SetLastRowCell(CueColumn::In, std::u16string(in));
        rows.SetLastRowCell(CueColumn::Out, std::u16string(out));

        const std::int32_t frames =
            durationFrames(in, out, rateText, decimalSeparator, rate, outFrames, inFrames);
        const double wholeRate = rate ? *rate : ReadRate(rateText, decimalSeparator);
        rows.SetLastRowCell(CueColumn::Length, minutesAndSeconds
                                                   ? FramesToMinSec(frames, wholeRate)
                                                   : FramesToTimecode(frames, wholeRate));
        rows.SetLastRowCell(CueColumn::Title, std::u16string(group(3)));
        found = matcher.ExecNext();
    }
}

}  // namespace tarvelin
