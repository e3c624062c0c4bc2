// The dedicated search for "prefix, lazy gap, alternatives of one class run and a literal"
// against the reference backtracker and PCRE2: which patterns take it, and that it gives the
// same matches and groups on subjects full of the cases where that shape is subtle (literal
// fragments that overlap, runs broken by characters outside the class, literals at the very end,
// line breaks, U+0000), for both fixed patterns and for random patterns of the same shape.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "conversion/MatcherFastPath.h"
#include "conversion/PatternMatcher.h"
#include "conversion/PatternProgram.h"
#include "conversion/PatternSyntax.h"
#include "conversion/Text.h"
#include "tests/support/MatchLists.h"
#include "tests/support/MatcherPatterns.h"

namespace tarvelin {
namespace {

bool takesFastPath(std::u16string_view pattern)
{
    return pattern::FastPath::detect(pattern::parsePattern(pattern)) != nullptr;
}

// Matcher, reference and PCRE2 over one subject; returns whether there was any match.
bool expectAgreement(std::u16string_view pattern, PatternMatcher& matcher,
                     const pattern::Program& program, std::u16string_view subject)
{
    testsupport::MatchList fromPcre2;
    EXPECT_TRUE(testsupport::pcre2Matches(pattern, subject, fromPcre2)) << toUtf8(pattern);
    const std::string expected = testsupport::describe(fromPcre2);
    const std::string context =
        "pattern: " + toUtf8(pattern) + "\nsubject: " + toUtf8(std::u16string(subject));
    EXPECT_EQ(testsupport::describe(testsupport::referenceMatches(program, subject)), expected)
        << context;
    EXPECT_EQ(testsupport::describe(testsupport::patternMatcherMatches(matcher, subject)), expected)
        << context;
    // Searches restarted inside earlier matches reuse what the fast path learned before. (The
    // walk costs the square of the length; the short subjects are enough for it.)
    if (subject.size() <= 64) {
        EXPECT_EQ(testsupport::describe(testsupport::patternMatcherRestarts(matcher, subject)),
                  testsupport::describe(testsupport::referenceRestarts(program, subject)))
            << "restarts\n"
            << context;
    }
    return !fromPcre2.empty();
}

// Switches the fast path's vector scans on or off for a scope, so that the portable scans face
// the same references.
class VectorScans {
public:
    explicit VectorScans(bool on) { pattern::FastPath::setVectorScans(on); }
    ~VectorScans() { pattern::FastPath::setVectorScans(true); }
    VectorScans(const VectorScans&) = delete;
    VectorScans& operator=(const VectorScans&) = delete;
};

template <typename T>
const T& pick(std::mt19937& random, const std::vector<T>& items)
{
    return items[std::uniform_int_distribution<std::size_t>(0, items.size() - 1)(random)];
}

TEST(PatternMatcherFastPathTest, RecognisesOnlyItsShape)
{
    struct Case {
        const char16_t* pattern;
        bool fast;
    };
    const Case cases[] = {
        {u"(\\d{2}):(\\d).*?([A-Z]+.MP3|[A-Z]+.WAV)", true},
        {u".*?([ -Z]+.A)", true},
        {u"X(Y(Z)).*?(A+.B{2}C)", true},
        {u"\\d.*?([A-Z]+.MP3|[A-Y]+.WAV)", false},    // classes differ
        {u"\\d[ -Z]*?([A-Z]+.MP3)", false},           // gap of a class
        {u"\\d.*?([A-Z]+.MP3)X", false},              // something after the group
        {u"\\d.*?([A-Z]+.MP3|[A-Z]+MWAV)", false},    // items before the literals differ
        {u"\\d[^\r\n]*?([A-Z]+[^\r\n]MP3)", true},    // gap and item bounded by the line
        {u"\\d[^\r\n]*?([ -Z\r]+.MP3)", false},       // a run that crosses a stop
        {u"\\d[^abcde]*?([A-Z]+.MP3)", false},        // more stops than the scan takes
        {u"\\d.*?([A-Z]+.)", false},                  // no literal
        {u"\\d.*?([A-Z]+.M[P3])", false},             // literal with a class
        {u"\\d.*?([A-Z]+.MP3|[A-Z]+.(WAV))", false},  // group inside an alternative
        {u"\\d+.*?([A-Z]+.MP3)", false},              // prefix of varying length
        {u"(A|B).*?([A-Z]+.MP3)", false},             // alternatives in the prefix
        {u"\\d.*?[A-Z]+.MP3", false},                 // no group of alternatives
    };
    for (const Case& c : cases) {
        EXPECT_EQ(takesFastPath(c.pattern), c.fast) << toUtf8(c.pattern);
    }
    EXPECT_TRUE(takesFastPath(testsupport::kExtractionPatternText));
    EXPECT_TRUE(takesFastPath(testsupport::kCueLinePatternText));
}

// Subjects glued from fragments that meet the fixed patterns' corner cases (the last two hold
// characters that the packed scan sees as 255 or 0).
std::u16string fragmentSubject(std::mt19937& random, int fragments)
{
    static const std::vector<std::u16string> pieces = {u"01:00:00:00",
                                                       u"10:00:05:12 ",
                                                       u" ",
                                                       u"      ",
                                                       u"01:00:00:00 01:00:05:00 ",
                                                       u"SONG",
                                                       u".MP3",
                                                       u"MP3P3",
                                                       u"AIFFF",
                                                       u"NEWNEW",
                                                       u".AIF",
                                                       u"AIFF",
                                                       u".WAV",
                                                       u".M4A",
                                                       u"NEWTON",
                                                       u"\u00C4",
                                                       u"\u00D6\u00DC",
                                                       u"\u00E4",
                                                       u"a",
                                                       u"\r\n",
                                                       u"\n",
                                                       u"-_.(&)",
                                                       u"x",
                                                       u"3",
                                                       u"W",
                                                       u"M",
                                                       u"`",
                                                       u"\t",
                                                       u"A",
                                                       u"P3",
                                                       u"\u2122\u00FF",
                                                       u"M\uFF0D"};
    static const std::vector<std::u16string> heads = {
        u"01:00:00:00 01:00:05:00 10:00:00:00 10:00:05:00", u"10:00:00:00      10:00:05:00"};
    std::u16string subject;
    for (int i = 0; i < fragments; ++i) {
        subject += random() % 6 == 0 ? pick(random, heads) : pick(random, pieces);
    }
    if (random() % 20 == 0) subject.insert(random() % (subject.size() + 1), 1, u'\0');
    return subject;
}

TEST(PatternMatcherFastPathTest, FixedPatternsAgreeOnHandPickedSubjects)
{
    const std::u16string event = u"01:00:00:00 01:00:05:00 10:00:00:00 10:00:05:00";
    const std::u16string cue = u"10:00:00:00      10:00:05:00";
    const std::u16string subjects[] = {
        u"",
        u" A.MP3",
        u"AB.MP3P3 X.MP3",
        u"SONG.AIFFF",
        u"NEW NEWNEW",
        u"A.WAV B.MP3",
        u"AB.M4A\r\nCD.MP3",
        u"\u00C4\u00D6.MP3 \u00E4X.WAV",
        u"A\nMP3",
        u"AMP3",
        u"A.MP",
        std::u16string(u"  A.MP3\u0000 B.MP3", 14),
        u" NEWTON.AIF",
        u"A.AIF.AIFF",
        u"\r\n" + cue + u"  NEXT.WAV",
        std::u16string(300, u'A') + u".MP3" + std::u16string(50, u'B'),
        std::u16string(200, u'X') + u"aWAV" + std::u16string(37, u' ') + u".NEW",
        u"A" + std::u16string(45, u'\u00C4') + u"\u00E4" + std::u16string(21, u'B') + u".AIFF",
    };
    const std::u16string_view patterns[] = {testsupport::kExtractionPatternText,
                                            testsupport::kCueLinePatternText};
    for (const bool vectors : {true, false}) {
        const VectorScans scans(vectors);
        SCOPED_TRACE(vectors ? "vector scans" : "portable scans");
        for (const std::u16string_view pattern : patterns) {
            PatternMatcher matcher(pattern);
            const pattern::Program program = pattern::compilePattern(pattern);
            for (const std::u16string& tail : subjects) {
                for (const std::u16string& head : {event, cue}) {
                    expectAgreement(pattern, matcher, program, head + tail);
                    expectAgreement(pattern, matcher, program, head + tail + head + tail);
                }
            }
        }
    }
}

TEST(PatternMatcherFastPathTest, FixedPatternsAgreeOnRandomFragments)
{
    const std::u16string_view patterns[] = {testsupport::kExtractionPatternText,
                                            testsupport::kCueLinePatternText};
    std::mt19937 random(20240607);
    for (const std::u16string_view pattern : patterns) {
        PatternMatcher matcher(pattern);
        const pattern::Program program = pattern::compilePattern(pattern);
        int withMatches = 0;
        for (int i = 0; i < 1500 && !HasFailure(); ++i) {
            const VectorScans scans(i % 2 == 0);
            withMatches +=
                expectAgreement(pattern, matcher, program, fragmentSubject(random, 4 + i % 40));
        }
        EXPECT_GT(withMatches, 100);
    }
}

TEST(PatternMatcherFastPathTest, LargeSubjectEndsAtItsFirstNul)
{
    const std::u16string line = u"10:00:00:00      10:00:05:00         SONG.MP3\r\n";
    std::u16string half;
    for (int i = 0; i < 60000; ++i) half += line;
    ASSERT_GT(half.size(), std::size_t{1} << 21);
    // Odd lengths before the U+0000 and an unaligned start exercise every scan loop's edge.
    const std::u16string text = u"x" + half + u"A" + std::u16string(1, u'\0') + half;
    const std::u16string_view subject = std::u16string_view(text).substr(1);
    for (const bool inPlace : {false, true}) {
        const VectorScans scans(!inPlace);
        PatternMatcher matcher(testsupport::kCueLinePatternText);
        int matches = 0;
        std::ptrdiff_t lastEnd = -1;
        for (bool found = inPlace ? matcher.ExecInPlace(subject) : matcher.Exec(subject); found;
             found = matcher.ExecNext()) {
            ++matches;
            lastEnd = matcher.GroupSpan(0).second;
        }
        EXPECT_EQ(matches, 60000) << "in place: " << inPlace;
        EXPECT_EQ(lastEnd, static_cast<std::ptrdiff_t>(half.size() - 2)) << "in place: " << inPlace;
        EXPECT_EQ(matcher.Match(3), u"");
    }
}

// The search in place finds the U+0000 during its own scans: one placed at every position of two
// matches (prefix, the two characters after it, gap, run, dot, literal, line end) must cut the
// subject there exactly as a copy cut at the U+0000 would.
TEST(PatternMatcherFastPathTest, NulAtEveryPositionEndsTheSubject)
{
    const std::u16string event = u"01:00:00:00 01:00:05:00 10:00:00:00 10:00:05:00";
    const std::u16string cue = u"10:00:00:00      10:00:05:00";
    const std::u16string_view patterns[] = {testsupport::kExtractionPatternText,
                                            testsupport::kCueLinePatternText};
    for (const std::u16string_view pattern : patterns) {
        const std::u16string head = pattern == testsupport::kCueLinePatternText ? cue : event;
        std::u16string clean = head;
        clean.append(u"  X SONG.MP3\r\n").append(head).append(u"AB.WAV");
        clean.append(40, u'A').append(u".AIFF");
        PatternMatcher matcher(pattern);
        const pattern::Program program = pattern::compilePattern(pattern);
        for (std::size_t at = 0; at <= clean.size() && !HasFailure(); ++at) {
            const VectorScans scans(at % 2 == 0);
            std::u16string subject = clean;
            subject.insert(at, 1, u'\0');
            expectAgreement(pattern, matcher, program, subject);
        }
    }
}

// A random pattern of the fast path's shape with the characters the subjects draw from: a gap
// of any character or one bounded by stops, and one item before every literal.
std::u16string randomShapePattern(std::mt19937& random)
{
    static const std::vector<std::u16string> gaps = {u".*?", u"[^\r\n]*?", u"[^\n]*?", u"[^ \n]*?",
                                                     u"[^A]*?"};
    static const std::vector<std::u16string> befores = {u".",     u".", u"[^\r\n]",
                                                        u"[^\n]", u"M", u"[ .]"};
    static const std::vector<std::u16string> prefixItems = {
        u"A", u"3", u":", u" ", u"\\d", u".", u"[A-M]", u"[ -Z]", u"[AB3]", u"\u00C4"};
    static const std::vector<std::u16string> classes = {
        u"[ -_A-Z]", u"[A-Z]", u"[AB ]", u"[ -_A-Z\u00C4]", u"[A3]", u"A", u".", u"\\d", u"[ -Z]"};
    static const std::vector<std::u16string> literalChars = {u"M", u"P", u"3", u"A", u"W",
                                                             u"N", u"E", u"B", u":"};
    std::u16string pattern;
    const int prefixLength = static_cast<int>(random() % 5);
    for (int i = 0; i < prefixLength; ++i) {
        std::u16string item = pick(random, prefixItems);
        if (random() % 4 == 0) item += u"{2}";
        if (random() % 3 == 0) item = u"(" + item + u")";
        pattern += item;
    }
    if (random() % 4 == 0) pattern = u"(" + pattern + u")";
    const std::u16string gap = pick(random, gaps);
    const std::u16string& run = pick(random, classes);
    const std::u16string& before = pick(random, befores);
    std::u16string group = u"(";
    // Now and then more literal pairs than the vector scan keeps in registers (16).
    const int alternatives = 1 + static_cast<int>(random() % 5 == 0 ? random() % 18 : random() % 4);
    for (int a = 0; a < alternatives; ++a) {
        if (a > 0) group += u"|";
        group += run + u"+" + before;
        const int length = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < length; ++i) group += pick(random, literalChars);
    }
    group += u")";
    // A bounded gap takes the fast path only when the run holds none of its stops.
    if (!takesFastPath(pattern + gap + group)) return pattern + u".*?" + group;
    return pattern + gap + group;
}

std::u16string randomShapeSubject(std::mt19937& random, std::size_t maxLength)
{
    static const std::vector<std::u16string> pieces = {
        u"A",    u"B",  u"M",  u"P",   u"3",  u"W",      u"N",      u"E",      u":",      u" ",
        u"0",    u"7",  u"AA", u"MP3", u"P3", u"NEWNEW", u"A3:",    u"\u00C4", u"\u00E4", u"a",
        u"\r\n", u"\n", u"_",  u"`",   u"\r", u".",      u"\u2122", u"\u00FF", u"\uFF0D"};
    std::u16string subject;
    const std::size_t length = random() % (maxLength + 1);
    while (subject.size() < length) subject += pick(random, pieces);
    if (random() % 25 == 0) subject.insert(random() % (subject.size() + 1), 1, u'\0');
    return subject;
}

TEST(PatternMatcherFastPathTest, RandomPatternsOfTheShapeAgree)
{
    std::mt19937 random(771);
    int withMatches = 0;
    for (int p = 0; p < 400 && !HasFailure(); ++p) {
        const VectorScans scans(p % 2 == 0);
        const std::u16string pattern = randomShapePattern(random);
        ASSERT_TRUE(takesFastPath(pattern)) << toUtf8(pattern);
        PatternMatcher matcher(pattern);
        const pattern::Program program = pattern::compilePattern(pattern);
        for (int s = 0; s < 25 && !HasFailure(); ++s) {
            withMatches += expectAgreement(pattern, matcher, program,
                                           randomShapeSubject(random, s % 5 == 4 ? 200 : 40));
        }
    }
    EXPECT_GT(withMatches, 600);
}

}  // namespace
}  // namespace tarvelin
