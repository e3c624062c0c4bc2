#include "tests/support/ScriptedHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace tarvelin::testing {

namespace {

int listenOnLoopback(int& port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) throw std::runtime_error("socket failed");
    const int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 16) != 0) {
        ::close(fd);
        throw std::runtime_error("bind/listen failed");
    }
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return fd;
}

}  // namespace

void ScriptedHttpServer::Connection::send(const std::string& bytes)
{
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(m_socket, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return;
        sent += static_cast<size_t>(n);
    }
}

void ScriptedHttpServer::Connection::stall(std::chrono::milliseconds duration)
{
    std::unique_lock lock(m_server.m_mutex);
    m_server.m_stopped.wait_for(lock, duration, [this] { return m_server.m_stopping.load(); });
}

ScriptedHttpServer::ScriptedHttpServer(Script script) : m_script(std::move(script))
{
    m_listener = listenOnLoopback(m_port);
    m_thread = std::thread([this] { serve(); });
}

ScriptedHttpServer::~ScriptedHttpServer()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_stopped.notify_all();
    m_thread.join();
    ::close(m_listener);
}

std::vector<std::string> ScriptedHttpServer::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

ScriptedHttpServer::Script ScriptedHttpServer::reply(std::string bytes)
{
    return [bytes = std::move(bytes)](Connection& connection) { connection.send(bytes); };
}

void ScriptedHttpServer::serve()
{
    while (!m_stopping) {
        pollfd waiting{m_listener, POLLIN, 0};
        if (::poll(&waiting, 1, 50) <= 0) continue;
        const int fd = ::accept(m_listener, nullptr, nullptr);
        if (fd < 0) continue;

        Connection connection(fd, *this);
        // Read the request head; give up after two seconds without its end.
        char buffer[4096];
        for (int rounds = 0; rounds < 40 && !m_stopping; ++rounds) {
            if (connection.m_request.find("\r\n\r\n") != std::string::npos) break;
            pollfd readable{fd, POLLIN, 0};
            if (::poll(&readable, 1, 50) <= 0) continue;
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            connection.m_request.append(buffer, static_cast<size_t>(n));
        }
        {
            std::lock_guard lock(m_mutex);
            m_requests.push_back(connection.m_request);
        }
        m_script(connection);
        ::shutdown(fd, SHUT_RDWR);
        ::close(fd);
    }
}

int refusingPort()
{
    int port = 0;
    const int fd = listenOnLoopback(port);
    ::close(fd);
    return port;
}

}  // namespace tarvelin::testing
