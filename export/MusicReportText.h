// The music report in its text forms: the TAB-separated form of "tarvelin-cli report" and the
// aligned tables that "Speichern als Text" writes after the cue list.
//
// A report that cannot be built (a rate not above zero) is carried as its German reason, so that
// the cue list can still be saved and the file says why the report is missing.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/CueRows.h"
#include "conversion/MusicReport.h"

namespace tarvelin {

struct MusicReportOutcome {
    std::optional<MusicReport> report;
    std::u16string reason;  // why there is no report, when there is none
};

// BuildMusicReport, its failure kept as the reason.
MusicReportOutcome TryBuildMusicReport(const std::vector<CueRow>& rows,
                                       std::u16string_view rateText, char16_t decimalSeparator,
                                       double gapSeconds = kDefaultReportGapSeconds);

// "Nr Titel Datei In Out Dauer Sekunden", one line per use, an empty line, "Titel Datei Einsätze
// Gesamtdauer Sekunden", one line per file name and the "Gesamt" line; TAB-separated UTF-8 with
// LF line ends. Inside a cell TAB, CR, LF and backslash are written as "\t", "\r", "\n", "\\".
std::string FormatMusicReportTsv(const MusicReport& report);

// For the text file: an empty line, the Musikfolge (Nr, Titel, In, Out, Dauer), the note on
// skipped rows, an empty line and the Summen (Titel, Einsätze, Gesamtdauer, then "Gesamt");
// without a report an empty line and the reason. UTF-8, CR LF.
std::string FormatMusicReportText(const MusicReportOutcome& outcome);

}  // namespace tarvelin
