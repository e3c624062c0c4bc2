// A small reader of rich-text (RTF) documents: the document's plain text without its formatting.
//
// Used by the EDL loader when a file begins "{\rtf". Paragraphs (\par) and line breaks (\line)
// end lines, \tab gives a TAB, \'hh is a Windows-1252 byte, \uN a UTF-16 code unit (followed by
// \ucN fallback characters that are skipped). Destinations that hold no document text (font,
// colour and style tables, document information, pictures, objects, fields' instructions and
// every "\*" group) are skipped. Anything malformed is read as far as it makes sense; it never
// fails. Fonts' code pages other than Windows-1252 are not honoured.
#pragma once

#include <string>
#include <string_view>

namespace tarvelin {

// True when the bytes begin "{\rtf".
bool IsRtfDocument(std::string_view bytes);

// The plain text of an RTF document, lines separated by LF.
std::u16string RtfToText(std::string_view rtf);

}  // namespace tarvelin
