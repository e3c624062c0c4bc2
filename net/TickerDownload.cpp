#include "net/TickerDownload.h"

#include "net/CurlSupport.h"
#include "net/TickerBody.h"

#include <string>

namespace tarvelin::net {

namespace {

struct BodySink {
    QByteArray body;
    std::size_t limit = 0;
    bool overflowed = false;
};

size_t appendBody(char* data, size_t size, size_t count, void* user)
{
    auto* sink = static_cast<BodySink*>(user);
    const size_t bytes = size * count;
    if (static_cast<std::size_t>(sink->body.size()) + bytes > sink->limit) {
        sink->overflowed = true;
        return 0;  // aborts the transfer
    }
    sink->body.append(data, static_cast<qsizetype>(bytes));
    return bytes;
}

}  // namespace

TickerHttpClient::TickerHttpClient(TickerDownloadLimits limits) : m_limits(limits) {}

std::optional<HttpAnswer> TickerHttpClient::get(const ServerAddress& server,
                                                const QString& path) const
{
    CurlEasy handle = makeCurlEasy();
    if (!handle) return std::nullopt;
    CURL* curl = handle.get();

    const std::string url = server.url(path).toStdString();
    CurlHeaderList headers = makeHeaderList({
        "Host: " + server.hostHeader().toStdString(),
        std::string("Accept: ") + kAccept,
        "Accept-Encoding: identity",
        std::string("User-Agent: ") + kUserAgent,
    });
    if (!headers) return std::nullopt;

    BodySink sink;
    sink.limit = m_limits.maxBodyBytes;

    setCommonOptions(curl);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(m_limits.connectTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(m_limits.totalTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE,
                     static_cast<curl_off_t>(m_limits.maxBodyBytes));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);

    if (curl_easy_perform(curl) != CURLE_OK || sink.overflowed) return std::nullopt;

    HttpAnswer answer;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &answer.status);
    char* contentType = nullptr;
    if (curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &contentType) == CURLE_OK && contentType) {
        answer.contentType = QByteArray(contentType);
    }
    answer.body = std::move(sink.body);
    return answer;
}

std::optional<QString> TickerHttpClient::downloadText(const ServerAddress& server,
                                                      const QString& path) const
{
    const std::optional<HttpAnswer> answer = get(server, path);
    if (!answer || !isTickerDownloadSuccess(answer->status)) return std::nullopt;
    return DecodeTickerBody(answer->contentType, answer->body);
}

}  // namespace tarvelin::net
