#include "conversion/CueRows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "conversion/ConversionError.h"
#include "conversion/PatternMatcher.h"
#include "conversion/Text.h"

namespace tarvelin {
namespace {

constexpr std::u16string_view kSix = u"      ";
constexpr std::u16string_view kEight = u"        ";

// A cue line as the extraction writes it: In, six blanks, Out, eight blanks, the clip text.
std::u16string cueLine(std::u16string_view in, std::u16string_view out, std::u16string_view clip)
{
    return std::u16string(in) + std::u16string(kSix) + std::u16string(out) +
           std::u16string(kEight) + std::u16string(clip);
}

std::u16string lines(std::initializer_list<std::u16string> parts)
{
    std::u16string text;
    for (const auto& part : parts) {
        if (!text.empty()) {
            text += u"\r\n";
        }
        text += part;
    }
    return text;
}

std::string describe(const std::vector<CueRow>& rows)
{
    std::string out;
    for (const CueRow& row : rows) {
        out += "[" + toUtf8(row.in) + "|" + toUtf8(row.out) + "|" + toUtf8(row.length) + "|" +
               toUtf8(row.title) + "]\n";
    }
    return out;
}

struct RowsCase {
    const char* name;
    std::u16string text;
    const char16_t* rate;
    bool minutesAndSeconds;
    std::vector<CueRow> expected;
};

std::vector<RowsCase> rowsCases()
{
    const std::u16string in = u"10:00:00:00";
    const std::u16string out = u"10:00:16:06";
    const std::u16string blanks = u"        ";
    return {
        {"regular_line_minutes_and_seconds",
         cueLine(in, out, u" SONG.WAV"),
         u"25",
         true,
         {{in, out, u"00:16", blanks + u" SONG.WAV"}}},
        {"regular_line_full_timecode",
         cueLine(in, out, u" SONG.WAV"),
         u"25",
         false,
         {{in, out, u"00:00:16:06", blanks + u" SONG.WAV"}}},
        {"clip_text_without_leading_blank_keeps_eight_blanks",
         cueLine(in, out, u"A.MP3"),
         u"24",
         true,
         {{in, out, u"00:16", blanks + u"A.MP3"}}},
        {"umlauts_and_other_capitals_stay_in_the_title",
         lines({cueLine(in, out, u" MÜLLER - LIED.MP3"), cueLine(in, out, u" GROßE FREIHEIT.WAV"),
                cueLine(in, out, u" SEÑORITA ØRESUND ŒUVRE ŠŽŸ.AIFF")}),
         u"25",
         true,
         {{in, out, u"00:16", blanks + u" MÜLLER - LIED.MP3"},
          {in, out, u"00:16", blanks + u" GROßE FREIHEIT.WAV"},
          {in, out, u"00:16", blanks + u" SEÑORITA ØRESUND ŒUVRE ŠŽŸ.AIFF"}}},
        {"lower_case_letters_still_cut_the_title",
         cueLine(in, out, u" Müller SONG.WAV"),
         u"25",
         true,
         {{in, out, u"00:16", u" SONG.WAV"}}},
        {"lower_case_mp3_gives_no_row_and_keeps_the_next_line",
         lines({cueLine(in, u"10:00:05:00", u" song.mp3"),
                cueLine(u"10:01:00:00", u"10:01:10:00", u" B.WAV")}),
         u"25",
         true,
         {{u"10:01:00:00", u"10:01:10:00", u"00:10", blanks + u" B.WAV"}}},
        {"umlaut_before_the_dot_is_part_of_the_title",
         lines({cueLine(in, u"10:00:05:00", u" XÜ.MP3"), cueLine(in, out, u" NEXT.NEW")}),
         u"25",
         true,
         {{in, u"10:00:05:00", u"00:05", blanks + u" XÜ.MP3"},
          {in, out, u"00:16", blanks + u" NEXT.NEW"}}},
        {"lower_case_letter_before_the_dot_gives_no_row",
         lines({cueLine(in, u"10:00:05:00", u" Xé.MP3"), u"NEXT.NEW"}),
         u"25",
         true,
         {}},
        {"line_break_is_never_the_character_before_the_extension",
         lines({cueLine(in, out, u" SONG"), u"MP3"}) + u"\n" + u"WAV",
         u"25",
         true,
         {}},
        {"lone_cr_and_lone_lf_end_a_line_too",
         cueLine(in, out, u" a.mp3") + u"\r" + cueLine(in, out, u" A.MP3") + u"\n" +
             cueLine(in, out, u" b.wav") + u"\n" + u"LOST.WAV",
         u"25",
         true,
         {{in, out, u"00:16", blanks + u" A.MP3"}}},
        {"no_later_title_gives_no_row", cueLine(in, out, u" song.mp3"), u"25", true, {}},
        {"earlier_extension_inside_a_name_ends_the_title",
         cueLine(in, out, u" MP3 COLLECTION 01.WAV"),
         u"25",
         true,
         {{in, out, u"00:16", blanks + u" MP3"}}},
        {"last_occurrence_of_the_same_extension_counts",
         cueLine(in, out, u" A.MP3 B.MP3"),
         u"25",
         true,
         {{in, out, u"00:16", blanks + u" A.MP3 B.MP3"}}},
        {"aiff_keeps_its_whole_extension",
         cueLine(in, out, u" X.AIFF"),
         u"25",
         true,
         {{in, out, u"00:16", blanks + u" X.AIFF"}}},
        {"aif_is_a_title_of_its_own",
         cueLine(in, out, u" X.AIF"),
         u"25",
         true,
         {{in, out, u"00:16", blanks + u" X.AIF"}}},
        {"m4a_and_new",
         lines({cueLine(in, out, u" A.M4A"), cueLine(in, out, u" B.NEW")}),
         u"25",
         true,
         {{in, out, u"00:16", blanks + u" A.M4A"}, {in, out, u"00:16", blanks + u" B.NEW"}}},
        {"five_blanks_between_timecodes_give_no_row",
         in + u"     " + out + std::u16string(kEight) + u" SONG.WAV",
         u"25",
         true,
         {}},
        {"text_before_the_in_timecode_is_ignored",
         u"Notiz: " + cueLine(in, out, u" SONG.WAV"),
         u"25",
         true,
         {{in, out, u"00:16", blanks + u" SONG.WAV"}}},
        {"rows_keep_the_order_of_the_lines",
         lines({cueLine(u"01:00:00:00", u"01:00:01:00", u" A.WAV"), u"",
                cueLine(u"02:00:00:00", u"02:00:02:00", u" B.WAV")}),
         u"25",
         false,
         {{u"01:00:00:00", u"01:00:01:00", u"00:00:01:00", blanks + u" A.WAV"},
          {u"02:00:00:00", u"02:00:02:00", u"00:00:02:00", blanks + u" B.WAV"}}},
        {"out_before_in_is_negative",
         cueLine(u"10:00:10:00", u"10:00:00:00", u" A.WAV"),
         u"25",
         false,
         {{u"10:00:10:00", u"10:00:00:00", u"00:00:-10:00", blanks + u" A.WAV"}}},
        {"out_before_in_minutes_and_seconds",
         cueLine(u"10:00:10:00", u"10:00:00:00", u" A.WAV"),
         u"25",
         true,
         {{u"10:00:10:00", u"10:00:00:00", u"00:-10", blanks + u" A.WAV"}}},
        {"under_a_second_backwards_reads_one_second",
         cueLine(u"10:00:00:10", u"10:00:00:00", u" A.WAV"),
         u"25",
         true,
         {{u"10:00:00:10", u"10:00:00:00", u"00:01", blanks + u" A.WAV"}}},
        {"fractional_rate_counts_real_and_formats_whole",
         cueLine(u"00:00:00:00", u"00:10:00:00", u" A.WAV"),
         u"29,97",
         false,
         {{u"00:00:00:00", u"00:10:00:00", u"00:10:20:02", blanks + u" A.WAV"}}},
        {"twelve_and_a_half_frames_round_half_to_even",
         cueLine(u"00:00:00:00", u"00:00:03:00", u"A.WAV"),
         u"12,5",
         false,
         {{u"00:00:00:00", u"00:00:03:00", u"00:00:03:02", blanks + u"A.WAV"}}},
        {"an_hour_and_more_counts_minutes",
         cueLine(u"00:00:00:00", u"01:02:03:00", u"A.WAV"),
         u"25",
         true,
         {{u"00:00:00:00", u"01:02:03:00", u"62:03", blanks + u"A.WAV"}}},
        {"blanks_around_the_rate",
         cueLine(in, out, u"A.WAV"),
         u" 25 ",
         true,
         {{in, out, u"00:16", blanks + u"A.WAV"}}},
        {"empty_text", u"", u"25", true, {}},
        {"nothing_recognisable_is_no_failure", u"Hallo\r\n12:34", u"abc", true, {}},
    };
}

TEST(CueRowsTest, RowsFollowTheCueLinePattern)
{
    for (const RowsCase& c : rowsCases()) {
        SCOPED_TRACE(c.name);
        VectorCueRowList rows;
        ComputeCueRows(c.text, c.rate, c.minutesAndSeconds, u',', rows);
        EXPECT_EQ(describe(rows.rows), describe(c.expected));
    }
}

// The cue-line pattern as it stood before the mends: its title class lacks Ä, Ö, Ü and the
// other capitals, and its gap and the character before the extension may be line breaks. Kept
// here so that the difference the mends make stays documented beside the mended results.
constexpr std::u16string_view kOriginalCueLinePattern =
    u"(\\d{2}:\\d{2}:\\d{2}:\\d{2})      (\\d{2}:\\d{2}:\\d{2}:\\d{2}).*?"
    u"([ -_A-Z]+.MP3|[ -_A-Z]+.WAV|[ -_A-Z]+.M4A|[ -_A-Z]+.AIFF|[ -_A-Z]+.AIF|[ -_A-Z]+.NEW)";
static_assert(kOriginalCueLinePattern.size() == 145);

// In, Out and title of every match, as "in|out|title".
std::vector<std::string> originalRows(std::u16string_view text)
{
    PatternMatcher matcher(kOriginalCueLinePattern);
    std::vector<std::string> rows;
    for (bool found = matcher.Exec(text); found; found = matcher.ExecNext())
        rows.push_back(
            toUtf8(matcher.Match(1) + u"|" + matcher.Match(2) + u"|" + matcher.Match(3)));
    return rows;
}

std::vector<std::string> mendedRows(std::u16string_view text)
{
    VectorCueRowList rows;
    ComputeCueRows(text, u"25", true, u',', rows);
    std::vector<std::string> result;
    for (const CueRow& row : rows.rows)
        result.push_back(toUtf8(row.in + u"|" + row.out + u"|" + row.title));
    return result;
}

TEST(CueRowsTest, MendedPatternBesideTheOriginalOne)
{
    const std::u16string a = u"10:00:00:00      10:00:05:00        ";
    const std::u16string b = u"10:01:00:00      10:01:09:00        ";
    struct Case {
        const char* name;
        std::u16string text;
        std::vector<std::string> original;
        std::vector<std::string> mended;
    };
    const Case cases[] = {
        {"umlaut_in_the_name",
         a + u" MÜLLER - LIED.MP3",
         {"10:00:00:00|10:00:05:00|LLER - LIED.MP3"},
         {"10:00:00:00|10:00:05:00|         MÜLLER - LIED.MP3"}},
        {"sharp_s_and_accent",
         a + u" GROßE FREIHEIT.MP3\r\n" + b + u" CAFÉ DEL MAR.WAV",
         {"10:00:00:00|10:00:05:00|E FREIHEIT.MP3", "10:01:00:00|10:01:09:00| DEL MAR.WAV"},
         {"10:00:00:00|10:00:05:00|         GROßE FREIHEIT.MP3",
          "10:01:00:00|10:01:09:00|         CAFÉ DEL MAR.WAV"}},
        {"umlaut_before_the_dot",
         a + u" XÜ.MP3\r\n" + b + u" NEXT.WAV",
         {"10:00:00:00|10:00:05:00|10:01:00:00      10:01:09:00         NEXT.WAV"},
         {"10:00:00:00|10:00:05:00|         XÜ.MP3", "10:01:00:00|10:01:09:00|         NEXT.WAV"}},
        {"lower_case_extension",
         a + u" song.mp3\r\n" + b + u" NEXT.WAV",
         {"10:00:00:00|10:00:05:00|10:01:00:00      10:01:09:00         NEXT.WAV"},
         {"10:01:00:00|10:01:09:00|         NEXT.WAV"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(originalRows(c.text), c.original);
        EXPECT_EQ(mendedRows(c.text), c.mended);
    }
}

TEST(CueRowsTest, AppendsToRowsAlreadyThere)
{
    VectorCueRowList rows;
    rows.rows.push_back({u"a", u"b", u"c", u"d"});
    ComputeCueRows(cueLine(u"10:00:00:00", u"10:00:16:06", u"A.WAV"), u"25", true, u',', rows);
    ASSERT_EQ(rows.rows.size(), 2u);
    EXPECT_EQ(toUtf8(rows.rows[1].length), "00:16");
}

struct FailureCase {
    const char* name;
    std::u16string text;
    const char16_t* rate;
    std::vector<CueRow> expected;
    const char16_t* message;
};

TEST(CueRowsTest, FirstFailureEndsTheRunAndKeepsTheRowsSoFar)
{
    const std::u16string two = lines({cueLine(u"00:00:00:00", u"00:00:01:00", u"A.WAV"),
                                      cueLine(u"00:00:00:00", u"00:00:02:00", u"B.WAV")});
    const CueRow firstFailing = {u"00:00:00:00", u"00:00:01:00", u"", u""};
    const FailureCase cases[] = {
        {"rate_not_a_number",
         two,
         u"abc",
         {firstFailing},
         u"'abc' ist kein gültiger Gleitkommawert"},
        {"rate_with_the_wrong_decimal_mark",
         two,
         u"29.97",
         {firstFailing},
         u"'29.97' ist kein gültiger Gleitkommawert"},
        {"rate_zero_fails_on_the_empty_counts",
         two,
         u"0",
         {firstFailing},
         u"'' ist kein gültiger Gleitkommawert"},
        {"rate_below_one", two, u"0,5", {firstFailing}, u"Division durch Null"},
        {"count_beyond_sixty_four_bits",
         two,
         u"1E300",
         {firstFailing},
         u"'1E300' ist kein gültiger Integerwert"},
        {"count_in_exponent_notation",
         two,
         u"1E15",
         {firstFailing},
         u"'1E15' ist kein gültiger Integerwert"},
        {"duration_beyond_thirty_two_bits",
         lines({cueLine(u"00:00:00:00", u"00:00:01:00", u"A.WAV"),
                cueLine(u"00:00:00:00", u"99:00:00:00", u"B.WAV"),
                cueLine(u"00:00:00:00", u"00:00:01:00", u"C.WAV")}),
         u"10000",
         {{u"00:00:00:00", u"00:00:01:00", u"00:01", u"        A.WAV"},
          {u"00:00:00:00", u"99:00:00:00", u"", u""}},
         u"'3564000000' ist kein gültiger Integerwert"},
        {"negative_duration_beyond_thirty_two_bits",
         cueLine(u"99:00:00:00", u"00:00:00:00", u"A.WAV"),
         u"10000",
         {{u"99:00:00:00", u"00:00:00:00", u"", u""}},
         u"'-3564000000' ist kein gültiger Integerwert"},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        VectorCueRowList rows;
        std::u16string message;
        try {
            ComputeCueRows(c.text, c.rate, true, u',', rows);
        } catch (const ConversionError& e) {
            message = e.message();
        }
        EXPECT_EQ(toUtf8(message), toUtf8(c.message));
        EXPECT_EQ(describe(rows.rows), describe(c.expected));
    }
}

TEST(CueRowsTest, DecimalSeparatorIsTheCallersChoice)
{
    const std::u16string text = cueLine(u"00:00:00:00", u"00:10:00:00", u"A.WAV");
    VectorCueRowList rows;
    ComputeCueRows(text, u"29.97", true, u'.', rows);
    ASSERT_EQ(rows.rows.size(), 1u);
    EXPECT_EQ(toUtf8(rows.rows[0].length), "10:20");
    EXPECT_THROW(ComputeCueRows(text, u"29,97", true, u'.', rows), ConversionError);
}

}  // namespace
}  // namespace tarvelin
