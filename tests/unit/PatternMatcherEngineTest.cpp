// The linear-time engine against the reference backtracker where the engine's own machinery
// matters: subjects spanning many stored stretches, a state cache too small for the pattern,
// and the shapes that make a backtracker slow.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "conversion/CueLineExtraction.h"
#include "conversion/MatcherDfa.h"
#include "conversion/MatcherEngine.h"
#include "conversion/PatternProgram.h"
#include "conversion/Text.h"
#include "tests/support/MatchLists.h"
#include "tests/support/RandomPatterns.h"
#include "tests/support/ReferenceBacktracker.h"

namespace tarvelin {
namespace {

using testsupport::MatchList;
using testsupport::Span;

const std::u16string kExtraction(kExtractionPattern);

const std::u16string kEvent =
    u"000001  A001C003_230101 V     C        01:00:00:00 01:00:05:00 10:00:00:00 10:00:05:00\r\n";

// Every match of the engine with a given cache budget, walked like Exec/ExecNext.
MatchList engineMatches(const pattern::Program& program, std::u16string_view subject,
                        std::size_t cacheBytes)
{
    pattern::MatcherEngine engine(program, cacheBytes);
    engine.prepare(subject);
    MatchList matches;
    std::vector<std::ptrdiff_t> slots;
    std::size_t from = 0;
    while (from <= subject.size() && engine.search(from, slots)) {
        std::vector<Span> groups;
        for (int n = 0; n <= program.groupCount; ++n) {
            const auto start = slots[static_cast<std::size_t>(2 * n)];
            const auto end = slots[static_cast<std::size_t>(2 * n + 1)];
            groups.emplace_back(start < 0 || end < 0 ? Span{-1, -1} : Span{start, end});
        }
        from = static_cast<std::size_t>(groups[0].second + (groups[0].first == groups[0].second));
        matches.push_back(std::move(groups));
    }
    return matches;
}

// Whether the pattern needs more automaton states on this subject than a cache of that budget
// holds, so that the engine has to empty its cache on the way.
bool overflowsCache(const pattern::Program& program, std::u16string_view subject,
                    std::size_t cacheBytes)
{
    pattern::ReverseDfa dfa(program, cacheBytes);
    int state = dfa.endState();
    for (std::size_t i = subject.size(); i-- > 0;) state = dfa.step(state, subject[i]);
    return dfa.stateCount() > dfa.stateCapacity();
}

TEST(PatternMatcherEngineTest, SmallCacheGivesTheSameMatches)
{
    const std::u16string patterns[] = {u"A.{9}B", u"(A|B)[AB]{7}(AA|B)", u"A.*?B.{6}(A)"};
    std::mt19937 random(5);
    for (const std::u16string& text : patterns) {
        SCOPED_TRACE(toUtf8(text));
        const pattern::Program program = pattern::compilePattern(text);
        std::u16string subject;
        for (int i = 0; i < 3000; ++i) subject += random() % 2 ? u'A' : u'B';
        EXPECT_TRUE(overflowsCache(program, subject, 1));
        const MatchList expected = testsupport::referenceMatches(text, subject);
        EXPECT_FALSE(expected.empty());
        EXPECT_EQ(testsupport::describe(engineMatches(program, subject, 1)),
                  testsupport::describe(expected));
    }
}

TEST(PatternMatcherEngineTest, LongEdlAcrossManyStretches)
{
    std::mt19937 random(99);
    const std::u16string subject = testsupport::randomEdlText(random, 400);
    ASSERT_GT(subject.size(), 20000u);
    const MatchList expected = testsupport::referenceMatches(kExtraction, subject);
    EXPECT_GT(expected.size(), 50u);
    EXPECT_EQ(testsupport::describe(testsupport::patternMatcherMatches(kExtraction, subject)),
              testsupport::describe(expected));
    const pattern::Program program = pattern::compilePattern(kExtraction);
    EXPECT_EQ(testsupport::describe(engineMatches(program, subject, 1)),
              testsupport::describe(expected));
}

struct TrapCase {
    const char* name;
    std::u16string subject;
};

TEST(PatternMatcherEngineTest, BacktrackerTrapsGiveTheReferenceResult)
{
    std::u16string manyVideoEvents;
    for (int i = 0; i < 12; ++i) manyVideoEvents += kEvent + u" VIDEO CLIP.MXF\r\n";
    const std::u16string run(300, u'X');
    const TrapCase cases[] = {
        {"event_without_music_then_tail", kEvent + std::u16string(1000, u'a')},
        {"events_without_music", manyVideoEvents},
        {"music_only_at_the_start", kEvent + u" SONG.WAV\r\n" + manyVideoEvents},
        {"music_only_at_the_end", manyVideoEvents + u" LAST SONG.MP3\r\n"},
        {"run_without_extension", kEvent.substr(0, kEvent.size() - 2) + run},
        {"run_with_extension_inside", kEvent.substr(0, kEvent.size() - 2) + run + u".WAV" + run},
    };
    for (const TrapCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(testsupport::describe(testsupport::patternMatcherMatches(kExtraction, c.subject)),
                  testsupport::describe(testsupport::referenceMatches(kExtraction, c.subject)));
    }
}

}  // namespace
}  // namespace tarvelin
