// Loading an edit decision list from a file into lines of text.
//
// The file's bytes become characters: a byte-order mark (UTF-8, UTF-16 LE or BE) selects that
// encoding and is dropped; a document beginning "{\rtf" is reduced to its plain text; everything
// else is 8-bit text in Windows-1252. Lines end at CR LF, LF CR, a lone CR or a lone LF; a break
// at the very end adds no line. Normalisation and extraction are not done here.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tarvelin {

// Most characters the raw-text buffer and the cue-line area hold. A file counts with its line
// break characters as they stand in it, without a byte-order mark.
inline constexpr std::size_t kTextCapacity = 16'777'215;

// The message of a file with more than kTextCapacity characters.
inline constexpr std::u16string_view kTooLargeMessage =
    u"Die Datei ist zu groß: höchstens 16.777.215 Zeichen";

// Decodes a file's bytes into lines. Throws ConversionError when the text exceeds kTextCapacity.
std::vector<std::u16string> DecodeEdlBytes(std::string_view bytes);

// Reads and decodes a file. Throws ConversionError with "Datei %s kann nicht geöffnet werden. %s"
// when it cannot be opened, "Stream konnte nicht geladen werden" when it cannot be read, and the
// capacity message when it is too large.
std::vector<std::u16string> LoadEdlFile(const std::string& path);

// The same lines as one text, each line followed by CR LF (the last one too), as
// JoinLinesCrLf(DecodeEdlBytes(bytes)) gives them but without building the lines: a 16 MB list
// then costs a few bytes per character.
std::u16string DecodeEdlText(std::string_view bytes);
std::u16string LoadEdlText(const std::string& path);

}  // namespace tarvelin
