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
#include "tests/support/ReferenceBacktracker.h"
#include "tests/support/TestSeed.h"

namespace tarvelin {
namespace {

// About a tenth of a second of backtracking.
constexpr std::size_t kReferenceSteps = 20'000'000;

double budgetSeconds()
{
    const char* text = std::getenv("TARVELIN_MATCHER_FUZZ_SECONDS");
    const double seconds = text ? std::atof(text) : 0.0;
    return seconds > 0.0 ? seconds : 3.0;
}

TEST(PatternMatcherFuzzTest, MatcherReferenceAndPcre2Agree)
{
    // The budget is a minimum: a slow machine (or a sanitizer build) that has not yet compared
    // one subject with matches when it runs out goes on, up to ten budgets, so the run always
    // checks something.
    const auto start = std::chrono::steady_clock::now();
    const auto deadline = start + std::chrono::duration<double>(budgetSeconds());
    const auto lastChance = start + std::chrono::duration<double>(10 * budgetSeconds());
    // A failure names its seed; TARVELIN_TEST_SEED repeats that run.
    const auto seed = static_cast<unsigned>(testsupport::TestSeed(20241210));
    std::mt19937 random(seed);
    SCOPED_TRACE("seed " + std::to_string(seed));
    long subjects = 0;
    long withMatches = 0;
    long pcre2GaveUp = 0;
    long referenceGaveUp = 0;
    const auto goOn = [&] {
        const auto now = std::chrono::steady_clock::now();
        return now < deadline || (withMatches == 0 && now < lastChance);
    };
    while (goOn() && !HasFailure()) {
        const std::u16string pattern = testsupport::randomPattern(random);
        PatternMatcher matcher(pattern);
        const pattern::Program program = pattern::compilePattern(pattern);
        for (int s = 0; s < 20 && !HasFailure(); ++s) {
            const std::u16string subject = s % 5 == 4 ? testsupport::randomEdlText(random, 3)
                                                      : testsupport::randomSubject(random, 40);
            testsupport::MatchList fromPcre2;
            bool gaveUp = false;
            if (!testsupport::pcre2Matches(pattern, subject, fromPcre2, &gaveUp)) {
                // A pattern like "(.+.+.)" is cubic for a backtracker: PCRE2 stops at its match
                // limit, and the reference would take as long. Such pairs are left out.
                ASSERT_TRUE(gaveUp) << "PCRE2 rejects " << toUtf8(pattern);
                ++pcre2GaveUp;
                continue;
            }
            const std::string expected = testsupport::describe(fromPcre2);
            const auto context = "pattern: " + toUtf8(pattern) + "\nsubject: " + toUtf8(subject);
            // The reference may take a power of the length on patterns with several
            // repetitions; when it runs out of steps the matcher is compared with PCRE2 alone.
            testsupport::SearchBudget budget{kReferenceSteps};
            const std::string fromReference =
                testsupport::describe(testsupport::referenceMatches(program, subject, &budget));
            if (budget.exhausted)
                ++referenceGaveUp;
            else
                EXPECT_EQ(fromReference, expected) << context;
            EXPECT_EQ(testsupport::describe(testsupport::patternMatcherMatches(matcher, subject)),
                      expected)
                << context;
            ++subjects;
            withMatches += fromPcre2.empty() ? 0 : 1;
        }
    }
    RecordProperty("subjects", std::to_string(subjects));
    std::printf(
        "compared %ld subjects, %ld with matches; PCRE2 gave up on %ld more, the reference on %ld "
        "of the compared\n",
        subjects, withMatches, pcre2GaveUp, referenceGaveUp);
    EXPECT_GT(withMatches, 0);
}

}  // namespace
}  // namespace tarvelin
