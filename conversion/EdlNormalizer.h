// Normalisation of a loaded EDL: the eight removals that leave each event's clip name as the
// first audio file name after its timecodes.
//
// Works in place on the buffer's text (all lines, each followed by CR LF). Every removal is one
// left-to-right pass; removals marked case-insensitive compare per-character simple upper case.
// No removed text holds a lone CR or LF, and the only one with a line break cuts out a whole
// CR LF, so the text keeps its form: its lines, split and each ended by CR LF again, give the
// same text. Nothing here reads files or searches for cue lines.
//
// The removals also run on 8-bit Windows-1252 bytes, before they are decoded: they cut exactly
// what they cut in the decoded characters (the removed texts are ASCII, and no byte above 0x7F
// stands for a character whose upper case is ASCII), and a byte is half a character's size.
#pragma once

#include <string>

namespace tarvelin {

// Applies the eight removals, in order, to the buffer's text in place.
void NormalizeEdlText(std::u16string& workText);

// The same removals on the buffer's text held as Windows-1252 bytes, one byte a character.
void NormalizeEdlBytes(std::string& bytes);

}  // namespace tarvelin
