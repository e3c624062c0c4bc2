// The eight removals, one table per rule, and the line joining and splitting around them.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "conversion/EdlLoader.h"
#include "conversion/EdlNormalizer.h"
#include "conversion/Text.h"
#include "tests/support/TestSeed.h"

namespace tarvelin {
namespace {

struct Row {
    const char* tag;
    std::u16string before;
    std::u16string after;
};

void expectRows(const std::vector<Row>& rows)
{
    for (const Row& row : rows) {
        SCOPED_TRACE(row.tag);
        std::u16string text = row.before;
        NormalizeEdlText(text);
        EXPECT_EQ(toUtf8(text), toUtf8(row.after));
    }
}

TEST(EdlNormalizerTest, CommentPrefixWithoutBlankAfterAsterisk)
{
    expectRows({
        {"two_blanks_keep_one", u"*FROM CLIP NAME:  TITLE.MP3\r\n", u" TITLE.MP3\r\n"},
        {"lower_case", u"*from clip name:  x.mp3\r\n", u" x.mp3\r\n"},
        {"mixed_case", u"*From Clip Name: A\r\n", u"A\r\n"},
        {"dotless_i_and_long_s_count_as_letters", u"*FROM CL\u0131P NAME: A", u"A"},
        {"without_blank_after_colon_nothing_is_cut", u"*FROM CLIP NAME:A", u"*FROM CLIP NAME:A"},
        {"every_occurrence", u"*FROM CLIP NAME: A *FROM CLIP NAME: B", u"A B"},
    });
}

TEST(EdlNormalizerTest, CommentPrefixWithOneOrTwoBlanksAfterAsterisk)
{
    expectRows({
        {"one_blank", u"* FROM CLIP NAME:  BFD_CHILI.MP3\r\n", u" BFD_CHILI.MP3\r\n"},
        {"one_blank_lower_case", u"* from clip name: a\r\n", u"a\r\n"},
        {"two_blanks", u"*  FROM CLIP NAME:  B.WAV\r\n", u" B.WAV\r\n"},
        {"two_blanks_mixed_case", u"*  from Clip NAME: B", u"B"},
        // Steps 1 to 3 do not apply; step 5 cuts the words and leaves asterisk and blanks.
        {"three_blanks_keep_asterisk_and_blanks", u"X\r\n*   FROM CLIP NAME:  T.MP3\r\n",
         u"X\r\n*    T.MP3\r\n"},
        // ... unless step 4 joins the line to the one before, which ends with a blank.
        {"three_blanks_joined_to_previous_line", u"X \r\n*   FROM CLIP NAME:  T.MP3\r\n",
         u"X    T.MP3\r\n"},
    });
}

TEST(EdlNormalizerTest, BlankLineBreakAsteriskJoinsLines)
{
    expectRows({
        {"joins_and_drops_blank_break_asterisk", u"A \r\n*B\r\n", u"AB\r\n"},
        {"only_exact_sequence", u"A\r\n*B\r\n", u"A\r\n*B\r\n"},
        {"lone_lf_is_not_joined", u"A \n*B", u"A \n*B"},
        {"two_blanks_keep_one", u"A  \r\n*B", u"A B"},
        {"comment_then_to_clip_name", u"* FROM CLIP NAME:  T.MP3 \r\n* TO CLIP NAME:  T.MP3\r\n",
         u" T.MP3 TO CLIP NAME:  T.MP3\r\n"},
        // The cut brings " \r\n" and "*" together, but this pass has moved past them.
        {"no_rescan_after_cut", u"A \r\n \r\n**B", u"A \r\n*B"},
        {"chain_of_joined_lines", u"A \r\n*B \r\n*C", u"ABC"},
    });
}

TEST(EdlNormalizerTest, FromClipNameWithoutAsterisk)
{
    expectRows({
        {"words_alone", u"X FROM CLIP NAME: Y", u"X Y"},
        {"case_ignored", u"from clip name: y", u"y"},
        {"no_colon_no_cut", u"FROM CLIP NAME Y", u"FROM CLIP NAME Y"},
    });
}

TEST(EdlNormalizerTest, AudIsRemovedEverywhere)
{
    expectRows({
        {"channel_line", u"AUD  3    4\r\n", u"  3    4\r\n"},
        {"inside_clip_name", u" CLAUDIA.MP3\r\n", u" CLIA.MP3\r\n"},
        {"audio_prefix", u" AUDIO_01.WAV", u" IO_01.WAV"},
        {"lower_case", u"aud Aud aUd", u"  "},
        {"cut_joins_a_and_ud_without_rescan", u"AAUDUD", u"AUD"},
        {"overlapping_start", u"AUAUD", u"AU"},
        {"umlaut_is_no_letter_a", u"\u00C4UD \u00E4ud", u"\u00C4UD \u00E4ud"},
    });
}

TEST(EdlNormalizerTest, ChannelMarkersThreeFourAndOneTwo)
{
    expectRows({
        {"three_four", u"X 3     4 Y", u"XY"},
        {"one_two", u"X 1     2 Y", u"XY"},
        {"four_blanks_stay", u"X 3    4 Y", u"X 3    4 Y"},
        // "AUD  3    4" after the event line: AUD goes, the four-blank gap is no marker.
        {"avid_aud_line_keeps_digits", u"AUD  3    4    \r\n", u"  3    4    \r\n"},
        // With AUD gone, " 3     4 " can appear only when five blanks were already there.
        {"aud_cut_then_marker", u"AUD 3     4 X", u"X"},
        {"three_four_then_one_two", u" 3     4  1     2 ", u""},
    });
}

TEST(EdlNormalizerTest, StepsRunInOrder)
{
    // Step 6 runs before step 7: "AUD" inside a marker is gone before the marker is looked for.
    expectRows({
        {"step_order_aud_then_marker", u"X 3  AUD   4 Y", u"XY"},
        {"marker_from_step_six_cut", u" 1   AUD  2 ", u""},
        // Step 5 runs before step 6: words that an AUD cut completes stay.
        {"words_completed_by_aud_cut_stay", u"FROM CLIP NAMAUDE: X", u"FROM CLIP NAME: X"},
        // Step 1 runs before step 4: the prefix is gone before lines are joined.
        {"prefix_removed_before_join", u"A \r\n*FROM CLIP NAME:  T.WAV", u"A \r\n T.WAV"},
    });
}

TEST(EdlNormalizerTest, NormalisingTwiceCanRemoveMore)
{
    std::u16string text = u"AAUDUD";
    NormalizeEdlText(text);
    EXPECT_EQ(text, u"AUD");
    NormalizeEdlText(text);
    EXPECT_EQ(text, u"");
}

TEST(EdlNormalizerTest, JoinLinesCrLf)
{
    EXPECT_EQ(JoinLinesCrLf({}), u"");
    EXPECT_EQ(JoinLinesCrLf({u""}), u"\r\n");
    EXPECT_EQ(JoinLinesCrLf({u"A", u"", u"B"}), u"A\r\n\r\nB\r\n");
}

// The line rule every text is taken in by (ForEachLine).
TEST(EdlNormalizerTest, SplitLines)
{
    struct SplitRow {
        const char* tag;
        std::u16string text;
        std::vector<std::u16string> lines;
    };
    const std::vector<SplitRow> rows = {
        {"empty", u"", {}},
        {"crlf", u"A\r\nB\r\n", {u"A", u"B"}},
        {"no_final_break", u"A\r\nB", {u"A", u"B"}},
        {"lone_cr_and_lf", u"A\rB\nC", {u"A", u"B", u"C"}},
        {"lf_cr_is_one_break", u"A\n\rB", {u"A", u"B"}},
        {"lf_lf_cr_is_two_breaks", u"A\n\n\rB", {u"A", u"", u"B"}},
        {"empty_lines_kept", u"\r\n\r\nA", {u"", u"", u"A"}},
        {"only_final_break_dropped", u"A\r\n\r\n", {u"A", u""}},
        {"crlf_then_lone_cr_at_end", u"A\r\nB\r", {u"A", u"B"}},
        {"crlf_then_lone_lf", u"A\r\n\nB\r\n", {u"A", u"", u"B"}},
        {"lone_lf_first", u"\nA\r\n", {u"", u"A"}},
    };
    for (const SplitRow& row : rows) {
        SCOPED_TRACE(row.tag);
        EXPECT_EQ(SplitLines(row.text), row.lines);
    }
}

// Normalising a text in the buffer's form (every line followed by CR LF) keeps that form, so
// the normalised text is the buffer's lines and the extraction's subject at once. The removals
// that touch line breaks are the ones to try: step 4 and cuts right before or after a break.
TEST(EdlNormalizerTest, NormalisedTextKeepsTheBufferForm)
{
    const std::vector<std::u16string> texts = {
        u"A \r\n*B\r\n",
        u" \r\n* \r\n*\r\n",
        u"AUD\r\n\r\nAUD \r\n*FROM CLIP NAME:  X.WAV\r\n",
        u"X \r\n*  FROM CLIP NAME:  Y.MP3 \r\n* 1     2 \r\n",
        u"\r\n \r\n*AUD\r\n",
    };
    for (std::u16string text : texts) {
        SCOPED_TRACE(toUtf8(text));
        NormalizeEdlText(text);
        EXPECT_TRUE(hasOnlyCrLfBreaks(text));
        EXPECT_TRUE(text.ends_with(u"\r\n"));
        EXPECT_EQ(JoinLinesCrLf(SplitLines(text)), text);
    }
}

// The removals as plainly as they can be written: each step builds a new text, comparing the
// per-character upper case (a-z, dotless i, long s) of the text with the removed text.
std::u16string plainNormalisation(std::u16string text)
{
    const std::vector<std::pair<std::u16string, bool>> steps = {
        {u"*FROM CLIP NAME: ", true}, {u"* FROM CLIP NAME: ", true}, {u"*  FROM CLIP NAME: ", true},
        {u" \r\n*", false},           {u"FROM CLIP NAME: ", true},   {u"AUD", true},
        {u" 3     4 ", true},         {u" 1     2 ", true},
    };
    const auto upper = [](char16_t c) -> char16_t {
        if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 32);
        if (c == u'\u0131') return u'I';
        if (c == u'\u017F') return u'S';
        return c;
    };
    for (const auto& [removed, ignoreCase] : steps) {
        std::u16string out;
        std::size_t i = 0;
        while (i < text.size()) {
            bool match = i + removed.size() <= text.size();
            for (std::size_t k = 0; match && k < removed.size(); ++k) {
                const char16_t c = text[i + k];
                match = (ignoreCase ? upper(c) : c) == removed[k];
            }
            if (match) {
                i += removed.size();
            } else {
                out += text[i++];
            }
        }
        text = out;
    }
    return text;
}

// Random texts made of pieces of the removed texts (in mixed letter case, with the characters
// whose upper case is I or S) and line breaks, long enough to cross the pieces the passes run
// in. The fast passes must cut exactly what the plain ones cut.
TEST(EdlNormalizerTest, AgreesWithPlainRemovalsOnRandomTexts)
{
    const std::vector<std::u16string> fragments = {
        u"*",         u"* ",         u"*  ",          u"FROM",   u"from",        u"FrOm",
        u" CLIP",     u" cl\u0131p", u" NAME: ",      u" NAME:", u"na\u017Fe: ", u" \r\n",
        u"\r\n",      u"\r\n*",      u"AU",           u"aud",    u"D",           u"A",
        u" 3     4 ", u" 1     2 ",  u" 3",           u"     ",  u"4 ",          u"2 ",
        u" ",         u"X.WAV",      u"10:00:00:00 ",
    };
    std::mt19937_64 random(testsupport::TestSeed(20241210));
    for (int round = 0; round < 40; ++round) {
        std::u16string text;
        const std::size_t length = round % 4 == 0 ? 70'000 : 1 + random() % 2'000;
        while (text.size() < length) text += fragments[random() % fragments.size()];
        SCOPED_TRACE("round " + std::to_string(round) + ", length " + std::to_string(text.size()));
        const std::u16string expected = plainNormalisation(text);
        NormalizeEdlText(text);
        ASSERT_EQ(text, expected);
    }
}

// The removals on Windows-1252 bytes cut what they cut in the decoded characters: random 8-bit
// texts of the removed pieces in mixed letter case, line breaks and bytes above 0x7F (among them
// letters of the code page's upper half and the bytes that decode to the typographic range),
// long enough to cross the pieces the passes run in.
TEST(EdlNormalizerTest, BytesAgreeWithTheirCharacters)
{
    using namespace std::string_literals;
    const std::vector<std::string> fragments = {
        "*",     "* ",      "*  ",    "FROM",      "from",      "FrOm",  " CLIP",
        " clIp", " NAME: ", " name:", " \r\n",     "\r\n",      "\r\n*", "AU",
        "aud",   "D",       "A",      " 3     4 ", " 1     2 ", " 3",    "     ",
        "4 ",    "2 ",      " ",      "\xC4UD",    "\xE4ud",    "\x8A",  "\x9A",
        "\xFF",  "\xDF",    "\x80",   "\x9D",      "X.WAV",     "\0"s,   "10:00:00:00 ",
    };
    std::mt19937_64 random(testsupport::TestSeed(1252));
    for (int round = 0; round < 40; ++round) {
        std::string bytes;
        const std::size_t length = round % 4 == 0 ? 140'000 : random() % 2'000;
        while (bytes.size() < length) bytes += fragments[random() % fragments.size()];
        SCOPED_TRACE("round " + std::to_string(round) + ", length " + std::to_string(bytes.size()));
        std::u16string expected = DecodeWindows1252(bytes);
        NormalizeEdlText(expected);
        NormalizeEdlBytes(bytes);
        ASSERT_EQ(DecodeWindows1252(bytes), expected);
    }
}

TEST(EdlNormalizerTest, LongTextStaysLinear)
{
    // Two million removals in a row; a quadratic erase would not finish in the test's time.
    std::u16string text;
    for (int i = 0; i < 2'000'000; ++i) {
        text += u"AUD";
    }
    text += u"X";
    NormalizeEdlText(text);
    EXPECT_EQ(text, u"X");
}

}  // namespace
}  // namespace tarvelin
