// The inputs of tarvelin-cli's computing commands: cue-line text from a file or standard input,
// and the cue-line text an edit decision list gives, as the window's area holds it after
// "Öffnen EDL".
//
// "-" stands for standard input, which is refused beyond the size a file may have. Nothing here
// computes rows or writes output.
#pragma once

#include <string>

namespace tarvelin::cli {

// The bytes of a file, or of standard input for "-".
std::string ReadInputBytes(const std::string& path);

// Cue-line text (UTF-8) of a file or of standard input, lines joined with CR LF.
std::u16string ReadCueLineInput(const std::string& path);

// The cue lines of an EDL (a file or "-") joined with CR LF. A failed extraction keeps the lines
// found before it, as the window does; it sets extractionFailed and prints the window's message
// "Error: Falsche Format" to standard error.
std::u16string CueLineTextOfEdl(const std::string& path, bool& extractionFailed);

}  // namespace tarvelin::cli
