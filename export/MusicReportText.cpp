#include "export/MusicReportText.h"

#include "conversion/ConversionError.h"
#include "conversion/Text.h"
#include "export/RowsTsv.h"
#include "export/TextTable.h"

namespace tarvelin {

namespace {

constexpr std::string_view kTextLineEnd = "\r\n";

std::u16string decimal(std::int64_t value)
{
    const std::string text = std::to_string(value);
    return std::u16string(text.begin(), text.end());
}

void appendTsvLine(std::string& out, const std::vector<std::u16string>& cells)
{
    std::u16string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) {
            line += u'\t';
        }
        line += EscapeTsvCell(cells[i]);
    }
    out += toUtf8(line);
    out += '\n';
}

}  // namespace

MusicReportOutcome TryBuildMusicReport(const std::vector<CueRow>& rows,
                                       std::u16string_view rateText, char16_t decimalSeparator,
                                       double gapSeconds)
{
    MusicReportOutcome outcome;
    try {
        outcome.report = BuildMusicReport(rows, rateText, decimalSeparator, gapSeconds);
    } catch (const ConversionError& error) {
        outcome.reason = error.message();
    }
    return outcome;
}

std::string FormatMusicReportTsv(const MusicReport& report)
{
    std::string out;
    appendTsvLine(out, {u"Nr", u"Titel", u"Datei", u"In", u"Out", u"Dauer", u"Sekunden"});
    for (const ReportUse& use : report.uses) {
        appendTsvLine(out, {decimal(use.number), use.title, use.fileName, use.in, use.out,
                            FormatReportDuration(use.seconds), decimal(use.seconds)});
    }
    out += '\n';
    appendTsvLine(out, {u"Titel", u"Datei", u"Einsätze", u"Gesamtdauer", u"Sekunden"});
    for (const ReportTotal& total : report.totals) {
        appendTsvLine(out, {total.title, total.fileName, decimal(total.uses),
                            FormatReportDuration(total.seconds), decimal(total.seconds)});
    }
    appendTsvLine(out, {u"Gesamt", u"", decimal(report.totalUses),
                        FormatReportDuration(report.totalSeconds), decimal(report.totalSeconds)});
    return out;
}

std::string FormatMusicReportText(const MusicReportOutcome& outcome)
{
    std::string out(kTextLineEnd);
    if (!outcome.report) {
        out += toUtf8(outcome.reason);
        out += kTextLineEnd;
        return out;
    }
    const MusicReport& report = *outcome.report;
    std::vector<TextTableLine> uses = {{u"Nr", u"Titel", u"In", u"Out", u"Dauer"}};
    for (const ReportUse& use : report.uses) {
        uses.push_back(
            {decimal(use.number), use.title, use.in, use.out, FormatReportDuration(use.seconds)});
    }
    out += FormatTextTable(uses, {true, false, false, false, true});
    if (report.skippedRows > 0) {
        out += toUtf8(SkippedRowsNote(report.skippedRows));
        out += kTextLineEnd;
    }
    out += kTextLineEnd;
    std::vector<TextTableLine> totals = {{u"Titel", u"Einsätze", u"Gesamtdauer"}};
    for (const ReportTotal& total : report.totals) {
        totals.push_back({total.title, decimal(total.uses), FormatReportDuration(total.seconds)});
    }
    totals.push_back(
        {u"Gesamt", decimal(report.totalUses), FormatReportDuration(report.totalSeconds)});
    out += FormatTextTable(totals, {false, true, true});
    return out;
}

}  // namespace tarvelin
