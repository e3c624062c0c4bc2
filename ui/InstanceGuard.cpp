#include "ui/InstanceGuard.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

class FlockInstanceGuard : public InstanceGuard {
public:
    explicit FlockInstanceGuard(int fd) : m_fd(fd) {}
    ~FlockInstanceGuard() override
    {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    FlockInstanceGuard(const FlockInstanceGuard&) = delete;
    FlockInstanceGuard& operator=(const FlockInstanceGuard&) = delete;

    bool owned() const override { return m_fd >= 0; }

private:
    int m_fd;
};

// A folder only this user may use: created 0700 when missing, refused when it is a link, belongs
// to someone else or is open to others.
bool ensurePrivateFolder(const QByteArray& path)
{
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) {
        return false;
    }
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0) {
        return false;
    }
    return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & 077) == 0;
}

QString defaultLockDir()
{
    const QString fromEnv = qEnvironmentVariable("TARVELIN_LOCK_DIR");
    if (!fromEnv.isEmpty()) {
        return fromEnv;
    }
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir()) {
        return runtime;
    }
    const QString folder = QDir::temp().filePath(
        QStringLiteral("tarvelin-%1").arg(static_cast<qulonglong>(::geteuid())));
    return ensurePrivateFolder(QFile::encodeName(folder)) ? folder : QString();
}

}  // namespace

std::unique_ptr<InstanceGuard> InstanceGuard::acquire(const QString& name, const QString& lockDir)
{
    const QString dir = lockDir.isEmpty() ? defaultLockDir() : lockDir;
    if (dir.isEmpty() || name.isEmpty() || name.contains(QLatin1Char('/'))) {
        return std::make_unique<FlockInstanceGuard>(-1);
    }
    const QByteArray path = QFile::encodeName(QDir(dir).filePath(name + QStringLiteral(".lock")));
    // Close-on-exec: a program started from here (the browser) must not inherit the lock.
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return std::make_unique<FlockInstanceGuard>(-1);
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return std::make_unique<FlockInstanceGuard>(-1);
    }
    return std::make_unique<FlockInstanceGuard>(fd);
}

QString InstanceGuard::executableName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
}
