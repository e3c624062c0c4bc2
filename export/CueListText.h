// The cue list as a plain-text table a person can read and print ("Speichern als Text").
//
// A header line with the column names "In", "Out", "Länge" and "Music Titles", then one line per
// row, aligned as TextTable does. Titles lose their leading blanks, which only separate them from
// the timecodes in the cue lines. Lines end with CR LF, so the file opens cleanly in Windows
// editors as well as on Linux. The window's file carries the music report after the list.
//
// It does not compute anything: it writes the rows as the computation left them.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "conversion/CueRows.h"
#include "export/MusicReportText.h"

namespace tarvelin {

// The table in UTF-8, without a byte-order mark.
std::string FormatCueListText(const std::vector<CueRow>& rows);

// The table followed by the music report (or the reason there is none).
std::string FormatCueListText(const std::vector<CueRow>& rows, const MusicReportOutcome& report);

// Writes the table to a file in UTF-8 with a byte-order mark (so that spreadsheet programs and
// older editors recognise the encoding), replacing the file atomically. Throws ConversionError
// "Die Datei %s konnte nicht geschrieben werden." on failure.
void WriteCueListText(const std::filesystem::path& path, const std::vector<CueRow>& rows);
void WriteCueListText(const std::filesystem::path& path, const std::vector<CueRow>& rows,
                      const MusicReportOutcome& report);

// A title as both writers show it: the cell without its leading blanks.
std::u16string TitleForExport(const std::u16string& title);

}  // namespace tarvelin
