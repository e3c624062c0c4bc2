// Aligned plain-text tables for the text file of "Speichern als Text".
//
// Columns are padded with blanks to their widest cell (counted in characters, not UTF-16 code
// units) and two blanks apart; right-aligned columns are padded in front, the last column only
// when it is right-aligned. Lines lose
// their trailing blanks and end with CR LF. A line break or other control character inside a cell
// is written as a blank, so every row stays on its own line.
#pragma once

#include <string>
#include <vector>

namespace tarvelin {

using TextTableLine = std::vector<std::u16string>;

// The table in UTF-8. rightAligned[i] pads column i in front; missing entries mean left.
std::string FormatTextTable(const std::vector<TextTableLine>& lines,
                            const std::vector<bool>& rightAligned = {});

}  // namespace tarvelin
