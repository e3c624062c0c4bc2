// Fuzz target: the EDL loader on raw file bytes (8-bit text, byte-order marks, UTF-16, RTF).
//
// Decoding must end with lines or a ConversionError, never with a crash, and the two ways of
// decoding (lines, or one CR LF text) must agree, because the window and the command-line tool
// use different ones on the same file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "conversion/ConversionError.h"
#include "conversion/EdlLoader.h"
#include "conversion/EdlNormalizer.h"
#include "conversion/RtfText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        const auto lines = tarvelin::DecodeEdlBytes(bytes);
        const std::u16string text = tarvelin::DecodeEdlText(bytes);
        if (tarvelin::JoinLinesCrLf(lines) != text) {
            std::abort();
        }
        for (const std::u16string& line : lines) {
            if (line.find_first_of(u"\r\n") != std::u16string::npos) {
                std::abort();
            }
        }
        if (tarvelin::SplitLines(text) != lines || tarvelin::ResplitCrLf(text) != text) {
            std::abort();
        }
    } catch (const tarvelin::ConversionError&) {
    }
    if (tarvelin::IsRtfDocument(bytes)) {
        (void)tarvelin::RtfToText(bytes);
    }
    return 0;
}
