#include "cli/RowsOutput.h"

#include <cstdlib>
#include <iostream>

#include "conversion/ConversionError.h"
#include "conversion/Text.h"
#include "export/AtomicFile.h"
#include "export/CueListText.h"
#include "export/CueListXlsx.h"
#include "export/RowsTsv.h"

namespace tarvelin::cli {

char16_t DecimalSeparatorForLocale(std::string_view localeName)
{
    const bool german =
        localeName.starts_with("de") && (localeName.size() == 2 || localeName[2] == '_' ||
                                         localeName[2] == '.' || localeName[2] == '@');
    return german ? u',' : u'.';
}

char16_t DecimalSeparatorFrom(const ParsedArgs& parsed)
{
    if (const auto given = parsed.value("decimal")) {
        const std::u16string separator = fromUtf8(*given);
        if (separator.size() != 1) {
            throw UsageError("--decimal braucht genau ein Zeichen");
        }
        return separator[0];
    }
    for (const char* variable : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') {
            return DecimalSeparatorForLocale(value);
        }
    }
    return u'.';
}

namespace {

std::u16string rateOf(const ParsedArgs& parsed)
{
    return fromUtf8(parsed.value("fps").value_or("25"));
}

}  // namespace

RowsResult ComputeRowsFromArgs(std::u16string_view cueText, const ParsedArgs& parsed)
{
    const std::u16string rate = rateOf(parsed);
    const char16_t separator = DecimalSeparatorFrom(parsed);
    VectorCueRowList list;
    RowsResult result;
    try {
        ComputeCueRows(cueText, rate, !parsed.has("timecode"), separator, list);
    } catch (const ConversionError& error) {
        result.failure = error.message();
    }
    result.rows = std::move(list.rows);
    return result;
}

MusicReportOutcome ReportOfRows(const RowsResult& result, const ParsedArgs& parsed,
                                double gapSeconds)
{
    std::vector<CueRow> completed = result.rows;
    if (result.failure && !completed.empty()) {
        completed.pop_back();  // the failing row holds In and Out only
    }
    return TryBuildMusicReport(completed, rateOf(parsed), DecimalSeparatorFrom(parsed), gapSeconds);
}

void WriteListWithReport(OutputFormat format, const std::optional<std::string>& output,
                         const std::vector<CueRow>& rows, const MusicReportOutcome& report)
{
    if (format == OutputFormat::Xlsx) {
        WriteCueListXlsx(*output, rows, report);
    } else if (output) {
        WriteCueListText(*output, rows, report);
    } else {
        std::cout << FormatCueListText(rows, report);
    }
}

void WriteOutput(const std::optional<std::string>& output, const std::string& bytes)
{
    if (output) {
        WriteFileAtomically(*output, bytes);
    } else {
        std::cout << bytes;
    }
}

void ReportFailure(const std::u16string& message)
{
    std::cout.flush();
    std::cerr << toUtf8(WithFullStop(message)) << '\n';
}

}  // namespace tarvelin::cli
