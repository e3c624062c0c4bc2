#include "tests/support/EdlGenerator.h"

#include <array>
#include <cstdio>
#include <limits>

#include "conversion/AudioExtensions.h"

namespace tarvelin::testsupport {
namespace {

constexpr std::uint32_t kFramesPerSecond = 25;
constexpr std::uint32_t kFramesPerDay = 24u * 3600u * kFramesPerSecond;
constexpr std::uint32_t kFirstRecordFrame = 10u * 3600u * kFramesPerSecond;  // 10:00:00:00

// Title words; none holds the letters of an audio extension, so a title ends only at its own
// extension. A few carry umlauts, which both patterns keep in the title.
constexpr std::array<std::u16string_view, 32> kWords{
    u"SUMMER", u"RAIN",  u"NIGHT",  u"DRIVE",  u"BLUE",  u"HOUR",   u"STRINGS", u"PIANO",
    u"THEME",  u"CHASE", u"LOVE",   u"FINALE", u"TITLE", u"CITY",   u"LIGHTS",  u"MORGEN",
    u"STADT",  u"HERZ",  u"LIED",   u"FLUSS",  u"DUST",  u"ECHO",   u"GOLD",    u"SILBER",
    u"HOPE",   u"STORM", u"TRUCKS", u"DISCO",  u"GRÜN",  u"SCHÖNE", u"MÄDCHEN", u"ÜBER"};

constexpr std::array<std::u16string_view, 4> kMusicChannels{u"A", u"A2", u"AA", u"NONE"};
constexpr std::array<std::u16string_view, 16> kVideoWords{
    u"INTERVIEW", u"B_ROLL", u"DROHNE",    u"STRASSE", u"TOTALE",     u"DETAIL",
    u"HOTEL",     u"BUERO",  u"PARKPLATZ", u"WALD",    u"MARKTPLATZ", u"FEUERWEHR",
    u"AUFNAHME",  u"KAMERA", u"FLUGHAFEN", u"SZENE"};

// Room kept for the one music event that ends a late list.
constexpr std::size_t kMusicEventRoom = 256;

// Characters of the run line: every kind of class member; sequences spelling an extension are
// broken up as the line is written.
constexpr std::u16string_view kRunAlphabet = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 _-.:";

constexpr std::u16string_view kHeader = u"TITLE:   REEL 1 SCHNITT V7\r\nFCM: NON-DROP FRAME\r\n";

std::u16string fromAscii(const char* text)
{
    std::u16string result;
    for (; *text != '\0'; ++text) result.push_back(static_cast<char16_t>(*text));
    return result;
}

std::u16string timecode(std::uint32_t frames)
{
    const std::uint32_t seconds = frames / kFramesPerSecond;
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02u:%02u:%02u:%02u", seconds / 3600 % 24,
                  seconds / 60 % 60, seconds % 60, frames % kFramesPerSecond);
    return fromAscii(buffer);
}

std::u16string padded(std::u16string_view text, std::size_t width)
{
    std::u16string result(text);
    if (result.size() < width) result.append(width - result.size(), u' ');
    return result;
}

bool endsWithExtensionLetters(std::u16string_view text)
{
    for (std::u16string_view letters : kAudioExtensions)
        if (text.size() >= letters.size() && text.substr(text.size() - letters.size()) == letters)
            return true;
    return false;
}

bool fits(std::size_t used, std::size_t add, std::size_t maxChars)
{
    return add <= maxChars && used <= maxChars - add;
}

}  // namespace

EdlGenerator::EdlGenerator(std::uint64_t seed) : m_state(seed) {}

