// AudioExtensions: what makes a clip an audio file, stated once for both patterns.
//
// The extraction pattern (EDL → cue lines) and the cue-line pattern (cue lines → rows) end in
// the same group of alternatives: a run of name characters, one character, then an extension.
// This unit holds the extensions in the order the alternatives are tried, the class of name
// characters and the characters that end a line, and builds that group (and whole patterns
// around it) at compile time. It does not match anything; each pattern's owner pins the built
// text to its written form with a static_assert.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace tarvelin {

// Tried in this order: ".AIFF" comes before its prefix ".AIF", so a ".AIFF" name keeps its
// whole extension.
inline constexpr std::array<std::u16string_view, 6> kAudioExtensions{u"MP3",  u"WAV", u"M4A",
                                                                     u"AIFF", u"AIF", u"NEW"};

// Name characters: the blank to the low line (blank, digits, A to Z, ASCII punctuation), every
// capital letter of Windows-1252 (U+00C0 to U+00D6, U+00D8 to U+00DE, Œ, Š, Ÿ, Ž) and ß
// (U+00DF). Lower-case letters and everything else end a name.
inline constexpr std::u16string_view kNameClass =
    u"[ -_A-Z\u00C0-\u00D6\u00D8-\u00DF\u0152\u0160\u0178\u017D]";

// The characters that end a line of a cue-line text. The texts handed between the steps use
// CR LF; a lone CR or LF typed or pasted by the user ends a line as well.
inline constexpr std::u16string_view kLineBreaks = u"\r\n";

// One record timecode as a group: two digits, colon, two digits, colon, two digits, colon, two.
inline constexpr std::u16string_view kTimecodeGroup = u"(\\d{2}:\\d{2}:\\d{2}:\\d{2})";

// A pattern text built at compile time; N is its exact length.
template <std::size_t N>
struct PatternText {
    std::array<char16_t, N> chars{};
    std::size_t size = 0;

    constexpr void append(std::u16string_view text)
    {
        for (const char16_t c : text) chars[size++] = c;
    }
    constexpr std::u16string_view view() const { return {chars.data(), size}; }
};

// The pieces of a pattern that ends in the audio-name group: prefix (timecode groups and their
// separators), the gap after it, and the item that stands for the one character before the
// extension letters.
struct NamePatternParts {
    std::u16string_view prefix;
    std::u16string_view gap;
    std::u16string_view beforeExtension;
};

constexpr std::size_t namePatternLength(const NamePatternParts& parts)
{
    std::size_t length = parts.prefix.size() + parts.gap.size() + 2;  // the group's parentheses
    for (const std::u16string_view extension : kAudioExtensions)
        length += kNameClass.size() + 1 + parts.beforeExtension.size() + extension.size();
    return length + kAudioExtensions.size() - 1;  // the bars between alternatives
}

// prefix, gap, then "(C+xMP3|C+xWAV|...)" with C the name class and x beforeExtension.
template <std::size_t N>
constexpr PatternText<N> buildNamePattern(const NamePatternParts& parts)
{
    PatternText<N> text;
    text.append(parts.prefix);
    text.append(parts.gap);
    text.append(u"(");
    for (std::size_t i = 0; i < kAudioExtensions.size(); ++i) {
        if (i > 0) text.append(u"|");
        text.append(kNameClass);
        text.append(u"+");
        text.append(parts.beforeExtension);
        text.append(kAudioExtensions[i]);
    }
    text.append(u")");
    return text;
}

}  // namespace tarvelin
