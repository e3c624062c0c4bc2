#include "export/RowsTsv.h"

#include "conversion/Text.h"

namespace tarvelin {

std::u16string CueLineTextFromUtf8(std::string_view bytes)
{
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        bytes.remove_prefix(kByteOrderMark.size());
    }
    const std::u16string text = fromUtf8(bytes);
    std::u16string joined;
    joined.reserve(text.size() + text.size() / 16);
    std::size_t start = 0;
    bool first = true;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of(u"\r\n", start);
        if (!first) {
            joined += u"\r\n";
        }
        first = false;
        if (end == std::u16string::npos) {
            joined.append(text, start, std::u16string::npos);
            break;
        }
        joined.append(text, start, end - start);
        start =
            end + ((text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n') ? 2 : 1);
    }
    return joined;
}

std::u16string EscapeTsvCell(std::u16string_view cell)
{
    std::u16string out;
    out.reserve(cell.size());
    for (const char16_t c : cell) {
        switch (c) {
            case u'\t':
                out += u"\\t";
                break;
            case u'\r':
                out += u"\\r";
                break;
            case u'\n':
                out += u"\\n";
                break;
            case u'\\':
                out += u"\\\\";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string FormatRowsTsv(const std::vector<CueRow>& rows)
{
    std::string out;
    for (const CueRow& row : rows) {
        std::u16string line = EscapeTsvCell(row.in);
        line += u'\t';
        line += EscapeTsvCell(row.out);
        line += u'\t';
        line += EscapeTsvCell(row.length);
        line += u'\t';
        line += EscapeTsvCell(row.title);
        out += toUtf8(line);
        out += '\n';
    }
    return out;
}

}  // namespace tarvelin
