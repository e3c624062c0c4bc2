#include "tests/support/RandomPatterns.h"

#include <array>
#include <vector>

#include "conversion/AudioExtensions.h"

namespace tarvelin::testsupport {

namespace {

constexpr std::u16string_view kAlphabet = u"AB0:9 \r\n\u00C4aM.";

int uniform(std::mt19937& random, int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(random);
}

char16_t alphabetChar(std::mt19937& random)
{
    return kAlphabet[static_cast<std::size_t>(uniform(random, 0, int(kAlphabet.size()) - 1))];
}

class PatternBuilder {
public:
    PatternBuilder(std::mt19937& random, int maxGroups) : m_random(random), m_maxGroups(maxGroups)
    {
    }

    std::u16string build()
    {
        std::u16string out;
        alternatives(out, 0);
        return out;
    }

private:
    void alternatives(std::u16string& out, int depth)
    {
        const int count = uniform(m_random, 0, 9) < 7 ? 1 : uniform(m_random, 2, 3);
        for (int i = 0; i < count; ++i) {
            if (i > 0) out += u'|';
            sequence(out, depth);
        }
    }

    void sequence(std::u16string& out, int depth)
    {
        const int items = uniform(m_random, depth == 0 ? 1 : 0, depth == 0 ? 6 : 3);
        for (int i = 0; i < items; ++i) {
            if (depth < 2 && m_groups < m_maxGroups && uniform(m_random, 0, 5) == 0) {
                ++m_groups;
                out += u'(';
                alternatives(out, depth + 1);
                out += u')';
            } else {
                item(out);
                quantifier(out);
            }
        }
    }

    void item(std::u16string& out)
    {
        switch (uniform(m_random, 0, 6)) {
            case 0:
                out += u'.';
                return;
            case 1:
                out += u"\\d";
                return;
            case 2:
                out += classText();
                return;
            default: {
                char16_t c = alphabetChar(m_random);
                if (c == u'.') c = u'B';
                out += c;
                return;
            }
        }
    }

    std::u16string classText()
    {
        static constexpr std::array<std::u16string_view, 11> kClasses = {
            kNameClass,     u"[ -_A-Z\u00C4\u00D6\u00DC]",
            u"[ -_A-Z]",    u"[AB]",
            u"[0-9:]",      u"[\r\n]",
            u"[a-z\u00C4]", u"[-A]",
            u"[.M]",        u"[^\r\n]",
            u"[^A:]"};
        return std::u16string(
            kClasses[static_cast<std::size_t>(uniform(m_random, 0, int(kClasses.size()) - 1))]);
    }

    void quantifier(std::u16string& out)
    {
        switch (uniform(m_random, 0, 9)) {
            case 0:
            case 1:
                out += u'+';
                return;
            case 2:
            case 3:
                out += u"*?";
                return;
            case 4:
                out += u'{';
                out += static_cast<char16_t>(u'0' + uniform(m_random, 0, 3));
                out += u'}';
                return;
            default:
                return;
        }
    }

    std::mt19937& m_random;
    int m_maxGroups;
    int m_groups = 0;
};

std::u16string timecode(std::mt19937& random)
{
    std::u16string out;
    for (int field = 0; field < 4; ++field) {
        if (field > 0) out += uniform(random, 0, 40) == 0 ? u';' : u':';
        out += static_cast<char16_t>(u'0' + uniform(random, 0, 5));
        out += static_cast<char16_t>(u'0' + uniform(random, 0, 9));
    }
    return out;
}

std::u16string clipName(std::mt19937& random)
{
    static constexpr std::array<std::u16string_view, 15> kWords = {
        u"TITLE",       u"SONG",   u"X MP3",           u"\u00C4RGER", u"CAF\u00C9",
        u"STRA\u00DFE", u"NEWTON", u"A001C003_230101", u"MUSIC-01",   u"lower",
        u"(DEMO)",      u"WAV",    u"SE\u00D1ORITA",   u"\u00D8RE",   u"caf\u00E9"};
    // Every audio extension, and endings that are none.
    static const std::vector<std::u16string> kExtensions = [] {
        std::vector<std::u16string> endings = {u".mp3", u".MOV", u"", u"_WAV", u".MXF"};
        for (const std::u16string_view extension : kAudioExtensions)
            endings.push_back(u"." + std::u16string(extension));
        return endings;
    }();
    std::u16string out = u" ";
    const int words = uniform(random, 1, 3);
    for (int i = 0; i < words; ++i) {
        if (i > 0) out += u' ';
        out += kWords[static_cast<std::size_t>(uniform(random, 0, int(kWords.size()) - 1))];
    }
    out += kExtensions[static_cast<std::size_t>(uniform(random, 0, int(kExtensions.size()) - 1))];
    return out;
}

}  // namespace

std::u16string randomPattern(std::mt19937& random, int maxGroups)
{
    return PatternBuilder(random, maxGroups).build();
}

std::u16string randomSubject(std::mt19937& random, std::size_t maxLength)
{
    const auto length = static_cast<std::size_t>(uniform(random, 0, static_cast<int>(maxLength)));
    std::u16string out;
    for (std::size_t i = 0; i < length; ++i) {
        const int roll = uniform(random, 0, 99);
        if (roll == 0) {
            out += u'\0';
        } else if (roll == 1) {
            out += static_cast<char16_t>(uniform(random, 0, 0xFFFF));
        } else {
            out += alphabetChar(random);
        }
    }
    return out;
}

std::u16string randomEdlText(std::mt19937& random, int events)
{
    std::u16string out = u"TITLE: RANDOM\r\nFCM: NON-DROP FRAME\r\n\r\n";
    for (int event = 1; event <= events; ++event) {
        std::u16string number =
            std::u16string(u"000000") + static_cast<char16_t>(u'0' + event % 10);
        out += number.substr(number.size() - 6);
        out += u"  A00";
        out += static_cast<char16_t>(u'0' + uniform(random, 0, 9));
        out += uniform(random, 0, 1) ? u" V     C        " : u" A     C        ";
        for (int i = 0; i < 4; ++i) {
            if (i > 0) out += uniform(random, 0, 40) == 0 ? u"  " : u" ";
            out += timecode(random);
        }
        out += u"\r\n";
        if (uniform(random, 0, 3) > 0) {
            out += clipName(random);
            out += u"\r\n";
        }
    }
    return out;
}

std::u16string randomCueLineText(std::mt19937& random, int lines)
{
    std::u16string out;
    for (int line = 0; line < lines; ++line) {
        out += timecode(random);
        out += uniform(random, 0, 20) == 0 ? u"     " : u"      ";
        out += timecode(random);
        out += u"        ";
        out += clipName(random);
        out += u"\r\n";
    }
    return out;
}

}  // namespace tarvelin::testsupport