std::uint64_t EdlGenerator::next()
{
    // splitmix64: small, fast and the same on every platform.
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::size_t EdlGenerator::below(std::size_t bound)
{
    return static_cast<std::size_t>(next() % bound);
}

GeneratedText EdlGenerator::edl(EdlShape shape, std::size_t count, EdlForm form)
{
    m_form = form;
    return shape == EdlShape::Run ? makeRun(count, std::numeric_limits<std::size_t>::max())
                                  : makeEdl(shape, count, std::numeric_limits<std::size_t>::max());
}

GeneratedText EdlGenerator::edlUpTo(EdlShape shape, std::size_t maxChars, EdlForm form)
{
    m_form = form;
    if (shape == EdlShape::Run) return makeRun(std::numeric_limits<std::size_t>::max(), maxChars);
    // Large enough that the character limit ends the list; the shape's proportions follow the
    // estimate of about 120 characters per event.
    return makeEdl(shape, maxChars / 100 + 10, maxChars);
}

GeneratedText EdlGenerator::cueLines(std::size_t count)
{
    return makeCueLines(count, std::numeric_limits<std::size_t>::max());
}

GeneratedText EdlGenerator::cueLinesUpTo(std::size_t maxChars)
{
    return makeCueLines(std::numeric_limits<std::size_t>::max(), maxChars);
}

GeneratedText EdlGenerator::makeEdl(EdlShape shape, std::size_t count, std::size_t maxChars)
{
    GeneratedText result;
    m_recordFrame = kFirstRecordFrame;
    if (!fits(0, kHeader.size(), maxChars)) return result;
    result.text = kHeader;
    const std::size_t musicTotal = shape == EdlShape::Worst ? 0 : count / 10;
    const bool late = shape == EdlShape::Late;
    std::size_t musicInBlock = below(10);
    for (std::size_t i = 0; i < count; ++i) {
        bool music = false;
        if (shape == EdlShape::Typical) {
            if (i % 10 == 0) musicInBlock = below(10);
            music = i % 10 == musicInBlock;
        } else if (shape == EdlShape::Adversarial) {
            music = i < musicTotal;
        } else if (late) {
            music = i + 1 == count;
        }
        const std::u16string event = music ? musicEvent(i + 1) : videoEvent(i + 1);
        const std::size_t room = late && !music ? kMusicEventRoom : 0;
        if (!fits(result.text.size(), event.size() + room, maxChars)) break;
        result.text += event;
        ++result.events;
        if (music) ++result.musicEvents;
    }
    // A late list filled up to a size still ends with its music event.
    if (late && result.musicEvents == 0) {
        const std::u16string event = musicEvent(result.events + 1);
        if (fits(result.text.size(), event.size(), maxChars)) {
            result.text += event;
            ++result.events;
            ++result.musicEvents;
        }
    }
    return result;
}

GeneratedText EdlGenerator::makeRun(std::size_t runLength, std::size_t maxChars)
{
    GeneratedText result;
    m_recordFrame = kFirstRecordFrame;
    const std::u16string line = eventLine(1, u"RUN", u"A");
    const std::size_t frame = kHeader.size() + line.size() + 2;
    if (!fits(0, frame, maxChars)) return result;
    if (runLength > maxChars - frame) runLength = maxChars - frame;
    result.text.reserve(frame + runLength);
    result.text = kHeader;
    result.text += line;
    for (std::size_t i = 0; i < runLength; ++i) {
        result.text.push_back(kRunAlphabet[below(kRunAlphabet.size())]);
        if (endsWithExtensionLetters(result.text)) result.text.back() = u'B';
    }
    result.text += u"\r\n";
    result.events = 1;
    return result;
}

GeneratedText EdlGenerator::makeCueLines(std::size_t count, std::size_t maxChars)
{
    GeneratedText result;
    m_recordFrame = kFirstRecordFrame;
    for (std::size_t i = 0; i < count; ++i) {
        std::u16string line;
        bool regular = true;
        switch (below(40)) {
            case 0:  // extension typed in lower case: the title search runs on to the next line
                line = timecode(m_recordFrame) + u"      " + timecode(m_recordFrame + 250) +
                       u"         " + songTitle() + u".mp3\r\n";
                regular = false;
                break;
            case 1:  // a note of the user's between the cue lines
                line = u"Reihenfolge prüfen\r\n";
                regular = false;
                break;
            default:
                line = cueLine();
        }
        if (!fits(result.text.size(), line.size(), maxChars)) break;
        result.text += line;
        ++result.events;
        if (regular) ++result.musicEvents;
    }
    return result;
}

std::u16string EdlGenerator::eventLine(std::size_t number, std::u16string_view reel,
                                       std::u16string_view channel)
{
    const std::uint32_t length = static_cast<std::uint32_t>(25 + below(20 * kFramesPerSecond));
    const std::uint32_t in = m_recordFrame % kFramesPerDay;
    const std::uint32_t sourceIn = static_cast<std::uint32_t>(below(kFramesPerDay));
    char digits[16];
    std::snprintf(digits, sizeof digits, "%06zu", number % 1000000);
    std::u16string line = fromAscii(digits);
    line += u"  ";
    line += padded(reel.substr(0, 32), 32);
    line += u' ';
    line += padded(channel, 6);
    line += u"C        ";
    line += timecode(sourceIn) + u' ' + timecode(sourceIn + length) + u' ' + timecode(in) + u' ' +
            timecode(in + length);
    line += u"\r\n";
    m_recordFrame += length;
    return line;
}

std::u16string EdlGenerator::songTitle()
{
    std::u16string title(kWords[below(kWords.size())]);
    const std::size_t extraWords = below(3);
    for (std::size_t i = 0; i < extraWords; ++i) {
        static constexpr std::array<std::u16string_view, 4> kJoins{u" ", u" ", u"_", u" - "};
        title += kJoins[below(kJoins.size())];
        title += kWords[below(kWords.size())];
    }
    switch (below(6)) {
        case 0:
            title += u" (REMIX)";
            break;
        case 1:
            title += u" & " + std::u16string(kWords[below(kWords.size())]);
            break;
        default: {
            char digits[8];
            std::snprintf(digits, sizeof digits, " %02zu", 1 + below(24));
            title += fromAscii(digits);
        }
    }
    return title;
}

std::u16string EdlGenerator::musicEvent(std::size_t number)
{
    const std::u16string title = songTitle();
    std::u16string reel;
    for (char16_t c : title) reel.push_back(c == u' ' ? u'_' : c);
    const std::u16string_view channel = kMusicChannels[below(kMusicChannels.size())];
    std::u16string event = eventLine(number, reel, channel);
    // The channel marker of an event on channels 3 and 4 leaves a line of blanks behind.
    if (channel == u"NONE") event += m_form == EdlForm::Raw ? u"AUD  3     4  \r\n" : u"  \r\n";
    event += std::u16string(clipPrefix()) + title + u'.' +
             std::u16string(kAudioExtensions[below(kAudioExtensions.size())]) + u"\r\n";
    return event;
}

std::u16string EdlGenerator::videoEvent(std::size_t number)
{
    std::u16string name;
    char buffer[40];
    if (below(3) == 0) {
        std::snprintf(buffer, sizeof buffer, "_T%02zu", 1 + below(30));
        name = std::u16string(kVideoWords[below(kVideoWords.size())]) + fromAscii(buffer);
    } else {
        std::snprintf(buffer, sizeof buffer, "A%03zuC%03zu_%06zu", 1 + below(40), 1 + below(300),
                      230101 + below(30));
        name = fromAscii(buffer);
    }
    std::u16string event = eventLine(number, name, u"V");
    static constexpr std::array<std::u16string_view, 3> kVideoExtensions{u".MXF", u".MOV", u""};
    event +=
        std::u16string(clipPrefix()) + name + std::u16string(kVideoExtensions[below(3)]) + u"\r\n";
    return event;
}

std::u16string_view EdlGenerator::clipPrefix() const
{
    // The comment's two blanks: normalisation cuts "*FROM CLIP NAME: " and keeps the second.
    return m_form == EdlForm::Raw ? u"*FROM CLIP NAME:  " : u" ";
}

std::u16string EdlGenerator::cueLine()
{
    static constexpr std::array<std::u16string_view, 8> kExtensions{
        u"WAV", u"WAV", u"MP3", u"MP3", u"M4A", u"AIFF", u"AIF", u"NEW"};
    const std::uint32_t length = static_cast<std::uint32_t>(25 + below(180 * kFramesPerSecond));
    const std::uint32_t in = m_recordFrame % kFramesPerDay;
    m_recordFrame += length;
    return timecode(in) + u"      " + timecode(in + length) + u"        " + u' ' + songTitle() +
           u'.' + std::u16string(kExtensions[below(kExtensions.size())]) + u"\r\n";
}

std::string edlFileBytes(std::u16string_view text)
{
    std::string bytes(text.size(), '\0');
    for (std::size_t i = 0; i < text.size(); ++i) bytes[i] = static_cast<char>(text[i] & 0xFF);
    return bytes;
}

std::string_view shapeName(EdlShape shape)
{
    switch (shape) {
        case EdlShape::Typical:
            return "typical";
        case EdlShape::Adversarial:
            return "adversarial";
        case EdlShape::Worst:
            return "worst";
        case EdlShape::Run:
            return "run";
        case EdlShape::Late:
            return "late";
    }
    return "unknown";
}

}  // namespace tarvelin::testsupport
