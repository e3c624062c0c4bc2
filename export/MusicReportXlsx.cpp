#include "export/MusicReportXlsx.h"

#include <algorithm>
#include <array>

#include "conversion/Text.h"

namespace tarvelin {

namespace {

constexpr std::size_t kMaxCellCharacters = 32767;
constexpr double kSecondsPerDay = 86400;
constexpr std::array<const char*, 12> kUsesHeader = {
    "Nr",        "Titel",       "Datei",      "In",     "Out",        "Dauer",
    "Komponist", "Textdichter", "Bearbeiter", "Verlag", "Archiv-Nr.", "Nutzungsart"};
constexpr std::array<const char*, 4> kTotalsHeader = {"Titel", "Datei", "Einsätze", "Gesamtdauer"};
constexpr double kMinNameWidth = 12;
constexpr double kMaxNameWidth = 60;
constexpr double kTimecodeWidth = 13;
constexpr double kDurationWidth = 12;
constexpr double kDetailWidth = 16;

struct Formats {
    lxw_format* header;
    lxw_format* text;
    lxw_format* number;
    lxw_format* duration;
    lxw_format* boldText;
    lxw_format* boldNumber;
    lxw_format* boldDuration;
};

Formats formatsOf(lxw_workbook* book)
{
    const auto make = [book](const char* numberFormat, bool bold) {
        lxw_format* format = workbook_add_format(book);
        format_set_num_format(format, numberFormat);
        if (bold) {
            format_set_bold(format);
        }
        return format;
    };
    return {make("@", true), make("@", false), make("0", false),     make("[mm]:ss", false),
            make("@", true), make("0", true),  make("[mm]:ss", true)};
}

double nameWidth(std::size_t longest)
{
    return std::clamp(static_cast<double>(longest) + 2, kMinNameWidth, kMaxNameWidth);
}

// Writes cells of one sheet and remembers whether every write succeeded.
class SheetWriter {
public:
    explicit SheetWriter(lxw_worksheet* sheet) : m_sheet(sheet), m_ok(sheet != nullptr) {}

    void text(lxw_row_t row, lxw_col_t column, std::u16string_view value, lxw_format* format)
    {
        const std::string cell = XlsxCellText(value);
        m_ok = m_ok &&
               worksheet_write_string(m_sheet, row, column, cell.c_str(), format) == LXW_NO_ERROR;
    }
    void number(lxw_row_t row, lxw_col_t column, double value, lxw_format* format)
    {
        m_ok = m_ok && worksheet_write_number(m_sheet, row, column, value, format) == LXW_NO_ERROR;
    }
    template <std::size_t N>
    void header(const std::array<const char*, N>& names, lxw_format* format)
    {
        for (lxw_col_t column = 0; column < N; ++column) {
            m_ok = m_ok && worksheet_write_string(m_sheet, 0, column, names[column], format) ==
                               LXW_NO_ERROR;
        }
        worksheet_freeze_panes(m_sheet, 1, 0);
    }
    void width(lxw_col_t first, lxw_col_t last, double value)
    {
        m_ok = m_ok && worksheet_set_column(m_sheet, first, last, value, nullptr) == LXW_NO_ERROR;
    }
    bool ok() const { return m_ok; }

private:
    lxw_worksheet* m_sheet;
    bool m_ok;
};

bool writeUses(lxw_workbook* book, const Formats& formats, const MusicReportOutcome& outcome)
{
    SheetWriter sheet(workbook_add_worksheet(book, "Musikfolge"));
    sheet.header(kUsesHeader, formats.header);
    std::size_t longestTitle = 0;
    std::size_t longestName = 0;
    lxw_row_t row = 1;
    if (outcome.report) {
        for (const ReportUse& use : outcome.report->uses) {
            sheet.number(row, 0, use.number, formats.number);
            sheet.text(row, 1, use.title, formats.text);
            sheet.text(row, 2, use.fileName, formats.text);
            sheet.text(row, 3, use.in, formats.text);
            sheet.text(row, 4, use.out, formats.text);
            sheet.number(row, 5, static_cast<double>(use.seconds) / kSecondsPerDay,
                         formats.duration);
            longestTitle = std::max(longestTitle, use.title.size());
            longestName = std::max(longestName, use.fileName.size());
            ++row;
        }
        if (outcome.report->skippedRows > 0) {
            sheet.text(row + 1, 0, SkippedRowsNote(outcome.report->skippedRows), nullptr);
        }
    } else {
        sheet.text(row, 0, outcome.reason, nullptr);
    }
    sheet.width(0, 0, 6);
    sheet.width(1, 1, nameWidth(longestTitle));
    sheet.width(2, 2, nameWidth(longestName));
    sheet.width(3, 4, kTimecodeWidth);
    sheet.width(5, 5, kDurationWidth);
    sheet.width(6, static_cast<lxw_col_t>(kUsesHeader.size() - 1), kDetailWidth);
    return sheet.ok();
}

bool writeTotals(lxw_workbook* book, const Formats& formats, const MusicReportOutcome& outcome)
{
    SheetWriter sheet(workbook_add_worksheet(book, "Summen"));
    sheet.header(kTotalsHeader, formats.header);
    std::size_t longestTitle = 6;
    std::size_t longestName = 0;
    lxw_row_t row = 1;
    if (outcome.report) {
        const MusicReport& report = *outcome.report;
        for (const ReportTotal& total : report.totals) {
            sheet.text(row, 0, total.title, formats.text);
            sheet.text(row, 1, total.fileName, formats.text);
            sheet.number(row, 2, total.uses, formats.number);
            sheet.number(row, 3, static_cast<double>(total.seconds) / kSecondsPerDay,
                         formats.duration);
            longestTitle = std::max(longestTitle, total.title.size());
            longestName = std::max(longestName, total.fileName.size());
            ++row;
        }
        sheet.text(row, 0, u"Gesamt", formats.boldText);
        sheet.number(row, 2, report.totalUses, formats.boldNumber);
        sheet.number(row, 3, static_cast<double>(report.totalSeconds) / kSecondsPerDay,
                     formats.boldDuration);
    } else {
        sheet.text(row, 0, outcome.reason, nullptr);
    }
    sheet.width(0, 0, nameWidth(longestTitle));
    sheet.width(1, 1, nameWidth(longestName));
    sheet.width(2, 2, 10);
    sheet.width(3, 3, kDurationWidth);
    return sheet.ok();
}

}  // namespace

std::string XlsxCellText(std::u16string_view text)
{
    std::size_t units = 0;
    std::size_t characters = 0;
    while (units < text.size() && characters < kMaxCellCharacters) {
        const bool pair = text[units] >= 0xD800 && text[units] <= 0xDBFF &&
                          units + 1 < text.size() && text[units + 1] >= 0xDC00 &&
                          text[units + 1] <= 0xDFFF;
        units += pair ? 2 : 1;
        ++characters;
    }
    return toUtf8(text.substr(0, units));
}

bool AddMusicReportSheets(lxw_workbook* book, const MusicReportOutcome& outcome)
{
    const Formats formats = formatsOf(book);
    const bool uses = writeUses(book, formats, outcome);
    return writeTotals(book, formats, outcome) && uses;
}

}  // namespace tarvelin
