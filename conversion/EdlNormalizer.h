// Normalisation of a loaded EDL: the eight removals that leave each event's clip name as the
// first audio file name after its timecodes.
//
// Works on the scratch text (all lines joined, each followed by CR LF). Every removal is one
// left-to-right pass; removals marked case-insensitive compare per-character simple upper case.
// Nothing here reads files or searches for cue lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvelin {

// Joins lines, each followed by CR LF (the last one too); no lines give the empty text.
std::u16string JoinLinesCrLf(const std::vector<std::u16string>& lines);

// Splits a text into lines at CR LF, a lone CR or a lone LF; a final break starts no line.
std::vector<std::u16string> SplitLines(std::u16string_view text);

// The same text as JoinLinesCrLf(SplitLines(text)), without building the lines. A text that has
// only CR LF breaks is returned as it is (with a final CR LF added where it lacks one), so moving
// a large text in costs no copy.
std::u16string ResplitCrLf(std::u16string text);

// Applies the eight removals, in order, to the scratch text in place.
void NormalizeEdlText(std::u16string& workText);

}  // namespace tarvelin
