// The matcher against PCRE2 (16-bit, DOTALL): the dialect is a subset of PCRE's, so both must
// agree on every match and every group through the whole Exec/ExecNext sequence.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "conversion/CueLineExtraction.h"
#include "conversion/CueRows.h"
#include "conversion/Text.h"
#include "tests/support/MatchLists.h"
#include "tests/support/RandomPatterns.h"

namespace tarvelin {
namespace {

using testsupport::MatchList;

const std::u16string kExtraction(kExtractionPattern);
const std::u16string kCueLine(kCueLinePattern);

// Compares one pattern on one subject; returns whether both found at least one match.
bool expectSameAsPcre2(std::u16string_view pattern, std::u16string_view subject)
{
    MatchList expected;
    if (!testsupport::pcre2Matches(pattern, subject, expected)) {
        ADD_FAILURE() << "PCRE2 failed on " << toUtf8(pattern);
        return false;
    }
    const MatchList actual = testsupport::patternMatcherMatches(pattern, subject);
    EXPECT_EQ(testsupport::describe(actual), testsupport::describe(expected))
        << "pattern: " << toUtf8(pattern) << "\nsubject: " << toUtf8(subject);
    return !expected.empty();
}

TEST(PatternMatcherPcreTest, ExtractionPatternOnEdlShapedText)
{
    std::mt19937 random(20240601);
    int withMatches = 0;
    for (int i = 0; i < 300 && !testing::Test::HasFailure(); ++i)
        withMatches +=
            expectSameAsPcre2(kExtraction, testsupport::randomEdlText(random, 1 + i % 12));
    EXPECT_GT(withMatches, 100);
}

TEST(PatternMatcherPcreTest, CueLinePatternOnEditedCueLines)
{
    std::mt19937 random(77);
    int withMatches = 0;
    for (int i = 0; i < 300 && !testing::Test::HasFailure(); ++i) {
        std::u16string text = testsupport::randomCueLineText(random, 1 + i % 8);
        if (i % 3 == 0) text += testsupport::randomSubject(random, 20);
        withMatches += expectSameAsPcre2(kCueLine, text);
    }
    EXPECT_GT(withMatches, 100);
}

TEST(PatternMatcherPcreTest, RandomPatternsOnRandomSubjects)
{
    std::mt19937 random(4242);
    int withMatches = 0;
    for (int p = 0; p < 400 && !testing::Test::HasFailure(); ++p) {
        const std::u16string pattern = testsupport::randomPattern(random);
        for (int s = 0; s < 10; ++s)
            withMatches += expectSameAsPcre2(pattern, testsupport::randomSubject(random, 24));
    }
    EXPECT_GT(withMatches, 400);
}

}  // namespace
}  // namespace tarvelin
