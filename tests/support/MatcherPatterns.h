// The conversion's two fixed patterns, as the tests and benchmarks of the matcher use them.
//
// They are the program's own constants, so the reference engines and the program's matcher are
// always fed exactly the patterns the conversion runs.
#pragma once

#include <string_view>

#include "conversion/CueLineExtraction.h"
#include "conversion/CueRows.h"

namespace tarvelin::testsupport {

// Groups: 1 source in, 2 source out, 3 record in, 4 record out, 5 clip text.
inline const std::u16string_view& kExtractionPatternText = tarvelin::kExtractionPattern;

// Groups: 1 in, 2 out, 3 title.
inline const std::u16string_view& kCueLinePatternText = tarvelin::kCueLinePattern;

}  // namespace tarvelin::testsupport
