#include "export/TextTable.h"

#include <algorithm>

#include "conversion/Text.h"

namespace tarvelin {

namespace {

constexpr std::u16string_view kGap = u"  ";
constexpr std::string_view kLineEnd = "\r\n";

// Characters as a reader counts them: a surrogate pair is one character.
std::size_t characterCount(std::u16string_view text)
{
    return static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char16_t c) { return c < 0xDC00 || c > 0xDFFF; }));
}

std::u16string printable(std::u16string_view cell)
{
    std::u16string out(cell);
    std::replace_if(
        out.begin(), out.end(),
        [](char16_t c) { return c < 0x20 || c == 0x7F || c == 0x2028 || c == 0x2029; }, u' ');
    return out;
}

}  // namespace

std::string FormatTextTable(const std::vector<TextTableLine>& lines,
                            const std::vector<bool>& rightAligned)
{
    std::vector<TextTableLine> cells;
    cells.reserve(lines.size());
    std::vector<std::size_t> widths;
    for (const TextTableLine& line : lines) {
        TextTableLine& shown = cells.emplace_back();
        for (std::size_t column = 0; column < line.size(); ++column) {
            shown.push_back(printable(line[column]));
            if (widths.size() <= column) {
                widths.resize(column + 1);
            }
            widths[column] = std::max(widths[column], characterCount(shown.back()));
        }
    }
    std::string out;
    for (const TextTableLine& line : cells) {
        std::u16string text;
        for (std::size_t column = 0; column < line.size(); ++column) {
            const bool last = column + 1 == line.size() && column + 1 == widths.size();
            const std::size_t padding = widths[column] - characterCount(line[column]);
            const bool right = column < rightAligned.size() && rightAligned[column];
            if (right) {
                text.append(padding, u' ');
            }
            text += line[column];
            if (!right && !last) {
                text.append(padding, u' ');
            }
            if (column + 1 < line.size()) {
                text += kGap;
            }
        }
        while (!text.empty() && text.back() == u' ') {
            text.pop_back();
        }
        out += toUtf8(text);
        out += kLineEnd;
    }
    return out;
}

}  // namespace tarvelin
