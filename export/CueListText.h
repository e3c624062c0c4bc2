// The cue list as a plain-text table a person can read and print ("Speichern als Text").
//
// A header line with the column names "In", "Out", "Länge" and "Music Titles", then one line per
// row; the first three columns are padded with blanks to their widest cell (counted in
// characters, not bytes) and two blanks apart. Titles lose their leading blanks, which only
// separate them from the timecodes in the cue lines. Lines end with CR LF, so the file opens
// cleanly in Windows editors as well as on Linux; a line break or other control character inside
// a cell is written as a blank so that every row stays on its own line.
//
// It does not compute anything: it writes the rows as the computation left them.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "conversion/CueRows.h"

namespace tarvelin {

// The table in UTF-8, without a byte-order mark.
std::string FormatCueListText(const std::vector<CueRow>& rows);

// Writes the table to a file in UTF-8 with a byte-order mark (so that spreadsheet programs and
// older editors recognise the encoding), replacing the file atomically. Throws ConversionError
// "Die Datei %s konnte nicht geschrieben werden." on failure.
void WriteCueListText(const std::filesystem::path& path, const std::vector<CueRow>& rows);

// A title as both writers show it: the cell without its leading blanks.
std::u16string TitleForExport(const std::u16string& title);

}  // namespace tarvelin
