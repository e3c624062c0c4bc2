// Replacing a file atomically: the new content goes to a temporary file in the same folder,
// is flushed to disk and then renamed over the target, so a reader sees either the old file or
// the complete new one, and a failure leaves the old file untouched.
//
// Used by the cue-list writers for the window's save and export and by the command-line tool.
// POSIX only (open, fsync, rename). It does not create missing folders.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tarvelin {

// Replaces (or creates) path with bytes. Throws ConversionError
// "Die Datei %s konnte nicht geschrieben werden." followed by the system's reason on any failure.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// For writers that insist on a file name of their own (the spreadsheet library): they write to
// tempPath(); Commit() flushes it and renames it over the target. A temporary file that was
// never committed is removed by the destructor.
class AtomicFileReplacement {
public:
    // Creates the temporary file next to target. Throws ConversionError when it cannot.
    explicit AtomicFileReplacement(std::filesystem::path target);
    ~AtomicFileReplacement();
    AtomicFileReplacement(const AtomicFileReplacement&) = delete;
    AtomicFileReplacement& operator=(const AtomicFileReplacement&) = delete;

    const std::filesystem::path& tempPath() const { return m_tempPath; }
    // Flushes the temporary file and renames it over the target. Throws ConversionError.
    void Commit();
    // Throws the ConversionError that names the target, followed by the reason.
    [[noreturn]] void Fail(std::u16string_view reason) const;

private:
    std::filesystem::path m_target;
    std::filesystem::path m_tempPath;
    bool m_committed = false;
};

}  // namespace tarvelin
