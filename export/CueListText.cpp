#include "export/CueListText.h"

#include <algorithm>
#include <array>

#include "conversion/Text.h"
#include "export/AtomicFile.h"

namespace tarvelin {

namespace {

constexpr std::array<std::u16string_view, 4> kHeader = {u"In", u"Out", u"Länge", u"Music Titles"};
constexpr std::u16string_view kGap = u"  ";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

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

std::array<std::u16string, 4> cellsOf(const CueRow& row)
{
    return {printable(row.in), printable(row.out), printable(row.length),
            printable(TitleForExport(row.title))};
}

void appendLine(std::string& out, const std::array<std::u16string, 4>& cells,
                const std::array<std::size_t, 3>& widths)
{
    std::u16string line;
    for (std::size_t column = 0; column < widths.size(); ++column) {
        line += cells[column];
        line.append(widths[column] - characterCount(cells[column]), u' ');
        line += kGap;
    }
    line += cells[3];
    while (!line.empty() && line.back() == u' ') {
        line.pop_back();
    }
    out += toUtf8(line);
    out += kLineEnd;
}

}  // namespace

std::u16string TitleForExport(const std::u16string& title)
{
    const std::size_t first = title.find_first_not_of(u' ');
    return first == std::u16string::npos ? std::u16string() : title.substr(first);
}

std::string FormatCueListText(const std::vector<CueRow>& rows)
{
    std::vector<std::array<std::u16string, 4>> lines;
    lines.reserve(rows.size() + 1);
    lines.push_back({std::u16string(kHeader[0]), std::u16string(kHeader[1]),
                     std::u16string(kHeader[2]), std::u16string(kHeader[3])});
    for (const CueRow& row : rows) {
        lines.push_back(cellsOf(row));
    }
    std::array<std::size_t, 3> widths{};
    for (const auto& cells : lines) {
        for (std::size_t column = 0; column < widths.size(); ++column) {
            widths[column] = std::max(widths[column], characterCount(cells[column]));
        }
    }
    std::string out;
    for (const auto& cells : lines) {
        appendLine(out, cells, widths);
    }
    return out;
}

void WriteCueListText(const std::filesystem::path& path, const std::vector<CueRow>& rows)
{
    std::string bytes(kByteOrderMark);
    bytes += FormatCueListText(rows);
    WriteFileAtomically(path, bytes);
}

}  // namespace tarvelin
