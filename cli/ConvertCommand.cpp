// tarvelin-cli convert: from an edit decision list straight to the cue list, as "Öffnen EDL"
// followed by "Rechnen TC" produce it, written as TSV rows, or as the window saves and exports
// it: a text table or a workbook, both with the music report after the list.

#include <array>
#include <iostream>

#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "cli/CueInput.h"
#include "cli/RowsOutput.h"
#include "export/RowsTsv.h"

namespace tarvelin::cli {

namespace {

constexpr std::array<OptionSpec, 5> kConvertOptions = {{
    {"fps", true},
    {"timecode", false},
    {"decimal", true},
    {"format", true},
    {"output", true},
}};

void writeRows(OutputFormat format, const std::optional<std::string>& output,
               const RowsResult& result, const ParsedArgs& parsed)
{
    if (format == OutputFormat::Tsv) {
        WriteOutput(output, FormatRowsTsv(result.rows));
    } else {
        WriteListWithReport(format, output, result.rows, ReportOfRows(result, parsed));
    }
}

}  // namespace

int RunConvert(const std::vector<std::string>& args)
{
    const ParsedArgs parsed = ParseArgs(WithLongOutputOption(args), kConvertOptions);
    RequirePositional(parsed, 1);
    const OutputFormat format = OutputFormatFrom(parsed);
    const std::optional<std::string> output = parsed.value("output");
    DecimalSeparatorFrom(parsed);  // a bad --decimal is a usage error before any input is read

    bool extractionFailed = false;
    const std::u16string cueText = CueLineTextOfEdl(parsed.positional[0], extractionFailed);
    const RowsResult result = ComputeRowsFromArgs(cueText, parsed);
    if (result.failure) {
        // Standard output shows the rows so far; a file is not written from a failed run, so an
        // earlier file of that name stays as it was.
        if (!output) {
            writeRows(format, output, result, parsed);
        }
        ReportFailure(*result.failure);
        return 1;
    }
    writeRows(format, output, result, parsed);
    return extractionFailed ? 1 : 0;
}

}  // namespace tarvelin::cli
