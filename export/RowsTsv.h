// The plain interchange forms of the command-line tool: cue-line text read from a file, and cue
// rows written as tab-separated lines.
//
// Cue-line text is read as the window's text area hands it over: UTF-8 with a leading
// byte-order mark dropped, its lines (ended by CR LF, CR or LF) joined with CR LF. Rows are
// written one per line, the four cells exactly as computed (titles untrimmed) and separated by
// a TAB, lines ended by LF; inside a cell TAB, CR, LF and backslash are written as "\t", "\r",
// "\n" and "\\", so every row is one line and the cells can be recovered exactly.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "conversion/CueRows.h"
#include "conversion/Messages.h"

namespace tarvelin {

// UTF-8 file content to cue-line text.
std::u16string CueLineTextFromUtf8(std::string_view bytes);

// A cell with TAB, CR, LF and backslash written as "\t", "\r", "\n" and "\\".
std::u16string EscapeTsvCell(std::u16string_view cell);

// Rows as TAB-separated UTF-8 lines.
std::string FormatRowsTsv(const std::vector<CueRow>& rows);

}  // namespace tarvelin
