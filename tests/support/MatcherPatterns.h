// The conversion's two fixed patterns, as the tests and benchmarks of the matcher use them.
//
// One place for both texts, so the reference engines and the program's matcher are always fed
// the same pattern. Ä, Ö and Ü are the single characters U+00C4, U+00D6 and U+00DC.
#pragma once

#include <string_view>

namespace tarvelin::testsupport {

// Groups: 1 source in, 2 source out, 3 record in, 4 record out, 5 clip text.
inline constexpr std::u16string_view kExtractionPatternText =
    u"(\\d{2}:\\d{2}:\\d{2}:\\d{2}) (\\d{2}:\\d{2}:\\d{2}:\\d{2}) "
    u"(\\d{2}:\\d{2}:\\d{2}:\\d{2}) (\\d{2}:\\d{2}:\\d{2}:\\d{2}).*?"
    u"([ -_A-Z\u00C4\u00D6\u00DC]+.MP3|[ -_A-Z\u00C4\u00D6\u00DC]+.WAV|"
    u"[ -_A-Z\u00C4\u00D6\u00DC]+.M4A|[ -_A-Z\u00C4\u00D6\u00DC]+.AIFF|"
    u"[ -_A-Z\u00C4\u00D6\u00DC]+.NEW)";
static_assert(kExtractionPatternText.size() == 193);

// Groups: 1 in, 2 out, 3 title.
inline constexpr std::u16string_view kCueLinePatternText =
    u"(\\d{2}:\\d{2}:\\d{2}:\\d{2})      (\\d{2}:\\d{2}:\\d{2}:\\d{2}).*?"
    u"([ -_A-Z]+.MP3|[ -_A-Z]+.WAV|[ -_A-Z]+.M4A|[ -_A-Z]+.AIFF|[ -_A-Z]+.AIF|[ -_A-Z]+.NEW)";

}  // namespace tarvelin::testsupport
