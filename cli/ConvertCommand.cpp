// tarvelin-cli convert: from an edit decision list straight to the cue list, as "Öffnen EDL"
// followed by "Rechnen TC" produce it, written as TSV rows, a text table or a workbook.

#include <array>
#include <iostream>
#include <utility>

#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "cli/RowsOutput.h"
#include "conversion/EdlPipeline.h"
#include "conversion/Messages.h"
#include "conversion/Text.h"
#include "export/AtomicFile.h"
#include "export/CueListText.h"
#include "export/CueListXlsx.h"
#include "export/RowsTsv.h"

namespace tarvelin::cli {

namespace {

constexpr std::array<OptionSpec, 5> kOptions = {{
    {"fps", true},
    {"timecode", false},
    {"decimal", true},
    {"format", true},
    {"output", true},
}};

enum class Format { Tsv, Text, Xlsx };

Format formatFrom(const ParsedArgs& parsed)
{
    const std::string name = parsed.value("format").value_or("tsv");
    if (name == "tsv") {
        return Format::Tsv;
    }
    if (name == "text") {
        return Format::Text;
    }
    if (name == "xlsx") {
        return Format::Xlsx;
    }
    throw UsageError("Unbekanntes Format: " + name + " (tsv, text oder xlsx)");
}

// "-o FILE" is the short form of "--output FILE".
std::vector<std::string> withLongOutputOption(std::vector<std::string> args)
{
    for (std::string& arg : args) {
        if (arg == "--") {
            break;
        }
        if (arg == "-o") {
            arg = "--output";
        }
    }
    return args;
}

// The cue-line area's text after "Öffnen EDL": the extraction's lines joined with CR LF. A failed
// extraction keeps the lines found before it, as the window does.
std::u16string cueLineTextOf(const std::string& path, bool& extractionFailed)
{
    const CueLineResult cues = OpenEdlFile(path).cues;
    if (cues.extractionFailed) {
        extractionFailed = true;
        std::cerr << toUtf8(kExtractionFailedMessage) << '\n';
    }
    return JoinLinesCrLf(cues.cueLines);
}

void writeRows(Format format, const std::optional<std::string>& output,
               const std::vector<CueRow>& rows)
{
    switch (format) {
        case Format::Tsv:
            if (output) {
                WriteFileAtomically(*output, FormatRowsTsv(rows));
            } else {
                std::cout << FormatRowsTsv(rows);
            }
            break;
        case Format::Text:
            if (output) {
                WriteCueListText(*output, rows);
            } else {
                std::cout << FormatCueListText(rows);
            }
            break;
        case Format::Xlsx:
            WriteCueListXlsx(*output, rows);
            break;
    }
}

}  // namespace

int RunConvert(const std::vector<std::string>& args)
{
    const ParsedArgs parsed = ParseArgs(withLongOutputOption(args), kOptions);
    RequirePositional(parsed, 1);
    const Format format = formatFrom(parsed);
    const std::optional<std::string> output = parsed.value("output");
    if (format == Format::Xlsx && !output) {
        throw UsageError("--format xlsx braucht -o DATEI");
    }
    DecimalSeparatorFrom(parsed);  // a bad --decimal is a usage error before any input is read

    bool extractionFailed = false;
    const std::u16string cueText = cueLineTextOf(parsed.positional[0], extractionFailed);
    const RowsResult result = ComputeRowsFromArgs(cueText, parsed);
    if (result.failure) {
        // Standard output shows the rows so far; a file is not written from a failed run, so an
        // earlier file of that name stays as it was.
        if (!output) {
            writeRows(format, output, result.rows);
        }
        ReportFailure(*result.failure);
        return 1;
    }
    writeRows(format, output, result.rows);
    return extractionFailed ? 1 : 0;
}

}  // namespace tarvelin::cli
