#include "export/CueListXlsx.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <string>

#include "conversion/FileBytes.h"
#include "conversion/Text.h"
#include "export/AtomicFile.h"
#include "export/CueListText.h"
#include "export/MusicReportXlsx.h"

namespace tarvelin {

namespace {

constexpr std::array<const char*, 4> kHeader = {"In", "Out", "Länge", "Music Titles"};
constexpr double kTimecodeColumnWidth = 13;
constexpr double kMinTitleWidth = 30;
constexpr double kMaxTitleWidth = 90;

// Closes the workbook on every path; libxlsxwriter writes the file on close.
class Workbook {
public:
    explicit Workbook(const std::filesystem::path& path) : m_book(workbook_new(path.c_str())) {}
    ~Workbook()
    {
        if (m_book != nullptr) {
            workbook_close(m_book);
        }
    }
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    lxw_workbook* get() const { return m_book; }
    bool close()
    {
        const lxw_error result = workbook_close(m_book);
        m_book = nullptr;
        return result == LXW_NO_ERROR;
    }

private:
    lxw_workbook* m_book;
};

// The workbook with the cue list's sheet and, when report is given, the report's sheets.
void writeWorkbook(const std::filesystem::path& path, const std::vector<CueRow>& rows,
                   const MusicReportOutcome* report)
{
    AtomicFileReplacement target(path);
    if (rows.size() + 1 > LXW_ROW_MAX) {
        target.Fail(u"Die Liste hat mehr Zeilen, als ein Tabellenblatt aufnehmen kann.");
    }
    Workbook book(target.tempPath());
    lxw_worksheet* sheet =
        book.get() != nullptr ? workbook_add_worksheet(book.get(), "Ausgang GEMA VB") : nullptr;
    if (sheet == nullptr) {
        target.Fail(u"Die Arbeitsmappe konnte nicht angelegt werden.");
    }
    lxw_format* text = workbook_add_format(book.get());
    format_set_num_format(text, "@");
    lxw_format* header = workbook_add_format(book.get());
    format_set_num_format(header, "@");
    format_set_bold(header);

    bool ok = true;
    for (lxw_col_t column = 0; column < kHeader.size(); ++column) {
        ok =
            ok && worksheet_write_string(sheet, 0, column, kHeader[column], header) == LXW_NO_ERROR;
    }
    std::size_t longestTitle = 0;
    for (std::size_t i = 0; ok && i < rows.size(); ++i) {
        const CueRow& row = rows[i];
        const auto line = static_cast<lxw_row_t>(i + 1);
        const std::u16string title = TitleForExport(row.title);
        longestTitle = std::max(longestTitle, title.size());
        const std::array<std::string, 4> cells = {XlsxCellText(row.in), XlsxCellText(row.out),
                                                  XlsxCellText(row.length), XlsxCellText(title)};
        for (lxw_col_t column = 0; ok && column < cells.size(); ++column) {
            ok = worksheet_write_string(sheet, line, column, cells[column].c_str(), text) ==
                 LXW_NO_ERROR;
        }
    }
    const double titleWidth =
        std::clamp(static_cast<double>(longestTitle) + 2, kMinTitleWidth, kMaxTitleWidth);
    ok = ok && worksheet_set_column(sheet, 0, 2, kTimecodeColumnWidth, text) == LXW_NO_ERROR &&
         worksheet_set_column(sheet, 3, 3, titleWidth, text) == LXW_NO_ERROR;
    worksheet_freeze_panes(sheet, 1, 0);
    ok = ok && (report == nullptr || AddMusicReportSheets(book.get(), *report));
    errno = 0;
    const bool closed = book.close();
    const int error = errno;
    if (!closed || !ok) {
        target.Fail(error != 0 ? SystemErrorText(error) : std::u16string(u"Schreibfehler."));
    }
    target.Commit();
}

}  // namespace

void WriteCueListXlsx(const std::filesystem::path& path, const std::vector<CueRow>& rows)
{
    writeWorkbook(path, rows, nullptr);
}

void WriteCueListXlsx(const std::filesystem::path& path, const std::vector<CueRow>& rows,
                      const MusicReportOutcome& report)
{
    writeWorkbook(path, rows, &report);
}

}  // namespace tarvelin
