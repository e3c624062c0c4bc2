// Extraction: the normalised EDL text searched with the extraction pattern, one cue line per
// music event.
//
// A cue line is the record-in timecode, six blanks, the record-out timecode, eight blanks and
// the clip text. The caller owns the list; lines appended before a failure stay in it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvelin {

// The extraction pattern (four timecodes one blank apart, a lazy gap, one clip-text alternative
// per audio extension).
extern const std::u16string_view kExtractionPattern;

// Appends one cue line per match of the extraction pattern in text.
void ExtractCueLines(std::u16string_view text, std::vector<std::u16string>& cueLines);

}  // namespace tarvelin
