#include "conversion/RtfText.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "conversion/Windows1252.h"

namespace tarvelin {

namespace {

// Groups nested deeper than this share the state of the deepest kept group; a document that
// deep is broken anyway, and the limit keeps memory bounded.
constexpr std::size_t kMaxKeptDepth = 4096;

// Control words whose group holds no document text.
// clang-format off
constexpr std::array<std::string_view, 26> kSkippedDestinations = {
    "fonttbl",   "colortbl",  "stylesheet", "info",      "pict",     "object",
    "fldinst",   "themedata", "datastore",  "listtable", "rsidtbl",  "listoverridetable",
    "generator", "xmlnstbl",  "header",     "headerl",   "headerr",  "headerf",
    "footer",    "footerl",   "footerr",    "footerf",   "revtbl",   "latentstyles",
    "filetbl",   "colorschememapping",
};
// clang-format on

struct Symbol {
    std::string_view word;
    char16_t character;
};

constexpr std::array<Symbol, 15> kCharacterWords = {{
    {"par", u'\n'},
    {"line", u'\n'},
    {"sect", u'\n'},
    {"page", u'\n'},
    {"row", u'\n'},
    {"tab", u'\t'},
    {"cell", u'\t'},
    {"emdash", u'\u2014'},
    {"endash", u'\u2013'},
    {"lquote", u'\u2018'},
    {"rquote", u'\u2019'},
    {"ldblquote", u'\u201C'},
    {"rdblquote", u'\u201D'},
    {"bullet", u'\u2022'},
    {"emspace", u'\u2003'},
}};

struct GroupState {
    bool skip = false;
    int fallbackLength = 1;  // \ucN: characters that follow each \uN as its 8-bit stand-in
};

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (isDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

class RtfReader {
public:
    explicit RtfReader(std::string_view rtf) : m_rtf(rtf) { m_stack.push_back(GroupState{}); }

    std::u16string read()
    {
        while (m_pos < m_rtf.size() && !m_finished) {
            const char c = m_rtf[m_pos++];
            switch (c) {
                case '{':
                    openGroup();
                    break;
                case '}':
                    closeGroup();
                    break;
                case '\\':
                    readControl();
                    break;
                case '\r':
                case '\n':
                    break;
                default:
                    emit(Windows1252ToUnicode(static_cast<unsigned char>(c)));
                    break;
            }
        }
        return std::move(m_text);
    }

private:
    GroupState& state() { return m_stack.back(); }

    void openGroup()
    {
        m_pendingFallback = 0;
        ++m_depth;
        if (m_stack.size() < kMaxKeptDepth) {
            m_stack.push_back(state());
        }
    }

    void closeGroup()
    {
        m_pendingFallback = 0;
        if (m_depth == 0) {
            return;
        }
        if (m_depth < kMaxKeptDepth) {
            m_stack.pop_back();
        }
        --m_depth;
        // The document ends with the group it began with; anything after it is not text.
        if (m_depth == 0) {
            m_finished = true;
        }
    }

    // One character of text, or of a \uN fallback that is dropped.
    void emit(char16_t c)
    {
        if (m_pendingFallback > 0) {
            --m_pendingFallback;
            return;
        }
        if (!state().skip) {
            m_text += c;
        }
    }

    // A control item that stands for no text still counts as one fallback character.
    void consumeFallback()
    {
        if (m_pendingFallback > 0) {
            --m_pendingFallback;
        }
    }

    void readControl()
    {
        if (m_pos >= m_rtf.size()) {
            return;
        }
        const char c = m_rtf[m_pos];
        if (isLetter(c)) {
            readControlWord();
            return;
        }
        ++m_pos;
        switch (c) {
            case '\'':
                readHexByte();
                break;
            case '\\':
            case '{':
            case '}':
                emit(static_cast<char16_t>(c));
                break;
            case '~':
                emit(u'\u00A0');
                break;
            case '_':
                emit(u'\u2011');
                break;
            case '\r':
            case '\n':
                emit(u'\n');
                break;
            case '*':
                state().skip = true;
                break;
            default:
                consumeFallback();
                break;
        }
    }

    void readHexByte()
    {
        int value = 0;
        for (int k = 0; k < 2; ++k) {
            const int digit = m_pos < m_rtf.size() ? hexValue(m_rtf[m_pos]) : -1;
            if (digit < 0) {
                consumeFallback();
                return;
            }
            value = value * 16 + digit;
            ++m_pos;
        }
        emit(Windows1252ToUnicode(static_cast<unsigned char>(value)));
    }

    void readControlWord()
    {
        const std::size_t start = m_pos;
        while (m_pos < m_rtf.size() && isLetter(m_rtf[m_pos]) && m_pos - start < 32) {
            ++m_pos;
        }
        const std::string_view word = m_rtf.substr(start, m_pos - start);
        bool hasNumber = false;
        bool negative = false;
        std::int64_t number = 0;
        if (m_pos < m_rtf.size() && m_rtf[m_pos] == '-') {
            negative = true;
            ++m_pos;
        }
        for (int digits = 0; m_pos < m_rtf.size() && isDigit(m_rtf[m_pos]); ++m_pos, ++digits) {
            if (digits < 10) {
                number = number * 10 + (m_rtf[m_pos] - '0');
            }
            hasNumber = true;
        }
        if (negative) {
            number = -number;
        }
        if (m_pos < m_rtf.size() && m_rtf[m_pos] == ' ') {
            ++m_pos;
        }
        handleControlWord(word, hasNumber, number);
    }

    void handleControlWord(std::string_view word, bool hasNumber, std::int64_t number)
    {
        if (word == "u" && hasNumber) {
            const auto unit = static_cast<char16_t>(static_cast<std::uint16_t>(number & 0xFFFF));
            m_pendingFallback = 0;
            emit(unit);
            m_pendingFallback = state().fallbackLength;
            return;
        }
        if (word == "uc") {
            state().fallbackLength = static_cast<int>(std::clamp<std::int64_t>(number, 0, 16));
            return;
        }
        if (word == "bin") {
            const auto length = static_cast<std::size_t>(std::max<std::int64_t>(number, 0));
            m_pos += std::min(length, m_rtf.size() - m_pos);
            return;
        }
        if (std::find(kSkippedDestinations.begin(), kSkippedDestinations.end(), word) !=
            kSkippedDestinations.end()) {
            state().skip = true;
            return;
        }
        for (const Symbol& symbol : kCharacterWords) {
            if (symbol.word == word) {
                emit(symbol.character);
                return;
            }
        }
        consumeFallback();
    }

    std::string_view m_rtf;
    std::size_t m_pos = 0;
    std::size_t m_depth = 0;
    bool m_finished = false;
    int m_pendingFallback = 0;
    std::vector<GroupState> m_stack;
    std::u16string m_text;
};

}  // namespace

bool IsRtfDocument(std::string_view bytes)
{
    return bytes.substr(0, 5) == "{\\rtf";
}

std::u16string RtfToText(std::string_view rtf)
{
    return RtfReader(rtf).read();
}

}  // namespace tarvelin
