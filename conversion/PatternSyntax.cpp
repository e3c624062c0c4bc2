#include "conversion/PatternSyntax.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "conversion/PatternMatcher.h"
#include "conversion/Text.h"

namespace tarvelin::pattern {

void CharSet::add(char16_t low, char16_t high)
{
    m_ranges.emplace_back(low, high);
    std::sort(m_ranges.begin(), m_ranges.end());
    std::vector<std::pair<char16_t, char16_t>> merged;
    for (const auto& range : m_ranges) {
        if (!merged.empty() && static_cast<int>(range.first) <= merged.back().second + 1) {
            merged.back().second = std::max(merged.back().second, range.second);
        } else {
            merged.push_back(range);
        }
    }
    m_ranges = std::move(merged);
}

CharSet CharSet::complement() const
{
    CharSet result;
    std::uint32_t next = 0;  // the first code unit not yet covered
    for (const auto& [low, high] : m_ranges) {
        if (low > next)
            result.m_ranges.emplace_back(static_cast<char16_t>(next),
                                         static_cast<char16_t>(low - 1));
        next = std::uint32_t{high} + 1;
    }
    if (next <= 0xFFFF) result.m_ranges.emplace_back(static_cast<char16_t>(next), u'\xFFFF');
    return result;
}

bool CharSet::contains(char16_t c) const
{
    for (const auto& range : m_ranges) {
        if (c < range.first) return false;
        if (c <= range.second) return true;
    }
    return false;
}

namespace {

class Parser {
public:
    explicit Parser(std::u16string_view pattern) : m_text(pattern) {}

    Syntax parse()
    {
        Syntax syntax;
        syntax.alternatives = parseAlternatives();
        if (m_pos < m_text.size()) fail(u"unbalanced closing parenthesis");
        syntax.groupCount = m_groups;
        return syntax;
    }

private:
    [[noreturn]] void fail(std::u16string_view what) const { fail(what, m_pos); }

    [[noreturn]] void fail(std::u16string_view what, std::size_t at) const
    {
        std::u16string message = u"Pattern error at position ";
        message += fromUtf8(std::to_string(at));
        message += u": ";
        message += what;
        throw PatternError(std::move(message), at);
    }

    bool atEnd() const { return m_pos >= m_text.size(); }
    char16_t peek(std::size_t ahead = 0) const
    {
        return m_pos + ahead < m_text.size() ? m_text[m_pos + ahead] : u'\0';
    }

    std::vector<Sequence> parseAlternatives()
    {
        std::vector<Sequence> alternatives;
        alternatives.push_back(parseSequence());
        while (!atEnd() && peek() == u'|') {
            ++m_pos;
            alternatives.push_back(parseSequence());
        }
        return alternatives;
    }

    Sequence parseSequence()
    {
        Sequence sequence;
        while (!atEnd() && peek() != u'|' && peek() != u')') {
            if (peek() == u'(') {
                sequence.push_back(parseGroup());
                if (!atEnd() && isQuantifierStart(peek()))
                    fail(u"a quantifier may not follow a group");
            } else {
                Node node = parseItem();
                parseQuantifier(node);
                sequence.push_back(std::move(node));
            }
        }
        return sequence;
    }

    static bool isQuantifierStart(char16_t c)
    {
        return c == u'{' || c == u'+' || c == u'*' || c == u'?';
    }

    Node parseGroup()
    {
        const std::size_t open = m_pos++;
        if (++m_groups > PatternMatcher::kMaxGroups) fail(u"more than 14 groups", open);
        Node node;
        node.kind = Node::Kind::kGroup;
        node.group = m_groups;
        node.alternatives = parseAlternatives();
        if (atEnd()) fail(u"unclosed group", open);
        ++m_pos;
        return node;
    }

    Node parseItem()
    {
        Node node;
        const char16_t c = peek();
        switch (c) {
            case u'.':
                node.item = ItemKind::kAny;
                node.set.add(0x0000, 0xFFFF);
                ++m_pos;
                return node;
            case u'\\':
                if (peek(1) != u'd') {
                    fail(m_pos + 1 >= m_text.size() ? u"lone backslash at the end"
                                                    : u"unsupported escape");
                }
                node.item = ItemKind::kDigit;
                node.set.add(u'0', u'9');
                m_pos += 2;
                return node;
            case u'[':
                node.item = ItemKind::kClass;
                node.set = parseClass();
                return node;
            case u'{':
            case u'+':
            case u'*':
            case u'?':
                fail(u"quantifier with nothing before it");
            case u'^':
            case u'$':
                fail(u"anchors are not supported");
            case u']':
            case u'}':
                fail(u"unbalanced closing bracket or brace");
            default:
                node.item = ItemKind::kLiteral;
                node.set.add(c, c);
                ++m_pos;
                return node;
        }
    }

    // A class member: any code unit except the ones with a meaning inside brackets.
    char16_t classMember()
    {
        if (atEnd()) fail(u"unterminated class");
        const char16_t c = peek();
        if (c == u'\\') fail(u"escapes inside a class are not supported");
        if (c == u'[') fail(u"nested brackets inside a class are not supported");
        ++m_pos;
        return c;
    }

