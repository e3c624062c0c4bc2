#include "conversion/CueLineExtraction.h"

#include "conversion/PatternMatcher.h"

namespace tarvelin {

namespace {

constexpr std::u16string_view kPattern =
    u"(\\d{2}:\\d{2}:\\d{2}:\\d{2}) (\\d{2}:\\d{2}:\\d{2}:\\d{2}) "
    u"(\\d{2}:\\d{2}:\\d{2}:\\d{2}) (\\d{2}:\\d{2}:\\d{2}:\\d{2}).*?"
    u"([ -_A-Z\u00C4\u00D6\u00DC]+.MP3|[ -_A-Z\u00C4\u00D6\u00DC]+.WAV|"
    u"[ -_A-Z\u00C4\u00D6\u00DC]+.M4A|[ -_A-Z\u00C4\u00D6\u00DC]+.AIFF|"
    u"[ -_A-Z\u00C4\u00D6\u00DC]+.NEW)";
static_assert(kPattern.size() == 193);

constexpr std::u16string_view kAfterRecordIn = u"      ";     // six blanks
constexpr std::u16string_view kAfterRecordOut = u"        ";  // eight blanks

}  // namespace

const std::u16string_view kExtractionPattern = kPattern;

void ExtractCueLines(std::u16string_view text, std::vector<std::u16string>& cueLines)
{
    PatternMatcher matcher(kExtractionPattern);
    bool found = matcher.ExecInPlace(text);
    while (found) {
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
