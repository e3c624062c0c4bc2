#include "export/CueListText.h"

#include "export/AtomicFile.h"
#include "export/TextTable.h"

namespace tarvelin {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

std::u16string TitleForExport(const std::u16string& title)
{
    const std::size_t first = title.find_first_not_of(u' ');
    return first == std::u16string::npos ? std::u16string() : title.substr(first);
}

std::string FormatCueListText(const std::vector<CueRow>& rows)
{
    std::vector<TextTableLine> lines;
    lines.reserve(rows.size() + 1);
    lines.push_back({u"In", u"Out", u"Länge", u"Music Titles"});
    for (const CueRow& row : rows) {
        lines.push_back({row.in, row.out, row.length, TitleForExport(row.title)});
    }
    return FormatTextTable(lines);
}

std::string FormatCueListText(const std::vector<CueRow>& rows, const MusicReportOutcome& report)
{
    return FormatCueListText(rows) + FormatMusicReportText(report);
}

void WriteCueListText(const std::filesystem::path& path, const std::vector<CueRow>& rows)
{
    WriteFileAtomically(path, std::string(kByteOrderMark) + FormatCueListText(rows));
}

void WriteCueListText(const std::filesystem::path& path, const std::vector<CueRow>& rows,
                      const MusicReportOutcome& report)
{
    WriteFileAtomically(path, std::string(kByteOrderMark) + FormatCueListText(rows, report));
}

}  // namespace tarvelin
