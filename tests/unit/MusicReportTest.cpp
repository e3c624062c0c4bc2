// The music report's rules on small row lists: file names and work titles, the joining of rows
// into uses, exact rounding at the boundaries, numbering, totals and the failures.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "conversion/ConversionError.h"
#include "conversion/MusicReport.h"
#include "conversion/Text.h"

namespace tarvelin {
namespace {

CueRow row(const char16_t* in, const char16_t* out, const char16_t* title)
{
    return {in, out, u"", title};
}

std::string failureOf(const std::vector<CueRow>& rows, const char16_t* rate)
{
    try {
        BuildMusicReport(rows, rate, u',');
    } catch (const ConversionError& error) {
        return error.what();
    }
    return "";
}

TEST(MusicReportTest, FileNamesAndWorkTitles)
{
    const struct {
        const char16_t* cell;
        const char16_t* fileName;
        const char16_t* title;
    } cases[] = {
        {u"         SONG.MP3", u"SONG.MP3", u"SONG"},
        {u"  MÜLLER - LIED.WAV  ", u"MÜLLER - LIED.WAV", u"MÜLLER - LIED"},
        {u" X.MP3 TO CLIP NAME:  X.MP3", u"X.MP3", u"X"},
        {u" X.MP3 to clip name:  Y.MP3", u"X.MP3", u"X"},
        {u" X.MP3.SUB.01 TO CLIP NAME:  X.MP3", u"X.MP3", u"X"},
        {u" X.MP3.sub.7", u"X.MP3", u"X"},
        {u" X.WAV.COPY.02.NEW.3", u"X.WAV", u"X"},
        {u" X .WAV .COPY.02", u"X .WAV", u"X"},
        {u" .SUB.01", u".SUB.01", u".SUB.01"},
        {u" A.SUB.01.SUB.02", u"A", u"A"},
        {u" .COPY.1.SUB.2", u".COPY.1", u".COPY.1"},
        {u" X.SUB.", u"X.SUB.", u"X.SUB."},
        {u" X.SUBS.01", u"X.SUBS.01", u"X.SUBS.01"},
        {u" XSUB.01", u"XSUB.01", u"XSUB.01"},
        {u" ABC.AIFF", u"ABC.AIFF", u"ABC"},
        {u" ABC.AIF", u"ABC.AIF", u"ABC"},
        {u" ABC.M4A", u"ABC.M4A", u"ABC"},
        {u" 75F-4.NEW", u"75F-4.NEW", u"75F-4"},
        {u" ABC.mp3", u"ABC.mp3", u"ABC"},
        {u" ABC.OGG", u"ABC.OGG", u"ABC.OGG"},
        {u" ABC_MP3", u"ABC_MP3", u"ABC_MP3"},
        {u" .MP3", u".MP3", u".MP3"},
        {u" A.B.MP3", u"A.B.MP3", u"A.B"},
        {u" TEIL 1 .MP3", u"TEIL 1 .MP3", u"TEIL 1"},
        {u"   ", u"", u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(toUtf8(c.cell));
        const std::u16string fileName = ReportFileName(c.cell);
        EXPECT_EQ(toUtf8(fileName), toUtf8(c.fileName));
        EXPECT_EQ(toUtf8(ReportWorkTitle(fileName)), toUtf8(c.title));
    }
}

TEST(MusicReportTest, DurationsReadAsMinutesAndSeconds)
{
    const struct {
        std::int64_t seconds;
        const char16_t* text;
    } cases[] = {
        {0, u"00:00"},     {1, u"00:01"},    {59, u"00:59"},   {60, u"01:00"},
        {599, u"09:59"},   {3599, u"59:59"}, {3600, u"60:00"}, {3724, u"62:04"},
        {6000, u"100:00"}, {2168, u"36:08"}, {-61, u"-01:01"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(toUtf8(FormatReportDuration(c.seconds)), toUtf8(c.text)) << c.seconds;
    }
}

// One use from its first row's In to the largest Out: the whole seconds and the number of uses,
// for boundaries that floating-point subtraction gets wrong.
TEST(MusicReportTest, BoundariesAreExactAtEveryRate)
{
    const struct {
        const char* name;
        const char16_t* rate;
        double gap;
        std::vector<CueRow> rows;
        int uses;
        std::int64_t seconds;  // of all uses together
    } cases[] = {
        // A duration of exactly N seconds gives N; one frame more gives N + 1.
        {"five_seconds_at_30_from_frame_10",
         u"30",
         1,
         {row(u"00:00:00:10", u"00:00:05:10", u" A.MP3")},
         1,
         5},
        {"five_seconds_and_a_frame_at_30",
         u"30",
         1,
         {row(u"00:00:00:10", u"00:00:05:11", u" A.MP3")},
         1,
         6},
        {"five_seconds_at_24", u"24", 1, {row(u"00:00:00:07", u"00:00:05:07", u" A.MP3")}, 1, 5},
        {"five_seconds_and_a_frame_at_24",
         u"24",
         1,
         {row(u"00:00:00:07", u"00:00:05:08", u" A.MP3")},
         1,
         6},
        {"five_seconds_at_25", u"25", 1, {row(u"00:00:00:03", u"00:00:05:03", u" A.MP3")}, 1, 5},
        {"five_seconds_at_29_97",
         u"29,97",
         1,
         {row(u"00:00:00:13", u"00:00:05:13", u" A.MP3")},
         1,
         5},
        {"five_seconds_and_a_frame_at_29_97",
         u"29,97",
         1,
         {row(u"00:00:00:13", u"00:00:05:14", u" A.MP3")},
         1,
         6},
        {"frames_past_the_rate_count_at_face_value",
         u"25",
         1,
         {row(u"00:00:00:00", u"00:00:00:50", u" A.MP3")},
         1,
         2},
        {"one_frame_is_a_started_second",
         u"25",
         1,
         {row(u"00:00:00:00", u"00:00:00:01", u" A.MP3")},
         1,
         1},
        // A row exactly the gap after the use's Out joins it; one frame later it does not.
        {"gap_exactly_one_second_at_30",
         u"30",
         1,
         {row(u"00:00:00:10", u"00:00:02:10", u" A.MP3"),
          row(u"00:00:03:10", u"00:00:04:10", u" A.MP3")},
         1,
         4},
        {"gap_one_second_and_a_frame_at_30",
         u"30",
         1,
         {row(u"00:00:00:10", u"00:00:02:10", u" A.MP3"),
          row(u"00:00:03:11", u"00:00:04:10", u" A.MP3")},
         2,
         3},
        {"gap_exactly_one_second_at_24",
         u"24",
         1,
         {row(u"00:00:00:05", u"00:00:02:05", u" A.MP3"),
          row(u"00:00:03:05", u"00:00:04:05", u" A.MP3")},
         1,
         4},
        {"gap_one_second_and_a_frame_at_24",
         u"24",
         1,
         {row(u"00:00:00:05", u"00:00:02:05", u" A.MP3"),
          row(u"00:00:03:06", u"00:00:04:05", u" A.MP3")},
         2,
         3},
        {"gap_exactly_one_second_at_25",
         u"25",
         1,
         {row(u"00:00:00:05", u"00:00:02:05", u" A.MP3"),
          row(u"00:00:03:05", u"00:00:04:05", u" A.MP3")},
         1,
         4},
        {"gap_one_second_and_a_frame_at_25",
         u"25",
         1,
         {row(u"00:00:00:05", u"00:00:02:05", u" A.MP3"),
          row(u"00:00:03:06", u"00:00:04:05", u" A.MP3")},
         2,
         3},
        {"gap_exactly_one_second_at_29_97",
         u"29,97",
         1,
         {row(u"00:00:00:17", u"00:00:02:17", u" A.MP3"),
          row(u"00:00:03:17", u"00:00:04:17", u" A.MP3")},
         1,
         4},
        {"gap_one_second_and_a_frame_at_29_97",
         u"29,97",
         1,
         {row(u"00:00:00:17", u"00:00:02:17", u" A.MP3"),
          row(u"00:00:03:18", u"00:00:04:17", u" A.MP3")},
         2,
         3},
        // Fractional gaps are the decimal typed: 0,3 s is 9 frames at 30, 0,2 s 5 frames at 25.
        {"gap_of_0_3_is_nine_frames_at_30",
         u"30",
         0.3,
         {row(u"00:00:00:00", u"00:00:01:00", u" A.MP3"),
          row(u"00:00:01:09", u"00:00:02:00", u" A.MP3")},
         1,
         2},
        {"gap_of_0_3_and_a_frame_at_30",
         u"30",
         0.3,
         {row(u"00:00:00:00", u"00:00:01:00", u" A.MP3"),
          row(u"00:00:01:10", u"00:00:02:00", u" A.MP3")},
         2,
         2},
        {"gap_of_0_2_is_five_frames_at_25",
         u"25",
         0.2,
         {row(u"00:00:00:00", u"00:00:01:00", u" A.MP3"),
          row(u"00:00:01:05", u"00:00:02:00", u" A.MP3")},
         1,
         2},
        {"gap_2_5_is_twelve_frames_after_two_seconds_at_24",
         u"24",
         2.5,
         {row(u"00:00:00:00", u"00:00:01:00", u" A.MP3"),
          row(u"00:00:03:12", u"00:00:04:00", u" A.MP3")},
         1,
         4},
        {"gap_2_5_and_a_frame_at_24",
         u"24",
         2.5,
         {row(u"00:00:00:00", u"00:00:01:00", u" A.MP3"),
          row(u"00:00:03:13", u"00:00:04:00", u" A.MP3")},
         2,
         2},
        // Gap 0 joins touching and overlapping rows only.
        {"gap_zero_joins_touching_rows",
         u"25",
         0,
         {row(u"00:00:00:00", u"00:00:01:00", u" A.MP3"),
          row(u"00:00:01:00", u"00:00:02:00", u" A.MP3")},
         1,
         2},
        {"gap_zero_parts_rows_a_frame_apart",
         u"25",
         0,
         {row(u"00:00:00:00", u"00:00:01:00", u" A.MP3"),
          row(u"00:00:01:01", u"00:00:02:00", u" A.MP3")},
         2,
         2},
        {"equal_times_written_differently_touch",
         u"25",
         0,
         {row(u"00:00:00:00", u"00:00:00:25", u" A.MP3"),
          row(u"00:00:01:00", u"00:00:02:00", u" A.MP3")},
         1,
         2},
        // Hours count: a use across an hour boundary.
        {"hours_count", u"25", 1, {row(u"00:59:59:00", u"01:01:01:00", u" A.MP3")}, 1, 62},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const MusicReport report = BuildMusicReport(c.rows, c.rate, u',', c.gap);
        EXPECT_EQ(report.totalUses, c.uses);
        EXPECT_EQ(static_cast<int>(report.uses.size()), c.uses);
        EXPECT_EQ(report.totalSeconds, c.seconds);
    }
}

TEST(MusicReportTest, StereoPairsCutsAndOverlapsBecomeOneUse)
{
    const std::vector<CueRow> rows = {
        // Stereo pair, then a back-to-back cut through a dissolve, then an overlapping copy.
        row(u"01:00:10:00", u"01:00:20:00", u"         SONG.MP3"),
        row(u"01:00:10:00", u"01:00:20:00", u"         SONG.MP3"),
        row(u"01:00:20:00", u"01:00:21:00", u"         SONG.MP3 TO CLIP NAME:  SONG.MP3"),
        row(u"01:00:21:00", u"01:00:30:12", u"         SONG.MP3.SUB.01"),
        row(u"01:00:25:00", u"01:00:28:00", u"         SONG.MP3"),
        // Another work starting at the same In sorts after it by file name.
        row(u"01:00:10:00", u"01:00:11:00", u"         ANDERS.WAV"),
        // Out not after In: left out and counted.
        row(u"01:00:40:00", u"01:00:40:00", u"         SONG.MP3"),
        row(u"01:00:50:00", u"01:00:45:00", u"         SONG.MP3"),
        // The same work again, more than a second later: a second use.
        row(u"01:00:32:00", u"01:00:35:00", u"         SONG.MP3"),
    };
    const MusicReport report = BuildMusicReport(rows, u"25", u',');
    const struct {
        const char* title;
        const char* fileName;
        const char* in;
        const char* out;
        double inSeconds;
        double outSeconds;
        std::int64_t seconds;
    } expected[] = {
        {"ANDERS", "ANDERS.WAV", "01:00:10:00", "01:00:11:00", 3610, 3611, 1},
        {"SONG", "SONG.MP3", "01:00:10:00", "01:00:30:12", 3610, 3630.48, 21},
        {"SONG", "SONG.MP3", "01:00:32:00", "01:00:35:00", 3632, 3635, 3},
    };
    ASSERT_EQ(report.uses.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const ReportUse& use = report.uses[i];
        EXPECT_EQ(use.number, static_cast<int>(i) + 1);
        EXPECT_EQ(toUtf8(use.title), expected[i].title);
        EXPECT_EQ(toUtf8(use.fileName), expected[i].fileName);
        EXPECT_EQ(toUtf8(use.in), expected[i].in);
        EXPECT_EQ(toUtf8(use.out), expected[i].out);
        EXPECT_DOUBLE_EQ(use.inSeconds, expected[i].inSeconds);
        EXPECT_DOUBLE_EQ(use.outSeconds, expected[i].outSeconds);
        EXPECT_EQ(use.seconds, expected[i].seconds);
    }
    ASSERT_EQ(report.totals.size(), 2u);
    EXPECT_EQ(report.totals[0], (ReportTotal{u"ANDERS", u"ANDERS.WAV", 1, 1}));
    EXPECT_EQ(report.totals[1], (ReportTotal{u"SONG", u"SONG.MP3", 2, 24}));
    EXPECT_EQ(report.totalUses, 3);
    EXPECT_EQ(report.totalSeconds, 25);
    EXPECT_EQ(report.skippedRows, 2u);
}

TEST(MusicReportTest, UsesAreNumberedByInAndOutComesFromTheRowThatReachesFurthest)
{
    const std::vector<CueRow> rows = {
        row(u"00:00:30:00", u"00:00:40:00", u" B.WAV"),
        row(u"00:00:05:00", u"00:00:20:00", u" A.MP3"),
        row(u"00:00:06:00", u"00:00:07:00", u" A.MP3"),  // inside the first A row
        row(u"00:00:19:00", u"00:00:24:25", u" A.MP3"),  // reaches furthest
        row(u"00:00:21:00", u"00:00:25:00", u" A.MP3"),  // ends at the same time
        row(u"00:00:01:00", u"00:00:02:00", u" C.MP3"),
    };
    const MusicReport report = BuildMusicReport(rows, u"25", u',', 0);
    ASSERT_EQ(report.uses.size(), 3u);
    EXPECT_EQ(toUtf8(report.uses[0].fileName), "C.MP3");
    EXPECT_EQ(toUtf8(report.uses[1].fileName), "A.MP3");
    EXPECT_EQ(toUtf8(report.uses[1].out), "00:00:24:25");
    EXPECT_EQ(report.uses[1].seconds, 20);
    EXPECT_EQ(report.uses[2].number, 3);
    // Totals in order of each file name's first use.
    ASSERT_EQ(report.totals.size(), 3u);
    EXPECT_EQ(toUtf8(report.totals[0].fileName), "C.MP3");
    EXPECT_EQ(toUtf8(report.totals[1].fileName), "A.MP3");
    EXPECT_EQ(toUtf8(report.totals[2].fileName), "B.WAV");
}

TEST(MusicReportTest, EmptyListGivesAnEmptyReport)
{
    const MusicReport report = BuildMusicReport({}, u"25", u',');
    EXPECT_TRUE(report.uses.empty());
    EXPECT_TRUE(report.totals.empty());
    EXPECT_EQ(report.totalUses, 0);
    EXPECT_EQ(report.totalSeconds, 0);
}

TEST(MusicReportTest, RatesThatMakeNoReport)
{
    const std::vector<CueRow> rows = {row(u"00:00:00:00", u"00:00:01:00", u" A.MP3")};
    const struct {
        const char16_t* rate;
        const char* message;
    } cases[] = {
        {u"0", "Keine Musikfolge: Die Bildrate '0' ist nicht größer als null"},
        {u"-25", "Keine Musikfolge: Die Bildrate '-25' ist nicht größer als null"},
        {u"-0", "Keine Musikfolge: Die Bildrate '-0' ist nicht größer als null"},
        {u"29.97", "'29.97' ist kein gültiger Gleitkommawert"},
        {u"", "'' ist kein gültiger Gleitkommawert"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(failureOf(rows, c.rate), c.message);
        EXPECT_EQ(failureOf({}, c.rate), c.message);
    }
}

TEST(MusicReportTest, UnusualRatesStayExact)
{
    // 12,5 fps: 25 frames are two seconds; at 1E300 a frame is no time at all but still counts
    // as a started second.
    const std::vector<CueRow> rows = {row(u"00:00:00:00", u"00:00:00:25", u" A.MP3")};
    EXPECT_EQ(BuildMusicReport(rows, u"12,5", u',').totalSeconds, 2);
    EXPECT_EQ(BuildMusicReport(rows, u"1E300", u',').totalSeconds, 1);
    EXPECT_EQ(BuildMusicReport(rows, u"0,5", u',').totalSeconds, 50);
    EXPECT_EQ(failureOf(rows, u"1E-300"),
              "Die Musikfolge kann bei dieser Bildrate nicht berechnet werden");
}

TEST(MusicReportTest, SkippedRowsNoteCountsThem)
{
    EXPECT_EQ(toUtf8(SkippedRowsNote(1)), "1 Zeile übersprungen: Out liegt nicht nach In.");
    EXPECT_EQ(toUtf8(SkippedRowsNote(12)), "12 Zeilen übersprungen: Out liegt nicht nach In.");
}

}  // namespace
}  // namespace tarvelin
