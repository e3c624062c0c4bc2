// Extraction of cue lines from normalised EDL text, and the golden cases: every list under
// tests/data/cases run through load, normalisation and extraction, compared with the expected
// cue lines an independent reference wrote.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "conversion/CueLineExtraction.h"
#include "conversion/EdlLoader.h"
#include "conversion/EdlNormalizer.h"
#include "conversion/EdlPipeline.h"
#include "conversion/PatternMatcher.h"
#include "conversion/Text.h"

namespace tarvelin {
namespace {

namespace fs = std::filesystem;

using Lines = std::vector<std::u16string>;

// An Avid File_32 event line: number, reel, track, cut, four timecodes with a trailing blank.
std::u16string eventLine(std::u16string_view recordIn, std::u16string_view recordOut)
{
    return u"000001  REEL                             A     C        00:00:00:00 00:00:01:00 " +
           std::u16string(recordIn) + u" " + std::u16string(recordOut) + u" \r\n";
}

// A raw list (lines ending CR LF) normalised and extracted, as the window does it.
Lines extractFromRaw(std::u16string raw)
{
    NormalizeEdlText(raw);
    Lines cueLines;
    ExtractCueLines(raw, cueLines);
    return cueLines;
}

std::u16string cue(std::u16string_view in, std::u16string_view out, std::u16string_view clip)
{
    return std::u16string(in) + u"      " + std::u16string(out) + u"        " +
           std::u16string(clip);
}

TEST(CueLineExtractionTest, ClipTextCases)
{
    const std::u16string a = eventLine(u"01:00:00:00", u"01:00:05:00");
    const std::u16string b = eventLine(u"01:00:05:00", u"01:00:09:12");
    struct Row {
        const char* tag;
        std::u16string raw;
        Lines cueLines;
    };
    const std::vector<Row> rows = {
        {"two_blanks_give_leading_blank",
         a + u"*FROM CLIP NAME:  TITLE.MP3\r\n",
         {cue(u"01:00:00:00", u"01:00:05:00", u" TITLE.MP3")}},
        {"every_extension",
         a + u"* FROM CLIP NAME:  A.WAV\r\n" + b + u"*FROM CLIP NAME:  B.M4A\r\n",
         {cue(u"01:00:00:00", u"01:00:05:00", u" A.WAV"),
          cue(u"01:00:05:00", u"01:00:09:12", u" B.M4A")}},
        {"aiff_found_whole",
         a + u"*FROM CLIP NAME:  ATMO.AIFF\r\n",
         {cue(u"01:00:00:00", u"01:00:05:00", u" ATMO.AIFF")}},
        {"aif_found",
         a + u"*FROM CLIP NAME:  ATMO.AIF\r\n",
         {cue(u"01:00:00:00", u"01:00:05:00", u" ATMO.AIF")}},
        {"lower_case_not_found", a + u"*FROM CLIP NAME:  title.mp3\r\n", {}},
        {"lower_case_extension_not_found", a + u"*FROM CLIP NAME:  TITLE.Mp3\r\n", {}},
        {"umlauts_stay",
         a + u"*FROM CLIP NAME:  MÄDCHEN ÖL ÜBER.WAV\r\n",
         {cue(u"01:00:00:00", u"01:00:05:00", u" MÄDCHEN ÖL ÜBER.WAV")}},
        {"capitals_of_windows_1252_and_sharp_s_stay",
         a + u"*FROM CLIP NAME:  CAFÉ SEÑORITA STRAßE ØRE ŒUVRE ŠŽŸ.MP3\r\n",
         {cue(u"01:00:00:00", u"01:00:05:00", u" CAFÉ SEÑORITA STRAßE ØRE ŒUVRE ŠŽŸ.MP3")}},
        {"lower_case_accent_cuts_clip_text",
         a + u"*FROM CLIP NAME:  Café AU LAIT.MP3\r\n",
         {cue(u"01:00:00:00", u"01:00:05:00", u" AU LAIT.MP3")}},
        {"multiplication_sign_cuts_clip_text",
         a + u"*FROM CLIP NAME:  2×3 SONG.WAV\r\n",
         {cue(u"01:00:00:00", u"01:00:05:00", u"3 SONG.WAV")}},
        {"outside_character_before_period_hides_name", a + u"*FROM CLIP NAME:  CAFé.MP3\r\n", {}},
        {"aud_cut_from_clip_name",
         a + u"*FROM CLIP NAME:  CLAUDIA.MP3\r\n",
         {cue(u"01:00:00:00", u"01:00:05:00", u" CLIA.MP3")}},
        {"earlier_extension_inside_name_ends_clip",
         a + u"*FROM CLIP NAME:  X MP3 COLLECTION.WAV\r\n",
         {cue(u"01:00:00:00", u"01:00:05:00", u" X MP3")}},
        {"earlier_extension_at_start_found_whole",
         a + u"*FROM CLIP NAME:  MP3 COLLECTION.WAV\r\n",
         {cue(u"01:00:00:00", u"01:00:05:00", u" MP3 COLLECTION.WAV")}},
        {"video_event_keeps_its_timecodes_to_itself",
         a + u"*FROM CLIP NAME:  TOTALE.MOV\r\n" + b + u"*FROM CLIP NAME:  SONG.MP3\r\n",
         {cue(u"01:00:05:00", u"01:00:09:12", u" SONG.MP3")}},
        {"many_video_events_before_one_music_event",
         a + u"*FROM CLIP NAME:  EINS.MOV\r\n" + a + u"*FROM CLIP NAME:  ZWEI.MOV\r\n" + a +
             u"*FROM CLIP NAME:  DREI.MXF\r\n" + b + u"*FROM CLIP NAME:  SONG.MP3\r\n",
         {cue(u"01:00:05:00", u"01:00:09:12", u" SONG.MP3")}},
        {"comment_with_four_timecodes_is_not_lent_a_clip",
         a + u"*FROM CLIP NAME:  SONG.MP3\r\n" +
             u"*COMMENT: 00:00:00:00 00:00:01:00 02:00:00:00 02:00:01:00\r\n" + b +
             u"*FROM CLIP NAME:  NEXT.WAV\r\n",
         {cue(u"01:00:00:00", u"01:00:05:00", u" SONG.MP3"),
          cue(u"01:00:05:00", u"01:00:09:12", u" NEXT.WAV")}},
        {"comment_with_one_timecode_changes_nothing",
         a + u"*LOC: 01:00:01:00 MARKER\r\n*FROM CLIP NAME:  SONG.MP3\r\n",
         {cue(u"01:00:00:00", u"01:00:05:00", u" SONG.MP3")}},
        {"timecodes_after_the_clip_on_its_line_count",
         u"00:00:00:00 00:00:01:00 01:00:00:00 01:00:05:00 A.MP3 "
         u"00:00:00:00 00:00:01:00 03:00:00:00 03:00:05:00\r\n B.WAV\r\n",
         {cue(u"03:00:00:00", u"03:00:05:00", u" B.WAV")}},
        {"timecodes_on_the_next_line_after_the_clip_do_not_count",
         u"00:00:00:00 00:00:01:00 01:00:00:00 01:00:05:00 A.MP3\r\n"
         u"00:00:00:00 00:00:01:00 03:00:00:00 03:00:05:00\r\n B.WAV\r\n",
         {cue(u"01:00:00:00", u"01:00:05:00", u" A.MP3"),
          cue(u"03:00:00:00", u"03:00:05:00", u" B.WAV")}},
        {"three_timecodes_or_two_blanks_are_not_an_event",
         u"00:00:00:00 00:00:01:00 01:00:00:00 01:00:05:00 X\r\n"
         u"00:00:00:00 00:00:01:00 03:00:00:00\r\n00:00:00:00  00:00:01:00 03:00:00:00 "
         u"03:00:05:00\r\n B.WAV\r\n",
         {cue(u"01:00:00:00", u"01:00:05:00", u" B.WAV")}},
        {"reel_with_newton_on_event_line_between",
         a + u"*FROM CLIP NAME:  TOTALE.MOV\r\n" +
             u"000002  NEWTON                           A     C        00:00:00:00 00:00:01:00 "
             u"01:00:05:00 01:00:06:00 \r\n*FROM CLIP NAME:  SONG.MP3\r\n",
         {cue(u"01:00:05:00", u"01:00:06:00", u" SONG.MP3")}},
        {"video_clip_with_newton",
         a + u"*FROM CLIP NAME:  SIR NEWTON.MOV\r\n",
         {cue(u"01:00:00:00", u"01:00:05:00", u" SIR NEW")}},
        {"semicolon_timecodes_not_found",
         u"001  R A C 00:00:00;00 00:00:01;00 01:00:00;00 01:00:01;00 \r\n"
         u"*FROM CLIP NAME:  DROP.WAV\r\n",
         {}},
        {"two_blanks_between_timecodes_not_found",
         u"001  R A C 00:00:00:00 00:00:01:00  01:00:00:00 01:00:01:00\r\n"
         u"*FROM CLIP NAME:  WIDE.WAV\r\n",
         {}},
        {"no_music_event", a + u"*FROM CLIP NAME:  TOTALE.MOV\r\n", {}},
        {"empty_text", u"", {}},
        {"nul_ends_the_subject", a + std::u16string(1, u'\0') + u"*FROM CLIP NAME:  X.MP3\r\n", {}},
        {"aud_line_between_event_and_clip",
         a + u"AUD  3    4\r\n*FROM CLIP NAME:  SONG.WAV\r\n",
         {cue(u"01:00:00:00", u"01:00:05:00", u" SONG.WAV")}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.tag);
        const Lines got = extractFromRaw(row.raw);
        ASSERT_EQ(got.size(), row.cueLines.size());
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(toUtf8(got[i]), toUtf8(row.cueLines[i]));
        }
    }
}

// The extraction pattern as it stood before the mends: no .AIF alternative, a name class of
// the blank to the low line and Ä, Ö, Ü only, and every match taken, even one whose gap holds
// another event's timecodes. Kept so that the difference the mends make stays documented.
constexpr std::u16string_view kOriginalExtractionPattern =
    u"(\\d{2}:\\d{2}:\\d{2}:\\d{2}) (\\d{2}:\\d{2}:\\d{2}:\\d{2}) "
    u"(\\d{2}:\\d{2}:\\d{2}:\\d{2}) (\\d{2}:\\d{2}:\\d{2}:\\d{2}).*?"
    u"([ -_A-Z\u00C4\u00D6\u00DC]+.MP3|[ -_A-Z\u00C4\u00D6\u00DC]+.WAV|"
    u"[ -_A-Z\u00C4\u00D6\u00DC]+.M4A|[ -_A-Z\u00C4\u00D6\u00DC]+.AIFF|"
    u"[ -_A-Z\u00C4\u00D6\u00DC]+.NEW)";
static_assert(kOriginalExtractionPattern.size() == 193);

Lines originalCueLines(std::u16string raw)
{
    NormalizeEdlText(raw);
    const std::u16string& text = raw;  // normalising keeps every line ended by CR LF
    PatternMatcher matcher(kOriginalExtractionPattern);
    Lines cueLines;
    for (bool found = matcher.Exec(text); found; found = matcher.ExecNext())
        cueLines.push_back(cue(matcher.Match(3), matcher.Match(4), matcher.Match(5)));
    return cueLines;
}

TEST(CueLineExtractionTest, MendedExtractionBesideTheOriginalOne)
{
    const std::u16string a = eventLine(u"01:00:00:00", u"01:00:05:00");
    const std::u16string b = eventLine(u"01:00:05:00", u"01:00:09:12");
    struct Case {
        const char* name;
        std::u16string raw;
        Lines original;
        Lines mended;
    };
    const Case cases[] = {
        {"video_event_before_music",
         a + u"*FROM CLIP NAME:  TOTALE.MOV\r\n" + b + u"*FROM CLIP NAME:  SONG.MP3\r\n",
         {cue(u"01:00:00:00", u"01:00:05:00", u" SONG.MP3")},
         {cue(u"01:00:05:00", u"01:00:09:12", u" SONG.MP3")}},
        {"aif_clip_before_music",
         a + u"*FROM CLIP NAME:  ATMO.AIF\r\n" + b + u"*FROM CLIP NAME:  SONG.WAV\r\n",
         {cue(u"01:00:00:00", u"01:00:05:00", u" SONG.WAV")},
         {cue(u"01:00:00:00", u"01:00:05:00", u" ATMO.AIF"),
          cue(u"01:00:05:00", u"01:00:09:12", u" SONG.WAV")}},
        {"capitals_beyond_umlauts",
         a + u"*FROM CLIP NAME:  SEÑORITA.WAV\r\n" + b +
             u"*FROM CLIP NAME:  GROßE FREIHEIT.MP3\r\n",
         {cue(u"01:00:00:00", u"01:00:05:00", u"ORITA.WAV"),
          cue(u"01:00:05:00", u"01:00:09:12", u"E FREIHEIT.MP3")},
         {cue(u"01:00:00:00", u"01:00:05:00", u" SEÑORITA.WAV"),
          cue(u"01:00:05:00", u"01:00:09:12", u" GROßE FREIHEIT.MP3")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(originalCueLines(c.raw), c.original);
        EXPECT_EQ(extractFromRaw(c.raw), c.mended);
    }
}

TEST(CueLineExtractionTest, CueLineColumnsAreFixed)
{
    const Lines got =
        extractFromRaw(eventLine(u"10:11:12:13", u"20:21:22:23") + u"*FROM CLIP NAME:  T.MP3\r\n");
    ASSERT_EQ(got.size(), 1u);
    // Counted from 1: record in 1-11, record out 18-28, clip text from 37 (its leading blank).
    EXPECT_EQ(got[0].substr(0, 11), u"10:11:12:13");
    EXPECT_EQ(got[0].substr(17, 11), u"20:21:22:23");
    EXPECT_EQ(got[0].substr(36), u" T.MP3");
}

TEST(CueLineExtractionTest, TwelveEventsGiveTwelveLinesInOrder)
{
    std::u16string raw;
    for (int i = 0; i < 12; ++i) {
        const std::u16string n = fromUtf8((i < 10 ? "0" : "") + std::to_string(i));
        raw += eventLine(u"01:00:" + n + u":00", u"01:00:" + n + u":10");
        raw += u"*FROM CLIP NAME:  TITEL " + n + u".WAV\r\n";
    }
    const Lines got = extractFromRaw(raw);
    ASSERT_EQ(got.size(), 12u);
    EXPECT_EQ(got.front(), cue(u"01:00:00:00", u"01:00:00:10", u" TITEL 00.WAV"));
    EXPECT_EQ(got.back(), cue(u"01:00:11:00", u"01:00:11:10", u" TITEL 11.WAV"));
}

TEST(CueLineExtractionTest, AppendsToExistingLines)
{
    Lines cueLines = {u"SCHON DA"};
    ExtractCueLines(u"00:00:00:00 00:00:01:00 01:00:00:00 01:00:01:00 A.MP3", cueLines);
    EXPECT_EQ(cueLines, (Lines{u"SCHON DA", cue(u"01:00:00:00", u"01:00:01:00", u" A.MP3")}));
}

// ---- golden cases -------------------------------------------------------------------------

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<fs::path> caseFolders()
{
    std::vector<fs::path> folders;
    for (const auto& entry : fs::directory_iterator(fs::path(TARVELIN_TEST_DATA_DIR) / "cases")) {
        if (entry.is_directory() && fs::is_regular_file(entry.path() / "input.edl")) {
            folders.push_back(entry.path());
        }
    }
    std::sort(folders.begin(), folders.end());
    return folders;
}

TEST(CueLineExtractionTest, GoldenCasesMatchReference)
{
    const std::vector<fs::path> folders = caseFolders();
    ASSERT_FALSE(folders.empty());
    for (const fs::path& folder : folders) {
        SCOPED_TRACE(folder.filename().string());
        ASSERT_TRUE(fs::is_regular_file(folder / "cue-lines.txt"));
        const OpenedEdl opened = OpenEdlFile((folder / "input.edl").string());
        EXPECT_FALSE(opened.cues.extractionFailed);
        std::string output;
        for (const auto& line : opened.cues.cueLines) {
            output += toUtf8(line) + "\n";
        }
        EXPECT_EQ(output, readFile(folder / "cue-lines.txt"));
    }
}

// The pipeline takes a usual list (8-bit, CR LF breaks) by normalising its bytes before decoding
// them, every other list by decoding first: the buffer text and the cue lines must be those of
// the window's road (decode, then normalise the characters), for every list of the cases and for
// lists at the edges of that choice.
TEST(CueLineExtractionTest, BytesAndTextRoadsAgree)
{
    const std::string event =
        "000001  REEL_AUD  A     C        00:00:00:00 00:00:01:00 "
        "01:00:00:00 01:00:01:00 \r\n";
    std::vector<std::pair<std::string, std::string>> lists = {
        {"empty", ""},
        {"one_byte", "A"},
        {"only_a_break", "\r\n"},
        {"crlf", event + "*FROM CLIP NAME:  AUDIO \xC4.MP3\r\n"},
        {"no_final_break", event + "* FROM CLIP NAME:  T.WAV"},
        {"joined_comment", event + "X \r\n*from clip name:  t \xDF.WAV\r\n"},
        {"lf_only", event.substr(0, event.size() - 2) + "\n*FROM CLIP NAME:  T.MP3\n"},
        {"lone_cr", event + "AUD  3     4 \r*FROM CLIP NAME:  T.NEW\r"},
        {"utf8_mark", "\xEF\xBB\xBF" + event + "*FROM CLIP NAME:  \xC3\x84.MP3\r\n"},
        {"nul_byte", event + std::string("\0", 1) + "*FROM CLIP NAME:  T.MP3\r\n"},
    };
    for (const fs::path& folder : caseFolders()) {
        lists.emplace_back(folder.filename().string(), readFile(folder / "input.edl"));
    }
    for (const auto& [tag, bytes] : lists) {
        SCOPED_TRACE(tag);
        const OpenedEdl expected = OpenEdlText(DecodeEdlText(bytes));
        const OpenedEdl opened = OpenEdlBytes(bytes);
        EXPECT_EQ(toUtf8(opened.workText), toUtf8(expected.workText));
        EXPECT_EQ(opened.cues.cueLines, expected.cues.cueLines);
        EXPECT_EQ(opened.cues.extractionFailed, expected.cues.extractionFailed);
    }
}

}  // namespace
}  // namespace tarvelin
