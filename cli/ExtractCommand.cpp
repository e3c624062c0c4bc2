// tarvelin-cli extract: the cue lines of an edit decision list, as "Öffnen EDL" produces them.

#include <array>
#include <iostream>
#include <utility>

#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "conversion/ConversionError.h"
#include "conversion/CueLineExtraction.h"
#include "conversion/EdlLoader.h"
#include "conversion/EdlNormalizer.h"

namespace tarvelin::cli {

int RunExtract(const std::vector<std::string>& args)
{
    const ParsedArgs parsed = ParseArgs(args, std::span<const OptionSpec>());
    RequirePositional(parsed, 1);

    // The buffer's text with CR LF line ends, normalised, split into lines and joined again:
    // exactly the subject the window searches.
    std::u16string workText = LoadEdlText(parsed.positional[0]);
    NormalizeEdlText(workText);
    workText = ResplitCrLf(std::move(workText));

    std::vector<std::u16string> cueLines;
    int exitCode = 0;
    try {
        ExtractCueLines(workText, cueLines);
    } catch (const ConversionError&) {
        exitCode = 1;
    }
    WriteLinesUtf8(std::cout, cueLines);
    std::cout.flush();
    if (exitCode != 0) {
        std::cerr << "Error: Falsche Format\n";
    }
    std::cerr << "Anzahl Titel: " << cueLines.size() << '\n';
    return exitCode;
}

}  // namespace tarvelin::cli
