// Where the maker's web server is reached: host name and TCP port.
//
// The connectivity probe and the ticker download both talk to this one server. The address is
// the maker's host on port 80; the environment variable TARVELIN_MAKER_SERVER ("host:port")
// redirects it, so tests and demonstrations can point the program at a server of their own.
// This unit only names the server; it opens no connection.
#pragma once

#include <QString>
#include <QStringView>
#include <optional>

namespace tarvelin::net {

struct ServerAddress {
    QString host;
    int port = 80;

    // The value of a Host header: the host alone on port 80, "host:port" otherwise.
    QString hostHeader() const;
    // "http://host[:port]" followed by path (which starts with "/").
    QString url(QStringView path) const;
};

// Reads "host:port" or a bare "host" (port 80). Returns nothing for an empty host or a port
// outside 1..65535.
std::optional<ServerAddress> parseServerAddress(QStringView text);

// The maker's server, or the address in TARVELIN_MAKER_SERVER when that is set and valid.
ServerAddress makerServer();

}  // namespace tarvelin::net
