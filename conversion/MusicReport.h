// The music report (Musikfolge) that a producer files with GEMA: one line per use of a work with
// its duration in whole seconds, and the totals per work.
//
// Built from the cue rows of a completed computation and the rate text that computation read, so
// edits of the cue lines count. Rows of the same file name that touch, overlap or lie at most the
// gap tolerance apart become one use (stereo pairs, cuts placed back to back); a started second
// counts. Pure function of its inputs: no window, no files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/CueRows.h"

namespace tarvelin {

// Default gap tolerance between two rows of one use, in seconds.
inline constexpr double kDefaultReportGapSeconds = 1.0;

struct ReportUse {
    int number = 0;           // "Nr", from 1 in order of In
    std::u16string title;     // "Titel": file name without its audio extension
    std::u16string fileName;  // "Datei": the title cell trimmed, Avid debris removed
    std::u16string in;        // In timecode text of the use's first row
    std::u16string out;       // Out timecode text of the row with the largest Out
    double inSeconds = 0;
    double outSeconds = 0;
    std::int64_t seconds = 0;  // Out - In rounded up to whole seconds

    friend bool operator==(const ReportUse&, const ReportUse&) = default;
};

struct ReportTotal {
    std::u16string title;
    std::u16string fileName;
    int uses = 0;
    std::int64_t seconds = 0;  // sum of the rounded seconds of its uses

    friend bool operator==(const ReportTotal&, const ReportTotal&) = default;
};

struct MusicReport {
    std::vector<ReportUse> uses;      // in order of In, ties by file name (code units)
    std::vector<ReportTotal> totals;  // one per file name, in order of its first use
    int totalUses = 0;
    std::int64_t totalSeconds = 0;
    std::size_t skippedRows = 0;  // rows whose Out is not after their In ("übersprungen")
};

// Builds the report. rateText is read with decimalSeparator as the computation read it; a rate
// not above zero throws ConversionError with a German message. gapSeconds >= 0. Rows whose Out is
// not after their In, or whose timecodes are not HH:MM:SS:FF, are left out and counted.
MusicReport BuildMusicReport(const std::vector<CueRow>& rows, std::u16string_view rateText,
                             char16_t decimalSeparator,
                             double gapSeconds = kDefaultReportGapSeconds);

// Whole seconds as "MM:SS", at least two digits each; an hour or more as total minutes ("62:04").
std::u16string FormatReportDuration(std::int64_t seconds);

// "Datei" of a title cell: trimmed of blanks, cut before " TO CLIP NAME:" (debris of dissolve
// comments), then rid of Avid copy suffixes such as ".SUB.01" or ".COPY.02" as often as they
// end it, unless nothing would be left. Letter case is ignored.
std::u16string ReportFileName(std::u16string_view title);

// "Titel" of a file name: without its last extension when that is an audio extension of the cue
// list (or ".NEW") and something is left, trimmed.
std::u16string ReportWorkTitle(std::u16string_view fileName);

// The line that says how many rows the report left out and why ("3 Zeilen übersprungen: ...").
std::u16string SkippedRowsNote(std::size_t count);

}  // namespace tarvelin
