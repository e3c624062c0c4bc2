// tarvelin-cli rows: cue rows from cue-line text, as "Rechnen TC" computes them.

#include <array>
#include <iostream>
#include <iterator>

#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "cli/RowsOutput.h"
#include "conversion/ConversionError.h"
#include "conversion/EdlLoader.h"
#include "export/RowsTsv.h"

namespace tarvelin::cli {

namespace {

constexpr std::array<OptionSpec, 3> kOptions = {{
    {"fps", true},
    {"timecode", false},
    {"decimal", true},
}};

// The whole of standard input, refused beyond the size a file may have.
std::string readStandardInput()
{
    const std::size_t limit = 4 * kTextCapacity;
    std::string bytes;
    char buffer[65536];
    while (std::cin.read(buffer, sizeof buffer) || std::cin.gcount() > 0) {
        bytes.append(buffer, static_cast<std::size_t>(std::cin.gcount()));
        if (bytes.size() > limit) {
            throw ConversionError(std::u16string(kTooLargeMessage));
        }
    }
    return bytes;
}

// The cue-line text of a file, or of standard input for "-".
std::u16string readCueLineInput(const std::string& path)
{
    const std::u16string text =
        CueLineTextFromUtf8(path == "-" ? readStandardInput() : ReadInputFile(path));
    if (text.size() > kTextCapacity) {
        throw ConversionError(std::u16string(kTooLargeMessage));
    }
    return text;
}

}  // namespace

int RunRows(const std::vector<std::string>& args)
{
    const ParsedArgs parsed = ParseArgs(args, kOptions);
    if (parsed.positional.size() > 1) {
        RequirePositional(parsed, 1);
    }
    DecimalSeparatorFrom(parsed);  // a bad --decimal is a usage error before any input is read
    const std::u16string text =
        readCueLineInput(parsed.positional.empty() ? "-" : parsed.positional[0]);
    const RowsResult result = ComputeRowsFromArgs(text, parsed);
    std::cout << FormatRowsTsv(result.rows);
    if (result.failure) {
        ReportFailure(*result.failure);
        return 1;
    }
    return 0;
}

}  // namespace tarvelin::cli
