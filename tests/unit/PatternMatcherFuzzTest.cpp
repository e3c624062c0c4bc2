// Randomised three-way comparison: the program's matcher, the reference backtracker and PCRE2
// over random patterns of the dialect and random subjects. It runs for a bounded time
// (TARVELIN_MATCHER_FUZZ_SECONDS, default 3) and reports how many subjects it compared.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <string>

#include "conversion/PatternMatcher.h"
#include "conversion/PatternProgram.h"
#include "conversion/Text.h"
#include "tests/support/MatchLists.h"
#include "tests/support/RandomPatterns.h"

namespace tarvelin {
namespace {

double budgetSeconds()
{
    const char* text = std::getenv("TARVELIN_MATCHER_FUZZ_SECONDS");
    const double seconds = text ? std::atof(text) : 0.0;
    return seconds > 0.0 ? seconds : 3.0;
}

TEST(PatternMatcherFuzzTest, MatcherReferenceAndPcre2Agree)
{
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::duration<double>(budgetSeconds());
    std::random_device device;
    const unsigned seed = device();
    std::mt19937 random(seed);
    SCOPED_TRACE("seed " + std::to_string(seed));
    long subjects = 0;
    long withMatches = 0;
    while (std::chrono::steady_clock::now() < deadline && !HasFailure()) {
        const std::u16string pattern = testsupport::randomPattern(random);
        PatternMatcher matcher(pattern);
        const pattern::Program program = pattern::compilePattern(pattern);
        for (int s = 0; s < 20 && !HasFailure(); ++s) {
            const std::u16string subject = s % 5 == 4 ? testsupport::randomEdlText(random, 3)
                                                      : testsupport::randomSubject(random, 40);
            testsupport::MatchList fromPcre2;
            ASSERT_TRUE(testsupport::pcre2Matches(pattern, subject, fromPcre2)) << toUtf8(pattern);
            const std::string expected = testsupport::describe(fromPcre2);
            const auto context = "pattern: " + toUtf8(pattern) + "\nsubject: " + toUtf8(subject);
            EXPECT_EQ(testsupport::describe(testsupport::referenceMatches(program, subject)),
                      expected)
                << context;
            EXPECT_EQ(testsupport::describe(testsupport::patternMatcherMatches(matcher, subject)),
                      expected)
                << context;
            ++subjects;
            withMatches += fromPcre2.empty() ? 0 : 1;
        }
    }
    RecordProperty("subjects", std::to_string(subjects));
    std::printf("compared %ld subjects, %ld with matches\n", subjects, withMatches);
    EXPECT_GT(withMatches, 0);
}

}  // namespace
}  // namespace tarvelin
