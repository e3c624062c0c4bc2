// What "rows", "convert" and "report" of tarvelin-cli share: the decimal separator, running the
// cue list computation, the music report of its rows and reporting a failure the way the
// window's error box does.
//
// The separator comes from --decimal, or else from the environment's locale (LC_ALL, then
// LC_NUMERIC, then LANG, the first one set): "," for a German locale (de, de_DE, de_AT, ...),
// "." for every other (C, POSIX, en_US, ...). Nothing here parses files or writes them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CliSupport.h"
#include "conversion/CueRows.h"
#include "export/MusicReportText.h"

namespace tarvelin::cli {

// The separator a locale name stands for ("de_DE.UTF-8" -> ',', "C" -> '.').
char16_t DecimalSeparatorForLocale(std::string_view localeName);

// --decimal SEP (exactly one character), else the environment's locale. Throws UsageError.
char16_t DecimalSeparatorFrom(const ParsedArgs& parsed);

struct RowsResult {
    std::vector<CueRow> rows;
    std::optional<std::u16string> failure;  // the message of the failure that ended the run
};

// ComputeCueRows with --fps (default "25") and --timecode from the command line.
RowsResult ComputeRowsFromArgs(std::u16string_view cueText, const ParsedArgs& parsed);

// The music report of the rows a computation completed (those before a failing row), at the rate
// of --fps and with the separator of the command line.
MusicReportOutcome ReportOfRows(const RowsResult& result, const ParsedArgs& parsed,
                                double gapSeconds = kDefaultReportGapSeconds);

// The window's files: the cue list with the music report after it as a text table (to the
// --output file with a byte-order mark, or to standard output) or as a workbook (--output).
void WriteListWithReport(OutputFormat format, const std::optional<std::string>& output,
                         const std::vector<CueRow>& rows, const MusicReportOutcome& report);

// Writes bytes to the --output file (replacing it atomically) or else to standard output.
void WriteOutput(const std::optional<std::string>& output, const std::string& bytes);

// Writes the message to standard error with the full stop the error box appends.
void ReportFailure(const std::u16string& message);

}  // namespace tarvelin::cli
