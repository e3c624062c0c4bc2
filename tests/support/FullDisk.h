// FullDisk: while it lives, the process may write no more than a few bytes to any file, so that
// writes fail as they do on a full disk (the file-size limit is lowered and its signal ignored,
// so a write beyond it fails with EFBIG). Tests that check failed saves and exports use it.
#pragma once

#include <sys/resource.h>

#include <cstddef>

namespace tarvelin::testsupport {

class FullDisk {
public:
    // active false: changes nothing (for table rows that do not want a full disk).
    explicit FullDisk(bool active = true, std::size_t bytesAllowed = 64);
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

private:
    bool m_active;
    rlimit m_saved{};
    void (*m_previousHandler)(int) = nullptr;
};

}  // namespace tarvelin::testsupport
