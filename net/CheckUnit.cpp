#include "net/CheckUnit.h"

#include <QByteArrayView>
#include <QCoreApplication>
#include <QMetaObject>
#include <QUrl>

#include <chrono>
#include <string>
#include <string_view>

namespace tarvelin::net {

namespace {

using Clock = std::chrono::steady_clock;

// What the probe has seen of the answer so far.
struct AnswerWatch {
    std::chrono::milliseconds lineTimeout{};
    bool connected = false;
    bool headerBlockEnded = false;
    Clock::time_point lastLine{};  // the connection, then each complete line
};

// Watches the header lines as they arrive (libcurl hands over one whole line per call): a new
// status line opens a block, an empty line ends it, and every line restarts the line clock.
size_t watchHeaderLine(char* data, size_t size, size_t count, void* user)
{
    const size_t bytes = size * count;
    auto* watch = static_cast<AnswerWatch*>(user);
    watch->lastLine = Clock::now();
    const std::string_view line(data, bytes);
    if (line == "\r\n" || line == "\n") {
        watch->headerBlockEnded = true;
    } else if (line.size() >= 5 &&
               QByteArrayView(line.data(), 5).compare("HTTP/", Qt::CaseInsensitive) == 0) {
        watch->headerBlockEnded = false;
    }
    return bytes;
}

// Called once the connection stands, right before the request is sent: the line clock starts.
// The connection attempt has a bound of its own.
int startLineClock(void* user, char*, char*, int, int)
{
    auto* watch = static_cast<AnswerWatch*>(user);
    watch->connected = true;
    watch->lastLine = Clock::now();
    return CURL_PREREQFUNC_OK;
}

// Called by libcurl at least once a second, also while nothing arrives: ends the transfer when
// the next line is overdue.
int watchLineTime(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    const auto* watch = static_cast<const AnswerWatch*>(user);
    return watch->connected && Clock::now() - watch->lastLine > watch->lineTimeout ? 1 : 0;
}

size_t discardBody(char*, size_t size, size_t count, void*)
{
    return size * count;
}

// The Host header's value: the host alone on port 80, otherwise with its port.
std::string hostHeaderOf(const QUrl& url)
{
    const int port = url.port(80);
    QString host = url.host(QUrl::FullyEncoded);
    if (host.contains(u':')) host = u'[' + host + u']';
    if (port != 80) host += u':' + QString::number(port);
    return host.toStdString();
}

}  // namespace

bool isProbeReachable(CURLcode curlCode, bool headerBlockEnded)
{
    switch (curlCode) {
        case CURLE_OK:
            return headerBlockEnded;
        // The server sent a first line libcurl will not take as HTTP (no status line, or an
        // unknown protocol version): it did answer.
        case CURLE_WEIRD_SERVER_REPLY:
        case CURLE_UNSUPPORTED_PROTOCOL:
            return true;
        default:
            return false;
    }
}

bool probeServer(CURL* curl, const QString& url, const ProbeLimits& limits)
{
    if (!curl) return false;
    curl_easy_reset(curl);

    const QUrl parsed(url);
    if (!parsed.isValid() || parsed.host().isEmpty()) return false;
    QUrl target = parsed;
    target.setScheme(QStringLiteral("http"));
    target.setPath(QStringLiteral("/"));
    const std::string targetUrl = target.toString(QUrl::FullyEncoded).toStdString();

    CurlHeaderList headers = makeHeaderList({
        "Host: " + hostHeaderOf(parsed),
        "Keep-Alive: 300",
        "Connection: keep-alive",
        std::string("User-Agent: ") + TInetCheckThread::kUserAgent,
    });
    if (!headers) return false;

    AnswerWatch watch;
    watch.lineTimeout = limits.lineTimeout;
    setCommonOptions(curl);
    curl_easy_setopt(curl, CURLOPT_URL, targetUrl.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(curl, CURLOPT_HTTP09_ALLOWED, 1L);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(limits.connectTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, watchHeaderLine);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &watch);
    curl_easy_setopt(curl, CURLOPT_PREREQFUNCTION, startLineClock);
    curl_easy_setopt(curl, CURLOPT_PREREQDATA, &watch);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, watchLineTime);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &watch);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, discardBody);

    const CURLcode code = curl_easy_perform(curl);
    return isProbeReachable(code, watch.headerBlockEnded);
}

TInetCheckThread::TInetCheckThread(const QString& aURL, ProbeLimits limits)
    : fHTTP(makeCurlEasy()), fURL(aURL), m_limits(limits)
{
    connect(this, &QThread::finished, this, &QObject::deleteLater);
    ++s_unfinished;
}

std::atomic<int> TInetCheckThread::s_unfinished{0};

int TInetCheckThread::unfinished()
{
    return s_unfinished.load();
}

TInetCheckThread::~TInetCheckThread() = default;

void TInetCheckThread::setOnResult(QObject* context, TResultNotify notify)
{
    m_context = context;
    fNotify = std::move(notify);
}

bool TInetCheckThread::startProbe()
{
    start();
    // A thread that started is running or, if it was quick, finished; one the system could not
    // create is neither.
    return isRunning() || isFinished();
}

void TInetCheckThread::run()
{
    struct Ended {
        ~Ended() { --s_unfinished; }
    } ended;
    fResult = probeServer(fHTTP.get(), fURL, m_limits);

    // When the program is already ending, nobody is left to take the outcome.
    if (QCoreApplication::closingDown() || !QCoreApplication::instance()) return;
    // Runs NotifyResult on the main thread (this object lives there) and waits for it.
    QMetaObject::invokeMethod(this, &TInetCheckThread::NotifyResult, Qt::BlockingQueuedConnection);
}

void TInetCheckThread::NotifyResult()
{
    if (!fNotify || !m_context) return;
    try {
        fNotify(this, fResult);
    } catch (...) {
        // A failure of the receiver ends this probe silently.
    }
}

}  // namespace tarvelin::net
