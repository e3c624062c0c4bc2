#include "export/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>

#include "conversion/ConversionError.h"
#include "conversion/FileBytes.h"
#include "conversion/Text.h"

namespace tarvelin {

namespace {

constexpr std::u16string_view kNotWritten = u"Die Datei %s konnte nicht geschrieben werden.";

// The message names the file and, after it, the reason the system gave.
[[noreturn]] void failFor(const std::filesystem::path& path, std::u16string_view reason)
{
    std::u16string message = formatMessage(kNotWritten, fromUtf8(path.string()));
    if (!reason.empty()) {
        message += u' ';
        message += reason;
    }
    throw ConversionError(std::move(message));
}

[[noreturn]] void failFor(const std::filesystem::path& path, int errorNumber)
{
    failFor(path, SystemErrorText(errorNumber));
}

// The rename that replaces a file needs only the folder's rights, so it would go through even
// where the user made the file itself read-only. Such a file is not replaced.
bool isReadOnlyFile(const std::filesystem::path& target)
{
    struct stat existing {};
    if (::stat(target.c_str(), &existing) != 0 || !S_ISREG(existing.st_mode)) {
        return false;
    }
    return (existing.st_mode & 0222) == 0 ||
           ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0;
}

// Creates a new, empty file next to target with a name nobody else uses and returns its
// descriptor, or -1 when target cannot be replaced. The mode 0666 lets the umask decide, as for
// any file the user creates.
int createTemporary(const std::filesystem::path& target, std::filesystem::path& tempPath)
{
    if (isReadOnlyFile(target)) {
        errno = EACCES;
        return -1;
    }
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path folder = target.parent_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = "." + target.filename().string() + "." +
                                 std::to_string(::getpid()) + "." +
                                 std::to_string(counter.fetch_add(1)) + ".tmp";
        tempPath = folder.empty() ? std::filesystem::path(name) : folder / name;
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

// A file that is being replaced keeps its permissions.
void keepPermissions(int fd, const std::filesystem::path& target)
{
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        ::fchmod(fd, existing.st_mode & 07777);
    }
}

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Makes the rename itself durable; a folder that cannot be synced is no failure of the write.
void syncFolder(const std::filesystem::path& target)
{
    const std::filesystem::path folder =
        target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Syncs and closes fd, then renames tempPath over target. Removes tempPath on failure.
bool finish(int fd, const std::filesystem::path& tempPath, const std::filesystem::path& target)
{
    keepPermissions(fd, target);
    const bool synced = ::fsync(fd) == 0;
    int error = synced ? 0 : errno;
    const bool closed = ::close(fd) == 0;
    if (error == 0 && !closed) {
        error = errno;
    }
    if (error == 0 && ::rename(tempPath.c_str(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(tempPath.c_str());
        errno = error;
        return false;
    }
    syncFolder(target);
    return true;
}

}  // namespace

void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes)
{
    std::filesystem::path tempPath;
    const int fd = createTemporary(path, tempPath);
    if (fd < 0) {
        failFor(path, errno);
    }
    if (!writeAll(fd, bytes)) {
        const int error = errno;
        ::close(fd);
        ::unlink(tempPath.c_str());
        failFor(path, error);
    }
    if (!finish(fd, tempPath, path)) {
        failFor(path, errno);
    }
}

AtomicFileReplacement::AtomicFileReplacement(std::filesystem::path target)
    : m_target(std::move(target))
{
    const int fd = createTemporary(m_target, m_tempPath);
    if (fd < 0) {
        failFor(m_target, errno);
    }
    ::close(fd);
}

AtomicFileReplacement::~AtomicFileReplacement()
{
    if (!m_committed) {
        ::unlink(m_tempPath.c_str());
    }
}

void AtomicFileReplacement::Commit()
{
    const int fd = ::open(m_tempPath.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0 || !finish(fd, m_tempPath, m_target)) {
        failFor(m_target, errno);
    }
    m_committed = true;
}

void AtomicFileReplacement::Fail(std::u16string_view reason) const
{
    failFor(m_target, reason);
}

}  // namespace tarvelin
