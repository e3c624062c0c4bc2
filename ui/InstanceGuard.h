// InstanceGuard: the lock that lets one copy of the program run per executable file name.
//
// The first copy takes the lock without waiting and holds it until its process ends, however it
// ends. A later copy under the same file name finds it taken; a copy under another file name
// has a lock of its own. On Linux the lock is a kernel flock() on "<file name>.lock" in the
// user's runtime folder ($XDG_RUNTIME_DIR, else a private folder under the temporary directory);
// a Windows build would put a named mutex behind the same interface. Nothing here shows a message.
#pragma once

#include <QString>
#include <memory>

class InstanceGuard {
public:
    virtual ~InstanceGuard() = default;

    // True when this process holds the lock.
    virtual bool owned() const = 0;

    // Takes the lock named name without waiting. lockDir overrides the folder; when empty, the
    // environment variable TARVELIN_LOCK_DIR (a documented option of the program) does, else the
    // user's runtime folder is used.
    // Never returns null; a lock that cannot be created is not owned.
    static std::unique_ptr<InstanceGuard> acquire(const QString& name, const QString& lockDir = {});

    // The running executable's file name, as the lock name.
    static QString executableName();
};
