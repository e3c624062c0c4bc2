// A tiny TCP server on 127.0.0.1 for the network tests: it accepts connections on a free port,
// records each request's bytes and answers with whatever the test's script says.
//
// One background thread serves the connections one after another. A script may send bytes, stall
// or close early; stalls end at once when the server is destroyed. Nothing here parses HTTP
// beyond finding the end of the request head.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tarvelin::testing {

class ScriptedHttpServer {
public:
    class Connection {
    public:
        // The request head up to and including the empty line (empty if none arrived in time).
        const std::string& request() const { return m_request; }
        void send(const std::string& bytes);
        // Waits for the given time or until the server is being destroyed.
        void stall(std::chrono::milliseconds duration);

    private:
        friend class ScriptedHttpServer;
        Connection(int socket, ScriptedHttpServer& server) : m_socket(socket), m_server(server) {}
        int m_socket;
        ScriptedHttpServer& m_server;
        std::string m_request;
    };

    using Script = std::function<void(Connection&)>;

    explicit ScriptedHttpServer(Script script);
    ~ScriptedHttpServer();
    ScriptedHttpServer(const ScriptedHttpServer&) = delete;
    ScriptedHttpServer& operator=(const ScriptedHttpServer&) = delete;

    int port() const { return m_port; }
    std::string address() const { return "127.0.0.1:" + std::to_string(m_port); }
    std::vector<std::string> requests() const;

    // A script that answers every request with these bytes and closes.
    static Script reply(std::string bytes);

private:
    void serve();

    Script m_script;
    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stopping{false};
    mutable std::mutex m_mutex;
    std::condition_variable m_stopped;
    std::vector<std::string> m_requests;
    std::thread m_thread;
};

// A port on 127.0.0.1 where nothing listens, so a connection attempt is refused.
int refusingPort();

}  // namespace tarvelin::testing
