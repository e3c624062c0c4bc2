#include "conversion/EdlPipeline.h"

#include <utility>

#include "conversion/ConversionError.h"
#include "conversion/CueLineExtraction.h"
#include "conversion/EdlLoader.h"
#include "conversion/EdlNormalizer.h"

namespace tarvelin {

namespace {

// A usual list (8-bit, CR LF breaks) is normalised as bytes and decoded afterwards: the removals
// cut the same texts there at half the memory traffic, and the decoding has less to write.
OpenedEdl openBytes(std::string bytes)
{
    if (!CompleteEightBitBufferText(bytes)) return OpenEdlText(DecodeEdlText(bytes));
    NormalizeEdlBytes(bytes);
    OpenedEdl opened{DecodeWindows1252(bytes), {}};
    std::string().swap(bytes);
    opened.cues = ExtractCueLinesFrom(opened.workText);
    return opened;
}

}  // namespace

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
    std::string copy;
    copy.reserve(bytes.size() + 2);  // room for a final CR LF
    copy = bytes;
    return openBytes(std::move(copy));
}

OpenedEdl OpenEdlFile(const std::string& path)
{
    return openBytes(ReadEdlBytes(path));
}

}  // namespace tarvelin
