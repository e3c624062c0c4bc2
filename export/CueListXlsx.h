// The cue list as an Excel workbook (.xlsx) for "Nach Excel exportieren".
//
// The sheet "Ausgang GEMA VB", with the four columns "In", "Out", "Länge" and "Music Titles":
// a bold header row that stays frozen while scrolling, then one row per cue row. Every cell is
// a text cell in the text number format, so timecodes and durations stay exactly as shown and
// the spreadsheet never reads 10:00:16:06 or 00:16 as a time. Titles lose their leading blanks;
// a title longer than a cell can hold (32,767 characters) is cut there.
//
// The window's workbook adds the music report's sheets "Musikfolge" and "Summen" after it
// (MusicReportXlsx). Written with libxlsxwriter to a temporary file that replaces the target only
// when complete.
#pragma once

#include <filesystem>
#include <vector>

#include "conversion/CueRows.h"
#include "export/MusicReportText.h"

namespace tarvelin {

// Throws ConversionError "Die Datei %s konnte nicht geschrieben werden." on failure (also when
// the rows do not fit on one sheet); an existing file is then left as it was.
void WriteCueListXlsx(const std::filesystem::path& path, const std::vector<CueRow>& rows);
void WriteCueListXlsx(const std::filesystem::path& path, const std::vector<CueRow>& rows,
                      const MusicReportOutcome& report);

}  // namespace tarvelin
