// The program's matcher, PCRE2 and RE2 must find the same matches with the same groups on large
// generated lists of every shape, and on large cue-line texts. The program's extraction and
// cue-row computation must turn those matches into the same cue lines and rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <type_traits>
#include <vector>

#include "conversion/CueLineExtraction.h"
#include "conversion/CueRows.h"
#include "tests/support/EdlGenerator.h"
#include "tests/support/MatcherPatterns.h"
#include "tests/support/ReferenceMatchers.h"

namespace tarvelin {
namespace {

using namespace testsupport;

template <typename Searcher>
std::vector<GroupSpans> allMatches(Searcher& searcher, std::u16string_view text, MatchRule rule)
{
    std::vector<GroupSpans> matches;
    const auto keep = [&](const GroupSpans& match) { matches.push_back(match); };
    if constexpr (std::is_same_v<Searcher, Re2Searcher>) {
        searcher.forEachMatch(toLatin1(text), keep, rule);
    } else {
        searcher.forEachMatch(text, keep, rule);
    }
    return matches;
}

std::string excerpt(std::u16string_view text, std::ptrdiff_t position)
{
    const std::size_t from = static_cast<std::size_t>(std::max<std::ptrdiff_t>(position - 40, 0));
    std::string result;
    for (char16_t c : text.substr(from, 80))
        result += c == u'\r'   ? std::string("\\r")
                  : c == u'\n' ? std::string("\\n")
                               : std::string(1, static_cast<char>(c));
    return result;
}

// Equal lists of matches, every group 0 to 14 at the same positions.
::testing::AssertionResult sameMatches(const std::vector<GroupSpans>& expected,
                                       const std::vector<GroupSpans>& actual,
                                       std::u16string_view text)
{
    const std::size_t common = std::min(expected.size(), actual.size());
    for (std::size_t m = 0; m < common; ++m)
        for (std::size_t g = 0; g < kMaxGroupSpans; ++g) {
            const auto [es, ee] = expected[m].spans[g];
            const auto [as, ae] = actual[m].spans[g];
            if (es == as && ee == ae) continue;
            return ::testing::AssertionFailure()
                   << "match " << m << " group " << g << ": expected [" << es << ", " << ee
                   << "), got [" << as << ", " << ae << ") near \""
                   << excerpt(text, std::min(es, as) < 0 ? std::max(es, as) : std::min(es, as))
                   << "\"";
        }
    if (expected.size() != actual.size())
        return ::testing::AssertionFailure()
               << "expected " << expected.size() << " matches, got " << actual.size();
    return ::testing::AssertionSuccess();
}

std::u16string groupText(const GroupSpans& match, int n, std::u16string_view text)
{
    const auto [start, end] = match.spans[static_cast<std::size_t>(n)];
    if (start < 0) return {};
    return std::u16string(
        text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)));
}

// The cue lines the extraction writes: record in, six blanks, record out, eight blanks, clip.
std::vector<std::u16string> cueLinesOf(const std::vector<GroupSpans>& matches,
                                       std::u16string_view text)
{
    std::vector<std::u16string> lines;
    for (const GroupSpans& match : matches)
        lines.push_back(groupText(match, 3, text) + u"      " + groupText(match, 4, text) +
                        u"        " + groupText(match, 5, text));
    return lines;
}

std::string shortened(std::u16string_view line)
{
    std::string result;
    for (char16_t c : line.substr(0, 120)) result += static_cast<char>(c < 0x80 ? c : '?');
    return line.size() > 120 ? result + "..." : result;
}

::testing::AssertionResult sameCueLines(const std::vector<std::u16string>& expected,
                                        const std::vector<std::u16string>& actual)
{
    for (std::size_t i = 0; i < std::min(expected.size(), actual.size()); ++i)
        if (expected[i] != actual[i])
            return ::testing::AssertionFailure()
                   << "cue line " << i << ": expected \"" << shortened(expected[i]) << "\", got \""
                   << shortened(actual[i]) << "\"";
    if (expected.size() != actual.size())
        return ::testing::AssertionFailure()
               << "expected " << expected.size() << " cue lines, got " << actual.size();
    return ::testing::AssertionSuccess();
}

struct LargeCase {
    const char* name;
    bool cueLines;
    EdlShape shape;
    std::size_t size;  // events, run characters or cue lines

    friend void PrintTo(const LargeCase& c, std::ostream* out) { *out << c.name; }
};

