// Reading a whole file into memory, with the German failure messages the user sees.
//
// Used by the EDL loader and by the command-line tool for every file it reads. The file is held
// open only while it is read and is locked against writers where the system supports it. What the
// bytes mean is not decided here.
#pragma once

#include <cstddef>
#include <string>

namespace tarvelin {

// Reads every byte of the file at path. Throws ConversionError with
// "Datei %s kann nicht geöffnet werden. %s" (the absolute file name and a German reason) when it
// cannot be opened or is a directory, and "Stream konnte nicht geladen werden" when reading fails.
// A file holding more than maxBytes bytes is refused with tooLargeMessage before it is read whole.
std::string ReadFileBytes(const std::string& path, std::size_t maxBytes,
                          const std::u16string& tooLargeMessage);

// Asks the system to back a large buffer that is about to be written with large memory pages,
// where it supports that: a 16 MB list then costs a few page faults instead of thousands. Only
// a hint; nothing changes where it is not taken.
void PreferLargePages(const void* buffer, std::size_t bytes);

// For a large buffer that is about to be written whole: large pages as above, and all its pages
// mapped at once instead of one page fault each (a fault is expensive, more so in a virtual
// machine). Only a hint as well.
void PrepareLargeBuffer(const void* buffer, std::size_t bytes);

// The German text for a system error number, as shown after "kann nicht geöffnet werden.".
std::u16string SystemErrorText(int errorNumber);

}  // namespace tarvelin
