// The Windows-1252 code page: the 8-bit encoding an edit decision list is written in.
//
// Bytes below 0x80 and from 0xA0 are the code points of the same number; 0x80 to 0x9F hold the
// typographic characters of Windows-1252, and the five bytes it leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) keep the code point of the byte. Used by the EDL loader, the RTF reader and
// the ticker download's decoding (header only, so it needs no library).
#pragma once

#include <array>

namespace tarvelin {

inline constexpr std::array<char16_t, 32> kWindows1252High = {
    u'\u20AC', u'\u0081', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\u008D', u'\u017D', u'\u008F',
    u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\u009D', u'\u017E', u'\u0178',
};

constexpr char16_t Windows1252ToUnicode(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80]
                                       : static_cast<char16_t>(byte);
}

}  // namespace tarvelin
