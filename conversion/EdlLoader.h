// Loading an edit decision list from a file into the raw-text buffer's text.
//
// The file's bytes become characters: a byte-order mark (UTF-8, UTF-16 LE or BE) selects that
// encoding and is dropped; a document beginning "{\rtf" is reduced to its plain text; everything
// else is 8-bit text in Windows-1252. The lines (split by ForEachLine's rule) are kept as one
// text with every line followed by CR LF, the last one too: the form normalisation and
// extraction work on. Normalisation and extraction are not done here.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/Messages.h"

namespace tarvelin {

// Most characters the raw-text buffer and the cue-line area hold. A file counts with its line
// break characters as they stand in it, without a byte-order mark.
inline constexpr std::size_t kTextCapacity = 16'777'215;

// A file's bytes as the buffer's text. Throws ConversionError (kTooLargeMessage) when the text
// exceeds kTextCapacity.
std::u16string DecodeEdlText(std::string_view bytes);

// Reads a file's bytes for decoding, refusing one far too large unread. Throws ConversionError
// as LoadEdlText does.
std::string ReadEdlBytes(const std::string& path);

// When the bytes are 8-bit text (no byte-order mark, no RTF) whose line breaks are all CR LF,
// they are the buffer's text one byte a character once a missing final CR LF is added: adds it
// and returns true, or throws ConversionError (kTooLargeMessage) when the text exceeds
// kTextCapacity. Otherwise returns false and leaves the bytes as they are, for DecodeEdlText.
bool CompleteEightBitBufferText(std::string& bytes);

// Windows-1252 bytes as characters, one a byte; line breaks are left as they stand.
std::u16string DecodeWindows1252(std::string_view bytes);

// Reads and decodes a file. Throws ConversionError with kCannotOpenMessage when it cannot be
// opened, kCannotLoadMessage when it cannot be read, and kTooLargeMessage when it is too large.
std::u16string LoadEdlText(const std::string& path);

// The buffer's lines one by one: SplitLines of the texts above.
std::vector<std::u16string> DecodeEdlBytes(std::string_view bytes);
std::vector<std::u16string> LoadEdlFile(const std::string& path);

}  // namespace tarvelin
