#include "tests/support/FullDisk.h"

#include <csignal>

namespace tarvelin::testsupport {

FullDisk::FullDisk(bool active, std::size_t bytesAllowed) : m_active(active)
{
    if (!m_active) return;
    ::getrlimit(RLIMIT_FSIZE, &m_saved);
    m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = m_saved;
    limit.rlim_cur = static_cast<rlim_t>(bytesAllowed);
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

FullDisk::~FullDisk()
{
    if (!m_active) return;
    ::setrlimit(RLIMIT_FSIZE, &m_saved);
    std::signal(SIGXFSZ, m_previousHandler);
}

}  // namespace tarvelin::testsupport
