// EdlGenerator: realistic normalised edit decision lists and cue-line texts for tests and
// benchmarks.
//
// The texts look like what the extraction step receives after normalisation of an Avid File_32
// list with clip-name comments: a TITLE and FCM header, then per event its event line (number,
// reel, channel, transition, four timecodes) and the clip name on the next line with its
// leading blank (" SUMMER RAIN 01.WAV"). Audio events on channels 3 and 4 keep the blank line
// left over from their channel marker. Cue-line texts are in the hand-over format (in timecode,
// six blanks, out timecode, eight blanks, clip text), with the odd line a user might have edited.
//
// Shapes of the list:
//  - Typical: one event in ten carries a music clip, the others video clips.
//  - Adversarial: the music events of a typical list, all in the first tenth, then a long tail
//    of video events (each tail event makes a backtracking search scan to the end).
//  - Worst: video events only, no music at all.
//  - Run: one event line, then a single line of class characters without any extension.
//  - Late: video events only, and one music event at the very end (every video event's search
//    runs on to that one clip).
//
// Video clip names never contain the letters of an audio extension, so only music clip names
// (and the run) decide the matches. Everything is deterministic for a seed, on every compiler:
// the generator uses its own pseudo-random sequence, not the library's distributions. It knows
// nothing about patterns or matchers, and it produces only characters up to U+00FF, so every
// text also has an 8-bit Latin-1 form.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvelin::testsupport {

enum class EdlShape { Typical, Adversarial, Worst, Run, Late };

// Normalised: the text the extraction receives. Raw: the same list as Avid EDL Manager writes it,
// each clip name on a "*FROM CLIP NAME:  " comment line and the channel marker of channels 3
// and 4 on its "AUD" line; normalising the raw form gives the normalised one.
enum class EdlForm { Normalised, Raw };

// The capacity of the program's text areas, in characters.
inline constexpr std::size_t kTextCapacity = 16'777'215;

struct GeneratedText {
    std::u16string text;
    std::size_t events = 0;       // event lines (cue lines for cue-line texts)
    std::size_t musicEvents = 0;  // events whose clip is an audio file (regular cue lines)
};

class EdlGenerator {
public:
    explicit EdlGenerator(std::uint64_t seed);

    // A list with the given number of events. For the Run shape the count is the length of the
    // run line in characters (a run has no comment lines, so both forms are the same).
    GeneratedText edl(EdlShape shape, std::size_t count, EdlForm form = EdlForm::Normalised);
    // A list of as many events (for Run: as long a run) as fit into maxChars.
    GeneratedText edlUpTo(EdlShape shape, std::size_t maxChars, EdlForm form = EdlForm::Normalised);

    // Cue-line text with the given number of lines; about one in twenty is irregular (a
    // lower-case extension or a line without timecodes), as after a user's edits.
    GeneratedText cueLines(std::size_t count);
    // Cue-line text of as many lines as fit into maxChars.
    GeneratedText cueLinesUpTo(std::size_t maxChars);

private:
    GeneratedText makeEdl(EdlShape shape, std::size_t count, std::size_t maxChars);
    GeneratedText makeRun(std::size_t runLength, std::size_t maxChars);
    GeneratedText makeCueLines(std::size_t count, std::size_t maxChars);

    std::u16string musicEvent(std::size_t number);
    std::u16string videoEvent(std::size_t number);
    std::u16string eventLine(std::size_t number, std::u16string_view reel,
                             std::u16string_view channel);
    std::u16string songTitle();
    std::u16string cueLine();
    std::u16string_view clipPrefix() const;

    std::uint64_t next();
    std::size_t below(std::size_t bound);

    std::uint64_t m_state;
    EdlForm m_form = EdlForm::Normalised;
    std::uint32_t m_recordFrame = 0;  // record position of the next event, frames at 25 fps
};

// The text as the 8-bit bytes of a file (every generated character lies below U+0100, where
// Windows-1252 and Latin-1 agree outside 0x80 to 0x9F, which the generator never writes).
std::string edlFileBytes(std::u16string_view text);

// Name of a shape for test and benchmark labels ("typical", "adversarial", "worst", "run",
// "late").
std::string_view shapeName(EdlShape shape);

}  // namespace tarvelin::testsupport