    CharSet parseClass()
    {
        const std::size_t open = m_pos++;
        if (atEnd()) fail(u"unterminated class", open);
        if (peek() == u']') fail(u"empty class", open);
        // "[^...]" accepts every code unit that is not a member.
        const bool negated = peek() == u'^';
        if (negated) {
            ++m_pos;
            if (atEnd()) fail(u"unterminated class", open);
            if (peek() == u']') fail(u"empty class", open);
        }
        CharSet set;
        while (true) {
            if (atEnd()) fail(u"unterminated class", open);
            if (peek() == u']') break;
            const std::size_t memberAt = m_pos;
            const char16_t low = classMember();
            if (peek() == u'-' && m_pos + 1 < m_text.size() && peek(1) != u']') {
                ++m_pos;
                const char16_t high = classMember();
                if (high < low) fail(u"reversed range", memberAt);
                set.add(low, high);
                if (peek() == u'-' && m_pos + 1 < m_text.size() && peek(1) != u']')
                    fail(u"a hyphen after a range must end the class");
            } else {
                set.add(low, low);
            }
        }
        ++m_pos;
        if (!negated) return set;
        CharSet complement = set.complement();
        if (complement.ranges().empty()) fail(u"negated class that accepts nothing", open);
        return complement;
    }

    void parseQuantifier(Node& node)
    {
        if (atEnd()) return;
        switch (peek()) {
            case u'+':
                node.quantifier = Quantifier::kGreedyPlus;
                ++m_pos;
                break;
            case u'*':
                if (peek(1) != u'?') fail(u"only the lazy \"*?\" is supported");
                node.quantifier = Quantifier::kLazyStar;
                m_pos += 2;
                break;
            case u'?':
                fail(u"\"?\" is only supported in \"*?\"");
            case u'{':
                parseCount(node);
                break;
            default:
                return;
        }
        if (!atEnd() && isQuantifierStart(peek())) fail(u"quantifier with nothing before it");
    }

    void parseCount(Node& node)
    {
        const std::size_t open = m_pos++;
        int count = 0;
        std::size_t digits = 0;
        while (!atEnd() && peek() >= u'0' && peek() <= u'9') {
            count = count * 10 + (peek() - u'0');
            if (count > kMaxRepeatCount) fail(u"count too large", open);
            ++digits;
            ++m_pos;
        }
        if (digits == 0 || atEnd() || peek() != u'}')
            fail(u"only \"{n}\" with a decimal count is supported", open);
        ++m_pos;
        node.quantifier = Quantifier::kExactly;
        node.count = count;
    }

    std::u16string_view m_text;
    std::size_t m_pos = 0;
    int m_groups = 0;
};

// Characters with a meaning inside brackets show as \uXXXX there, so a dumped class reads back
// unambiguously.
void dumpChar(std::string& out, char16_t c, bool inClass = false)
{
    const bool special =
        inClass && (c == u'-' || c == u']' || c == u'[' || c == u'\\' || c == u'^');
    if (c >= 0x21 && c <= 0x7E && !special) {
        out += static_cast<char>(c);
    } else {
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "\\u%04X", static_cast<unsigned>(c));
        out += buffer;
    }
}

void dumpAlternatives(std::string& out, const std::vector<Sequence>& alternatives);

void dumpNode(std::string& out, const Node& node)
{
    if (node.kind == Node::Kind::kGroup) {
        out += '(';
        out += std::to_string(node.group);
        out += ' ';
        dumpAlternatives(out, node.alternatives);
        out += ')';
        return;
    }
    switch (node.item) {
        case ItemKind::kLiteral:
            dumpChar(out, node.set.ranges().front().first);
            break;
        case ItemKind::kAny:
            out += '.';
            break;
        case ItemKind::kDigit:
        case ItemKind::kClass:
            out += '[';
            for (const auto& [low, high] : node.set.ranges()) {
                dumpChar(out, low, true);
                if (high != low) {
                    out += '-';
                    dumpChar(out, high, true);
                }
            }
            out += ']';
            break;
    }
    switch (node.quantifier) {
        case Quantifier::kOnce:
            break;
        case Quantifier::kExactly:
            out += '{' + std::to_string(node.count) + '}';
            break;
        case Quantifier::kGreedyPlus:
            out += '+';
            break;
        case Quantifier::kLazyStar:
            out += "*?";
            break;
    }
}

void dumpAlternatives(std::string& out, const std::vector<Sequence>& alternatives)
{
    for (std::size_t i = 0; i < alternatives.size(); ++i) {
        if (i > 0) out += '|';
        for (const Node& node : alternatives[i]) dumpNode(out, node);
    }
}

}  // namespace

std::string Syntax::dump() const
{
    std::string out;
    dumpAlternatives(out, alternatives);
    return out;
}

Syntax parsePattern(std::u16string_view pattern)
{
    return Parser(pattern).parse();
}

}  // namespace tarvelin::pattern
