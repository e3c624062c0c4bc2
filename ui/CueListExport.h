// Writing the cue list to files for "Speichern als Text" and "Nach Excel exportieren".
//
// The formats come from export/; this unit adds what the window needs around them: the text is
// written as UTF-8 and atomically (a failed save leaves an existing file untouched), the
// spreadsheet is written beside its target and moved into place only when complete. Failures come
// back as German sentences for the message box. Choosing the file is the window's business.
#pragma once

#include <QString>
#include <vector>

#include "conversion/CueRows.h"

// Saves the rows as text. Returns an empty text on success, else why it failed.
QString SaveCueListText(const QString& path, const std::vector<tarvelin::CueRow>& rows);

// Writes the rows as an .xlsx workbook. Returns an empty text on success, else why it failed.
QString ExportCueListXlsx(const QString& path, const std::vector<tarvelin::CueRow>& rows);
