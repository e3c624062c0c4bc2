// tarvelin-cli report: the music report (Musikfolge) of an edit decision list or of cue lines,
// as TSV, or as the window saves and exports it (the cue list followed by the report).

#include <array>
#include <iostream>

#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "cli/CueInput.h"
#include "cli/RowsOutput.h"
#include "conversion/ConversionError.h"
#include "conversion/Text.h"
#include "conversion/Timecode.h"
#include "export/MusicReportText.h"

namespace tarvelin::cli {

namespace {

constexpr std::array<OptionSpec, 6> kReportOptions = {{
    {"fps", true},
    {"decimal", true},
    {"gap", true},
    {"cues", false},
    {"format", true},
    {"output", true},
}};

// --gap SECONDS, read like the rate with the command line's decimal separator, at least 0.
double gapFrom(const ParsedArgs& parsed, char16_t separator)
{
    const auto text = parsed.value("gap");
    if (!text) {
        return kDefaultReportGapSeconds;
    }
    double gap = -1;
    try {
        gap = ReadRate(fromUtf8(*text), separator);
    } catch (const ConversionError&) {
    }
    if (!(gap >= 0)) {
        throw UsageError("--gap braucht eine Zahl von Sekunden ab 0, nicht: " + *text);
    }
    return gap;
}

void writeReport(OutputFormat format, const std::optional<std::string>& output,
                 const RowsResult& result, const MusicReportOutcome& outcome)
{
    if (format == OutputFormat::Tsv) {
        WriteOutput(output, FormatMusicReportTsv(*outcome.report));
    } else {
        WriteListWithReport(format, output, result.rows, outcome);
    }
}

}  // namespace

int RunReport(const std::vector<std::string>& args)
{
    const ParsedArgs parsed = ParseArgs(WithLongOutputOption(args), kReportOptions);
    RequirePositional(parsed, 1);
    const OutputFormat format = OutputFormatFrom(parsed);
    const std::optional<std::string> output = parsed.value("output");
    const double gap = gapFrom(parsed, DecimalSeparatorFrom(parsed));

    bool extractionFailed = false;
    const std::string& input = parsed.positional[0];
    const std::u16string cueText =
        parsed.has("cues") ? ReadCueLineInput(input) : CueLineTextOfEdl(input, extractionFailed);
    const RowsResult result = ComputeRowsFromArgs(cueText, parsed);
    const MusicReportOutcome outcome = ReportOfRows(result, parsed, gap);
    if (result.failure) {
        // The report of the rows before the failing one goes to standard output; a file is not
        // written from a failed run.
        if (!output && outcome.report) {
            writeReport(format, output, result, outcome);
        }
        ReportFailure(*result.failure);
        return 1;
    }
    if (!outcome.report) {
        ReportFailure(outcome.reason);
        return 1;
    }
    writeReport(format, output, result, outcome);
    return extractionFailed ? 1 : 0;
}

}  // namespace tarvelin::cli
