// The music report's two sheets of the exported workbook, and the cell text rule both writers
// of the workbook share.
//
// "Musikfolge": Nr | Titel | Datei | In | Out | Dauer and six empty columns for the details GEMA
// asks for (Komponist, Textdichter, Bearbeiter, Verlag, Archiv-Nr., Nutzungsart). Dauer is a
// time value (seconds / 86400, shown as [mm]:ss), so that Excel and LibreOffice can sum it; Nr is
// a number. A note under the table says how many rows were left out and why. "Summen": Titel |
// Datei | Einsätze | Gesamtdauer, then "Gesamt". Bold header rows that stay while scrolling,
// widths that fit the titles. Without a report both sheets carry the reason under the header.
//
// Used by CueListXlsx; libxlsxwriter types do not leave export/.
#pragma once

#include <xlsxwriter.h>

#include <string>
#include <string_view>

#include "export/MusicReportText.h"

namespace tarvelin {

// At most the characters a cell can hold (32,767), never splitting a surrogate pair, in UTF-8.
std::string XlsxCellText(std::u16string_view text);

// Adds the sheets "Musikfolge" and "Summen". Returns false when libxlsxwriter refuses a cell.
bool AddMusicReportSheets(lxw_workbook* book, const MusicReportOutcome& outcome);

}  // namespace tarvelin
