#include "conversion/PatternMatcher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "conversion/CueLineExtraction.h"
#include "conversion/CueRows.h"
#include "conversion/PatternProgram.h"
#include "conversion/PatternSyntax.h"
#include "conversion/Text.h"

namespace tarvelin {
namespace {

const std::u16string kExtraction(kExtractionPattern);
const std::u16string kCueLine(kCueLinePattern);

// All matches of a pattern in a subject, each as its group texts ("-" for an unset group).
std::vector<std::vector<std::string>> allMatches(std::u16string_view pattern,
                                                 std::u16string_view subject)
{
    PatternMatcher matcher(pattern);
    std::vector<std::vector<std::string>> result;
    for (bool found = matcher.Exec(subject); found; found = matcher.ExecNext()) {
        std::vector<std::string> groups;
        for (int n = 0; n <= matcher.GroupCount(); ++n)
            groups.push_back(matcher.GroupSpan(n).first < 0 ? "-" : toUtf8(matcher.Match(n)));
        result.push_back(groups);
    }
    return result;
}

// The parsed trees show what the classes of the two patterns hold, range by range.
TEST(PatternMatcherTest, FixedPatternsReadAsIntended)
{
    const std::string name =
        "[\\u0020-_\\u00C0-\\u00D6\\u00D8-\\u00DF\\u0152\\u0160\\u0178\\u017D]+";
    const std::string notBreak = "[\\u0000-\\u0009\\u000B-\\u000C\\u000E-\\uFFFF]";
    const std::string tc = "[0-9]{2}:[0-9]{2}:[0-9]{2}:[0-9]{2}";
    const std::string blank = "\\u0020";
    std::string extraction = "(1 " + tc + ")" + blank + "(2 " + tc + ")" + blank + "(3 " + tc +
                             ")" + blank + "(4 " + tc + ").*?(5 ";
    std::string cueLine = "(1 " + tc + ")";
    for (int i = 0; i < 6; ++i) cueLine += blank;
    cueLine += "(2 " + tc + ")" + notBreak + "*?(3 ";
    const char* extensions[] = {"MP3", "WAV", "M4A", "AIFF", "AIF", "NEW"};
    for (const char* extension : extensions) {
        const bool first = extension == extensions[0];
        extraction += (first ? "" : "|") + name + "." + extension;
        cueLine += (first ? "" : "|") + name + notBreak + extension;
    }
    EXPECT_EQ(pattern::parsePattern(kExtraction).dump(), extraction + ")");
    EXPECT_EQ(pattern::parsePattern(kCueLine).dump(), cueLine + ")");
}

TEST(PatternMatcherTest, FixedPatternsCompileWithTheirGroupCounts)
{
    EXPECT_EQ(kExtraction.size(), 252u);
    EXPECT_EQ(kCueLine.size(), 233u);
    EXPECT_EQ(PatternMatcher(kExtraction).GroupCount(), 5);
    EXPECT_EQ(PatternMatcher(kCueLine).GroupCount(), 3);
}

struct ClassCase {
    const char* name;
    char16_t character;
    bool inWithUmlauts;     // "[ -_A-ZÄÖÜ]"
    bool inWithoutUmlauts;  // "[ -_A-Z]"
};

TEST(PatternMatcherTest, ClassMembership)
{
    const ClassCase cases[] = {
        {"blank", u' ', true, true},
        {"period", u'.', true, true},
        {"hyphen", u'-', true, true},
        {"low_line", u'_', true, true},
        {"open_paren", u'(', true, true},
        {"close_paren", u')', true, true},
        {"ampersand", u'&', true, true},
        {"comma", u',', true, true},
        {"asterisk", u'*', true, true},
        {"colon", u':', true, true},
        {"digit_0", u'0', true, true},
        {"digit_9", u'9', true, true},
        {"A", u'A', true, true},
        {"Z", u'Z', true, true},
        {"backslash", u'\\', true, true},
        {"A_umlaut", u'\u00C4', true, false},
        {"O_umlaut", u'\u00D6', true, false},
        {"U_umlaut", u'\u00DC', true, false},
        {"a", u'a', false, false},
        {"z", u'z', false, false},
        {"a_umlaut", u'\u00E4', false, false},
        {"o_umlaut", u'\u00F6', false, false},
        {"u_umlaut", u'\u00FC', false, false},
        {"sharp_s", u'\u00DF', false, false},
        {"E_acute", u'\u00C9', false, false},
        {"tab", u'\t', false, false},
        {"cr", u'\r', false, false},
        {"lf", u'\n', false, false},
        {"grave", u'`', false, false},
        {"open_brace", u'{', false, false},
        {"close_brace", u'}', false, false},
        {"tilde", u'~', false, false},
        {"nul_after_class", u'\u001F', false, false},
    };
    PatternMatcher withUmlauts(u"[ -_A-Z\u00C4\u00D6\u00DC]");
    PatternMatcher withoutUmlauts(u"[ -_A-Z]");
    for (const ClassCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::u16string subject(1, c.character);
        EXPECT_EQ(withUmlauts.Exec(subject), c.inWithUmlauts);
        EXPECT_EQ(withoutUmlauts.Exec(subject), c.inWithoutUmlauts);
    }
}

TEST(PatternMatcherTest, DigitAcceptsAsciiDigitsOnly)
{
    PatternMatcher digit(u"\\d");
    for (char16_t c = u'0'; c <= u'9'; ++c) EXPECT_TRUE(digit.Exec(std::u16string(1, c)));
    const char16_t others[] = {u'\u00B2', u'\u00B3', u'\u00B9', u'\u2070', u'\u2079',
                               u'\uFF10', u'\uFF19', u'\u0660', u'/',      u':'};
    for (const char16_t c : others) {
        SCOPED_TRACE(static_cast<int>(c));
        EXPECT_FALSE(digit.Exec(std::u16string(1, c)));
    }
}

struct SearchCase {
    const char* name;
    std::u16string pattern;
    std::u16string subject;
    std::vector<std::vector<std::string>> matches;
};

TEST(PatternMatcherTest, SearchOrderAndGroups)
{
    const SearchCase cases[] = {
        {"dot_crosses_cr_lf", u"A.*?B", u"xA\r\n\r\nB", {{"A\r\n\r\nB"}}},
        {"dot_fails_at_end", u"A.", u"A", {}},
        {"lazy_gap_stops_early", u"A.*?(B+)", u"AxBBxBB", {{"AxBB", "BB"}}},
        {"greedy_gives_back_one_at_a_time",
         u"([A-Z]+)(.B)",
         u"XYZABZB",
         {{"XYZABZB", "XYZAB", "ZB"}}},
        {"mp3_beats_wav",
         u"([ .A-Z0-9]+.MP3|[ .A-Z0-9]+.WAV)",
         u" ONE.WAV TWO.MP3\r\n",
         {{" ONE.WAV TWO.MP3", " ONE.WAV TWO.MP3"}}},
        {"earliest_start_beats_alternative_order",
         u"x.*?([A-Z]+.MP3|[A-Z]+.WAV)",
         u"x A.WAV B.MP3",
         {{"x A.WAV", "A.WAV"}}},
        {"lower_case_extension_not_accepted", u"([ A-Z]+.MP3)", u" TITLE.mp3", {}},
        {"empty_subject", u"A", u"", {}},
        {"empty_match_at_end_of_empty_subject", u"A*?", u"", {{""}}},
        {"empty_matches_advance_by_one", u"A*?", u"xy", {{""}, {""}, {""}}},
        {"exactly_count", u"(\\d{2}):", u"1:12:123:", {{"12:", "12"}, {"23:", "23"}}},
        {"alternative_unset_group",
         u"((A)|(B))",
         u"AB",
         {{"A", "A", "A", "-"}, {"B", "B", "-", "B"}}},
        {"failed_branch_groups_undone", u"(A)B|AC", u"AC", {{"AC", "-"}}},
        {"matches_do_not_overlap", u"AA", u"AAAAA", {{"AA"}, {"AA"}}},
        {"nul_cuts_subject", u"B", std::u16string(u"A\0B", 3), {}},
        {"empty_alternative", u"(|A)B", u"AB", {{"AB", "A"}}},
        {"top_level_alternatives", u"AB|A", u"AAB", {{"A"}, {"AB"}}},
    };
    for (const SearchCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(allMatches(c.pattern, c.subject), c.matches);
    }
}

TEST(PatternMatcherTest, ExecNextAfterMatchAtEndOfSubject)
{
    PatternMatcher matcher(u"B+");
    ASSERT_TRUE(matcher.Exec(u"ABB"));
    EXPECT_EQ(matcher.GroupSpan(0), std::make_pair(std::ptrdiff_t{1}, std::ptrdiff_t{3}));
    EXPECT_FALSE(matcher.ExecNext());
    EXPECT_EQ(matcher.Match(0), u"");
    EXPECT_FALSE(matcher.ExecNext());
}

TEST(PatternMatcherTest, GroupAccessOutsideRange)
{
    PatternMatcher matcher(u"(A)");
    ASSERT_TRUE(matcher.Exec(u"A"));
    for (const int n : {-1, 2, 14, 15}) {
        EXPECT_EQ(matcher.Match(n), u"");
        EXPECT_EQ(matcher.GroupSpan(n), std::make_pair(std::ptrdiff_t{-1}, std::ptrdiff_t{-1}));
    }
}

TEST(PatternMatcherTest, ExecCopiesItsSubject)
{
    PatternMatcher matcher(u"(B+)");
    std::u16string text = u"ABBA";
    ASSERT_TRUE(matcher.Exec(text));
    text.assign(u"xxxxxxxx");
    EXPECT_EQ(matcher.Match(1), u"BB");
}

TEST(PatternMatcherTest, ExtractionPatternOnEventsAndClipNames)
{
    const std::u16string edl =
        u"000001  A001 V     C        01:00:00:00 01:00:05:00 10:00:00:00 10:00:05:00\r\n"
        u" VIDEO CLIP\r\n"
        u"000002  A002 A     C        00:00:10:00 00:00:20:00 10:00:05:00 10:00:15:00\r\n"
        u" SONG \u00C4RGER.WAV\r\n"
        u"000003  A003 A     C        00:00:01:00 00:00:02:00 10:00:15:00 10:00:16:00\r\n"
        u" X MP3 COLLECTION.WAV\r\n"
        u"000004  A004 A     C        00:00:01:00 00:00:02:00 10:00:16:00 10:00:17:00\r\n"
        u" title.mp3\r\n";
    const std::vector<std::vector<std::string>> expected = {
        {"01:00:00:00 01:00:05:00 10:00:00:00 10:00:05:00\r\n VIDEO CLIP\r\n000002  A002 A     C"
         "        00:00:10:00 00:00:20:00 10:00:05:00 10:00:15:00\r\n SONG \xC3\x84RGER.WAV",
         "01:00:00:00", "01:00:05:00", "10:00:00:00", "10:00:05:00", " SONG \xC3\x84RGER.WAV"},
        {"00:00:01:00 00:00:02:00 10:00:15:00 10:00:16:00\r\n X MP3", "00:00:01:00", "00:00:02:00",
         "10:00:15:00", "10:00:16:00", " X MP3"},
    };
    EXPECT_EQ(allMatches(kExtraction, edl), expected);
}

TEST(PatternMatcherTest, CueLinePatternKeepsAifAlternative)
{
    const std::u16string lines =
        u"10:00:00:00      10:00:05:00         SONG.AIF\r\n"
        u"10:00:05:00      10:00:06:00         \u00C4RGER.MP3\r\n";
    const std::vector<std::vector<std::string>> expected = {
        {"10:00:00:00      10:00:05:00         SONG.AIF", "10:00:00:00", "10:00:05:00",
         "         SONG.AIF"},
        {"10:00:05:00      10:00:06:00         \xC3\x84RGER.MP3", "10:00:05:00", "10:00:06:00",
         "         \xC3\x84RGER.MP3"},
    };
    EXPECT_EQ(allMatches(kCueLine, lines), expected);
}

struct DumpCase {
    std::u16string pattern;
    std::string dump;
};

TEST(PatternSyntaxTest, DumpShowsTheTree)
{
    const DumpCase cases[] = {
        {u"(\\d{2}:)", "(1 [0-9]{2}:)"},
        {u"[ -_A-Z\u00C4\u00D6\u00DC]+.MP3", "[\\u0020-_\\u00C4\\u00D6\\u00DC]+.MP3"},
        {u"a*?(b|(c)|)", "a*?(1 b|(2 c)|)"},
        {u"[^\r\n]*?", "[\\u0000-\\u0009\\u000B-\\u000C\\u000E-\\uFFFF]*?"},
        {u"[^ -\uFFFF]", "[\\u0000-\\u001F]"},
        {u"[-a-c-]", "[\\u002Da-c]"},
        {u"[a-]x{0}", "[\\u002Da]x{0}"},
    };
    for (const DumpCase& c : cases) {
        SCOPED_TRACE(c.dump);
        EXPECT_EQ(pattern::parsePattern(c.pattern).dump(), c.dump);
    }
}

struct RejectCase {
    const char* name;
    std::u16string pattern;
    std::size_t position;
};

TEST(PatternSyntaxTest, RejectsWhatTheDialectLacks)
{
    const RejectCase cases[] = {
        {"star_alone", u"a*", 1},
        {"question_alone", u"a?", 1},
        {"lazy_plus", u"a+?", 2},
        {"possessive_plus", u"a++", 2},
        {"range_count", u"a{1,2}", 1},
        {"open_count", u"a{", 1},
        {"empty_count", u"a{}", 1},
        {"count_too_large", u"a{1001}", 1},
        {"stray_close_brace", u"a}", 1},
        {"stray_close_bracket", u"a]", 1},
        {"caret", u"^a", 0},
        {"dollar", u"a$", 1},
        {"other_escape", u"\\w", 0},
        {"escaped_dot", u"\\.", 0},
        {"lone_backslash", u"a\\", 1},
        {"empty_class", u"[]", 0},
        {"negated_class_without_members", u"[^]", 0},
        {"unterminated_negated_class", u"[^", 0},
        {"negated_class_of_everything", std::u16string(u"[^\0-\uFFFF]", 6), 0},
        {"unterminated_class", u"[a-", 0},
        {"escape_in_class", u"[\\d]", 1},
        {"reversed_range", u"[z-a]", 1},
        {"hyphen_after_range", u"[a-c-e]", 4},
        {"unbalanced_open", u"(a", 0},
        {"unbalanced_close", u"a)", 1},
        {"quantifier_first", u"+a", 0},
        {"quantifier_after_open", u"(*?a)", 1},
        {"quantifier_after_bar", u"a|{2}", 2},
        {"group_repeated", u"(a)+", 3},
        {"group_counted", u"(a){2}", 3},
        {"fifteen_groups", u"()()()()()()()()()()()()()()()", 28},
    };
    for (const RejectCase& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            PatternMatcher matcher(c.pattern);
            ADD_FAILURE() << "accepted";
        } catch (const PatternError& error) {
            EXPECT_EQ(error.position(), c.position) << error.what();
        }
    }
    EXPECT_NO_THROW(PatternMatcher(u"()()()()()()()()()()()()()()"));
}

}  // namespace
}  // namespace tarvelin
