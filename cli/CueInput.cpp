#include "cli/CueInput.h"

#include <iostream>
#include <utility>
#include <vector>

#include "cli/CliSupport.h"
#include "conversion/ConversionError.h"
#include "conversion/EdlLoader.h"
#include "conversion/EdlPipeline.h"
#include "conversion/Messages.h"
#include "conversion/Text.h"
#include "export/RowsTsv.h"

namespace tarvelin::cli {

namespace {

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

}  // namespace

std::string ReadInputBytes(const std::string& path)
{
    return path == "-" ? readStandardInput() : ReadInputFile(path);
}

std::u16string ReadCueLineInput(const std::string& path)
{
    const std::u16string text = CueLineTextFromUtf8(ReadInputBytes(path));
    if (text.size() > kTextCapacity) {
        throw ConversionError(std::u16string(kTooLargeMessage));
    }
    return text;
}

std::u16string CueLineTextOfEdl(const std::string& path, bool& extractionFailed)
{
    const CueLineResult cues =
        (path == "-" ? OpenEdlBytes(readStandardInput()) : OpenEdlFile(path)).cues;
    if (cues.extractionFailed) {
        extractionFailed = true;
        std::cerr << toUtf8(kExtractionFailedMessage) << '\n';
    }
    return JoinLinesCrLf(cues.cueLines);
}

}  // namespace tarvelin::cli
