// tarvelin-cli rows: cue rows from cue-line text, as "Rechnen TC" computes them.

#include <array>
#include <iostream>

#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "cli/CueInput.h"
#include "cli/RowsOutput.h"
#include "export/RowsTsv.h"

namespace tarvelin::cli {

namespace {

constexpr std::array<OptionSpec, 3> kRowsOptions = {{
    {"fps", true},
    {"timecode", false},
    {"decimal", true},
}};

}  // namespace

int RunRows(const std::vector<std::string>& args)
{
    const ParsedArgs parsed = ParseArgs(args, kRowsOptions);
    if (parsed.positional.size() > 1) {
        RequirePositional(parsed, 1);
    }
    DecimalSeparatorFrom(parsed);  // a bad --decimal is a usage error before any input is read
    const std::u16string text =
        ReadCueLineInput(parsed.positional.empty() ? "-" : parsed.positional[0]);
    const RowsResult result = ComputeRowsFromArgs(text, parsed);
    std::cout << FormatRowsTsv(result.rows);
    if (result.failure) {
        ReportFailure(*result.failure);
        return 1;
    }
    return 0;
}

}  // namespace tarvelin::cli
