// tarvelin-cli extract: the cue lines of an edit decision list, as "Öffnen EDL" produces them.

#include <iostream>

#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "conversion/EdlPipeline.h"
#include "conversion/Messages.h"
#include "conversion/Text.h"

namespace tarvelin::cli {

int RunExtract(const std::vector<std::string>& args)
{
    const ParsedArgs parsed = ParseArgs(args, std::span<const OptionSpec>());
    RequirePositional(parsed, 1);

    const CueLineResult cues = OpenEdlFile(parsed.positional[0]).cues;
    WriteLinesUtf8(std::cout, cues.cueLines);
    std::cout.flush();
    if (cues.extractionFailed) {
        std::cerr << toUtf8(kExtractionFailedMessage) << '\n';
    }
    std::cerr << "Anzahl Titel: " << cues.cueLines.size() << '\n';
    return cues.extractionFailed ? 1 : 0;
}

}  // namespace tarvelin::cli
