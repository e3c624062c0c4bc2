// RandomPatterns: random patterns of the matcher's dialect and random subjects for the
// differential tests and the fuzz replayer.
//
// Patterns use a small alphabet so that their items meet the subjects often: letters, digits,
// colon, blank, CR, LF, Ä and a lower-case letter, with classes, "\d", ".", groups of
// alternatives and every quantifier. EDL-shaped subjects mimic normalised edit decision lists
// (event lines with four timecodes, clip-name lines with or without an audio extension).
// Everything is drawn from a caller-seeded engine, so a failing case can be replayed.
#pragma once

#include <random>
#include <string>

namespace tarvelin::testsupport {

// A valid pattern of the dialect with at most maxGroups groups.
std::u16string randomPattern(std::mt19937& random, int maxGroups = 14);

// A subject of up to maxLength characters from the patterns' alphabet, now and then with a
// U+0000 or a character outside it.
std::u16string randomSubject(std::mt19937& random, std::size_t maxLength);

// A normalised EDL text of up to events events with CR LF line breaks.
std::u16string randomEdlText(std::mt19937& random, int events);

// A cue-line text as the extraction writes it, with random edits.
std::u16string randomCueLineText(std::mt19937& random, int lines);

}  // namespace tarvelin::testsupport
