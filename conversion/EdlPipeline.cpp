#include "conversion/EdlPipeline.h"

#include <utility>

#include "conversion/ConversionError.h"
#include "conversion/CueLineExtraction.h"
#include "conversion/EdlLoader.h"
#include "conversion/EdlNormalizer.h"

namespace tarvelin {

CueLineResult ExtractCueLinesFrom(std::u16string_view workText)
{
    CueLineResult result;
    try {
        ExtractCueLines(workText, result.cueLines);
    } catch (const ConversionError&) {
        result.extractionFailed = true;
    }
    return result;
}

OpenedEdl OpenEdlText(std::u16string bufferText)
{
    OpenedEdl opened{std::move(bufferText), {}};
    NormalizeEdlText(opened.workText);
    opened.cues = ExtractCueLinesFrom(opened.workText);
    return opened;
}

OpenedEdl OpenEdlBytes(std::string_view bytes)
{
    return OpenEdlText(DecodeEdlText(bytes));
}

OpenedEdl OpenEdlFile(const std::string& path)
{
    return OpenEdlText(LoadEdlText(path));
}

}  // namespace tarvelin
