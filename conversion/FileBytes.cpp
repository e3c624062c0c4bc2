#include "conversion/FileBytes.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <system_error>

#include "conversion/ConversionError.h"
#include "conversion/Messages.h"
#include "conversion/Text.h"

namespace tarvelin {

namespace {

// Closes the descriptor on every way out of ReadFileBytes.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

// The full name as the user would write it: absolute, with "." and ".." resolved by name.
std::u16string absoluteName(const std::string& path)
{
    std::error_code error;
    const auto absolute = std::filesystem::absolute(path, error);
    return fromUtf8(error ? path : absolute.lexically_normal().string());
}

[[noreturn]] void throwCannotOpen(const std::string& path, int errorNumber)
{
    throw ConversionError(
        formatMessage(kCannotOpenMessage, {absoluteName(path), SystemErrorText(errorNumber)}));
}

[[noreturn]] void throwCannotLoad()
{
    throw ConversionError(std::u16string(kCannotLoadMessage));
}

}  // namespace

void PreferLargePages(const void* buffer, std::size_t bytes)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
    const auto begin = reinterpret_cast<std::uintptr_t>(buffer);
    const std::uintptr_t first = (begin + kLargePage - 1) & ~(kLargePage - 1);
    const std::uintptr_t last = (begin + bytes) & ~(kLargePage - 1);
    if (last > first) {
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
#else
    (void)buffer;
    (void)bytes;
#endif
}

void PrepareLargeBuffer(const void* buffer, std::size_t bytes)
{
    PreferLargePages(buffer, bytes);
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
    // From the start of the buffer's first page: the pages are the buffer's or its allocation's.
    const auto begin = reinterpret_cast<std::uintptr_t>(buffer);
    const std::uintptr_t first = begin & ~std::uintptr_t{4095};
    if (bytes > 0) {
        ::madvise(reinterpret_cast<void*>(first), begin + bytes - first, MADV_POPULATE_WRITE);
    }
#endif
}

std::u16string SystemErrorText(int errorNumber)
{
    switch (errorNumber) {
        case ENOENT:
            return u"Das System kann die angegebene Datei nicht finden";
        case ENOTDIR:
            return u"Das System kann den angegebenen Pfad nicht finden";
        case EACCES:
        case EPERM:
            return u"Zugriff verweigert";
        case EISDIR:
            return u"Der angegebene Name ist ein Ordner und keine Datei";
        case ENAMETOOLONG:
            return u"Der Dateiname ist zu lang";
        case ELOOP:
            return u"Zu viele symbolische Verknüpfungen im Pfad";
        case EMFILE:
        case ENFILE:
            return u"Zu viele Dateien sind geöffnet";
        case EWOULDBLOCK:
            return u"Der Prozess kann nicht auf die Datei zugreifen, da sie von einem anderen "
                   u"Prozess verwendet wird";
        case ENXIO:
        case ENODEV:
            return u"Das angegebene Gerät ist nicht vorhanden";
        case ENOSPC:
        case EDQUOT:
            return u"Auf dem Datenträger ist nicht genügend Speicherplatz verfügbar";
        case EFBIG:
            return u"Die Datei ist für den Datenträger zu groß";
        case EROFS:
            return u"Der Datenträger ist schreibgeschützt";
        case EEXIST:
            return u"Die Datei ist bereits vorhanden";
        case EIO:
            return u"E/A-Fehler auf dem Datenträger";
        default:
            return fromUtf8("Systemfehler " + std::to_string(errorNumber));
    }
}

std::string ReadFileBytes(const std::string& path, std::size_t maxBytes,
                          const std::u16string& tooLargeMessage)
{
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) {
        throwCannotOpen(path, errno);
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) {
        throwCannotOpen(path, errno);
    }
    if (S_ISDIR(info.st_mode)) {
        throwCannotOpen(path, EISDIR);
    }
    // Readers share the file; a writer holding an exclusive lock keeps us out.
    if (S_ISREG(info.st_mode) && ::flock(file.get(), LOCK_SH | LOCK_NB) != 0 &&
        errno == EWOULDBLOCK) {
        throwCannotOpen(path, EWOULDBLOCK);
    }
    const int flags = ::fcntl(file.get(), F_GETFL);
    if (flags >= 0) {
        ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK);
    }

    constexpr std::size_t kChunk = 1 << 16;
    std::string bytes;
    if (S_ISREG(info.st_mode)) {
        const auto size = static_cast<std::size_t>(info.st_size);
        if (size > maxBytes) {
            throw ConversionError(tooLargeMessage);
        }
        bytes.reserve(size + kChunk);
        PrepareLargeBuffer(bytes.data(), bytes.capacity());
    }
    // Read until the end, whatever the size said: pipes and growing files have no size.
    for (;;) {
        const std::size_t used = bytes.size();
        if (used > maxBytes) {
            throw ConversionError(tooLargeMessage);
        }
        bytes.resize(used + kChunk);
        const ssize_t got = ::read(file.get(), bytes.data() + used, kChunk);
        if (got < 0) {
            if (errno == EINTR) {
                bytes.resize(used);
                continue;
            }
            if (errno == EISDIR) {
                throwCannotOpen(path, EISDIR);
            }
            throwCannotLoad();
        }
        bytes.resize(used + static_cast<std::size_t>(got));
        if (got == 0) {
            break;
        }
    }
    if (bytes.size() > maxBytes) {
        throw ConversionError(tooLargeMessage);
    }
    return bytes;
}

}  // namespace tarvelin