// Sizes keep each case near a second even for PCRE2, whose JIT cuts the quadratic shapes short.
const LargeCase kLargeCases[] = {
    {"typical_list", false, EdlShape::Typical, 20000},
    {"adversarial_list", false, EdlShape::Adversarial, 20000},
    {"worst_list", false, EdlShape::Worst, 20000},
    {"long_run_line", false, EdlShape::Run, 200000},
    // Small: PCRE2 and RE2 search the whole stretch again after every video event.
    {"late_music", false, EdlShape::Late, 300},
    {"cue_lines", true, EdlShape::Typical, 20000},
};

class LargeListAgreementTest : public ::testing::TestWithParam<LargeCase> {};

TEST_P(LargeListAgreementTest, EnginesFindTheSameGroups)
{
    const LargeCase& c = GetParam();
    EdlGenerator generator(0x5EED0000u + c.size);
    const GeneratedText generated =
        c.cueLines ? generator.cueLines(c.size) : generator.edl(c.shape, c.size);
    const std::u16string_view pattern = c.cueLines ? kCueLinePatternText : kExtractionPatternText;
    const std::u16string_view text = generated.text;

    PatternMatcherSearcher ours(pattern);
    Pcre2Searcher pcre2(pattern);
    Re2Searcher re2(pattern);
    // The extraction keeps only the matches whose events have their own timecodes.
    const MatchRule rule = c.cueLines ? MatchRule::Plain : MatchRule::OwnTimecodes;
    const std::vector<GroupSpans> fromRe2 = allMatches(re2, text, rule);
    const std::vector<GroupSpans> fromPcre2 = allMatches(pcre2, text, rule);
    const std::vector<GroupSpans> fromOurs = allMatches(ours, text, rule);

    EXPECT_TRUE(sameMatches(fromRe2, fromPcre2, text)) << "PCRE2 against RE2";
    EXPECT_TRUE(sameMatches(fromRe2, fromOurs, text)) << "PatternMatcher against RE2";
    if (c.cueLines) {
        // The cue-row computation reads the same In, Out and title texts.
        VectorCueRowList rows;
        ComputeCueRows(text, u"25", true, u',', rows);
        std::vector<std::u16string> fromRows;
        for (const CueRow& row : rows.rows)
            fromRows.push_back(row.in + u"      " + row.out + u"        " + row.title);
        std::vector<std::u16string> expected;
        for (const GroupSpans& match : fromRe2)
            expected.push_back(groupText(match, 1, text) + u"      " + groupText(match, 2, text) +
                               u"        " + groupText(match, 3, text));
        EXPECT_TRUE(sameCueLines(expected, fromRows));
    } else {
        std::vector<std::u16string> extracted;
        ExtractCueLines(text, extracted);
        EXPECT_TRUE(sameCueLines(cueLinesOf(fromRe2, text), extracted));
    }

    // The shapes do what they are for: each music clip closes exactly one match; without music
    // (and on the run) nothing matches; irregular cue lines give no row and leave the next alone.
    EXPECT_EQ(fromRe2.size(), generated.musicEvents);
}

// A list as large as the window takes, of video events only but for one music event at the
// end: every event's search runs on to that clip, and each is dropped for the next event's
// timecodes. Searching the stretch again for every event would take hours at this size; the
// memo of the scans keeps the whole extraction to a few passes over the text.
TEST(LargeListExtractionTest, ManyVideoEventsBeforeOneClipKeepTheExtractionLinear)
{
    EdlGenerator generator(0x1A7E);
    const GeneratedText late = generator.edlUpTo(EdlShape::Late, kTextCapacity);
    ASSERT_GT(late.events, 100'000u);
    std::vector<std::u16string> extracted;
    ExtractCueLines(late.text, extracted);
    ASSERT_EQ(extracted.size(), 1u);
    // The cue line carries the record timecodes of the last event line.
    const std::size_t eventLine = late.text.rfind(u" C        ");
    ASSERT_NE(eventLine, std::u16string::npos);
    const std::u16string_view timecodes = std::u16string_view(late.text).substr(eventLine + 10, 47);
    EXPECT_EQ(extracted.front().substr(0, 11), timecodes.substr(24, 11));
    EXPECT_EQ(extracted.front().substr(17, 11), timecodes.substr(36, 11));
}

INSTANTIATE_TEST_SUITE_P(Shapes, LargeListAgreementTest, ::testing::ValuesIn(kLargeCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tarvelin
