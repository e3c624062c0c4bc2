// Small helpers for the core's text type: UTF-16 in std::u16string, one char16_t a character.
//
// Conversions to and from UTF-8 for files, the command line and messages. Nothing here knows
// about EDLs or timecodes.
#pragma once

#include <string>
#include <string_view>

namespace tarvelin {

// UTF-16 to UTF-8. An unpaired surrogate becomes U+FFFD.
std::string toUtf8(std::u16string_view text);

// UTF-8 to UTF-16. A malformed sequence becomes one U+FFFD per offending byte.
std::u16string fromUtf8(std::string_view text);

// Whether every line break in text is CR LF: each CR is followed by LF and each LF follows a CR.
// Such a text splits into lines and joins with CR LF again unchanged, up to a break at its end.
bool hasOnlyCrLfBreaks(std::u16string_view text);

// Replaces the first "%s" in a message pattern with an argument.
std::u16string formatMessage(std::u16string_view pattern, std::u16string_view argument);

}  // namespace tarvelin
