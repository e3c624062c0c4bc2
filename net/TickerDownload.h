// The main window's HTTP client for the ticker text (the window's `IdHTTP1`).
//
// One blocking GET of the ticker file over plain HTTP/1.1 on the calling thread, with fixed
// request headers and bounded waits, so the user interface is held up for at most a few seconds.
// It returns the decoded body or nothing; it never reports anything to the user, and it knows
// nothing of the ticker's drawing or of the probe that precedes it.
#pragma once

#include "net/ServerAddress.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <cstddef>
#include <optional>

namespace tarvelin::net {

struct TickerDownloadLimits {
    std::chrono::milliseconds connectTimeout{5000};
    std::chrono::milliseconds totalTimeout{10000};
    std::size_t maxBodyBytes = 64 * 1024;  // a larger body fails the download
};

// What arrived for a GET: the status, the Content-Type value and the raw body.
struct HttpAnswer {
    long status = 0;
    QByteArray contentType;
    QByteArray body;
};

class TickerHttpClient {
public:
    static constexpr const char* kAccept =
        "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8";
    static constexpr const char* kUserAgent = "Mozilla/3.0 (compatible; Indy Library)";

    explicit TickerHttpClient(TickerDownloadLimits limits = {});

    // GET path from server. Returns nothing on any network error, a timeout or an oversize
    // body; otherwise the answer, whatever its status.
    std::optional<HttpAnswer> get(const ServerAddress& server, const QString& path) const;

    // GET path and decode it: nothing unless the status is 2xx and the body arrived in full.
    std::optional<QString> downloadText(const ServerAddress& server, const QString& path) const;

private:
    TickerDownloadLimits m_limits;
};

}  // namespace tarvelin::net
