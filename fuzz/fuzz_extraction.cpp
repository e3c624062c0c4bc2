// Fuzz target: what "Öffnen EDL" does after the file is read — decoding (8-bit text, byte-order
// marks, UTF-16, RTF), the eight removals and the extraction of cue lines.
//
// Decoding ends with the buffer's text or a ConversionError, never with a crash. The normalised
// text must keep the buffer's form (its lines, each ended by CR LF again, give the same text),
// the extraction must not fail, every cue line must have the fixed shape (record-in timecode, six
// blanks, record-out timecode, eight blanks, a clip text ending in an audio extension, no line
// break), and the cue lines read back by "Rechnen TC" at a rate of 25 must never fail (two-digit
// fields keep every duration far inside the 32-bit range) and must give one row per cue line, with
// the line's timecodes and as its title the eight separator blanks and the clip text, up to the end
// of an audio extension (an earlier extension inside a name ends the title there).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/AudioExtensions.h"
#include "conversion/ConversionError.h"
#include "conversion/CueRows.h"
#include "conversion/EdlPipeline.h"
#include "conversion/Text.h"

namespace {

bool isTimecode(std::u16string_view text)
{
    if (text.size() != 11) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool digit = text[i] >= u'0' && text[i] <= u'9';
        if (i % 3 == 2 ? text[i] != u':' : !digit) {
            return false;
        }
    }
    return true;
}

bool endsInAudioExtension(std::u16string_view text)
{
    for (std::u16string_view extension : tarvelin::kAudioExtensions) {
        if (text.ends_with(extension)) {
            return true;
        }
    }
    return false;
}

bool isCueLine(std::u16string_view line)
{
    constexpr std::size_t kClipStart = 36;
    return line.size() >= kClipStart + 5 && isTimecode(line.substr(0, 11)) &&
           line.substr(11, 6) == u"      " && isTimecode(line.substr(17, 11)) &&
           line.substr(28, 8) == u"        " &&
           line.find_first_of(u"\r\n") == std::u16string_view::npos &&
           endsInAudioExtension(line.substr(kClipStart));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    tarvelin::OpenedEdl opened;
    try {
        opened = tarvelin::OpenEdlBytes(bytes);
    } catch (const tarvelin::ConversionError&) {
        return 0;
    }
    if (tarvelin::JoinLinesCrLf(tarvelin::SplitLines(opened.workText)) != opened.workText ||
        opened.cues.extractionFailed) {
        std::abort();
    }

    std::u16string cueText;
    for (const std::u16string& line : opened.cues.cueLines) {
        if (!isCueLine(line)) {
            std::abort();
        }
        cueText += line;
        cueText += u"\r\n";
    }
    const std::vector<std::u16string>& cueLines = opened.cues.cueLines;
    tarvelin::VectorCueRowList rows;
    tarvelin::ComputeCueRows(cueText, u"25", true, u',', rows);
    if (rows.rows.size() != cueLines.size()) {
        std::abort();
    }
    for (std::size_t i = 0; i < cueLines.size(); ++i) {
        const std::u16string_view line = cueLines[i];
        const tarvelin::CueRow& row = rows.rows[i];
        if (row.in != line.substr(0, 11) || row.out != line.substr(17, 11) ||
            !line.substr(28).starts_with(row.title) || !endsInAudioExtension(row.title)) {
            std::abort();
        }
    }
    return 0;
}
