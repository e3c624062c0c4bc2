// The connectivity probe, the ticker download and their pure verdicts. Every network case talks
// to a ScriptedHttpServer on 127.0.0.1 with short limits.
#include "net/CheckUnit.h"
#include "net/ServerAddress.h"
#include "net/TickerBody.h"
#include "net/TickerDownload.h"
#include "tests/support/ScriptedHttpServer.h"

#include <QCoreApplication>
#include <QPointer>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

using namespace std::chrono_literals;
using tarvelin::net::DecodeTickerBody;
using tarvelin::net::HttpAnswer;
using tarvelin::net::ProbeLimits;
using tarvelin::net::ServerAddress;
using tarvelin::net::TickerDownloadLimits;
using tarvelin::net::TickerHttpClient;
using tarvelin::net::TInetCheckThread;
using tarvelin::testing::ScriptedHttpServer;

namespace {

const QString kTickerPath = QStringLiteral("/Soft/Tarvelin/info.txt");

ServerAddress loopback(int port)
{
    return ServerAddress{QStringLiteral("127.0.0.1"), port};
}

QString rootUrl(int port)
{
    return loopback(port).url(u"/");
}

bool probe(const QString& url, ProbeLimits limits = {2000ms, 1s})
{
    tarvelin::net::CurlEasy handle = tarvelin::net::makeCurlEasy();
    return tarvelin::net::probeServer(handle.get(), url, limits);
}

TickerHttpClient shortClient()
{
    return TickerHttpClient(TickerDownloadLimits{2000ms, 1500ms, 64 * 1024});
}

std::string withContentLength(const std::string& head, const std::string& body)
{
    return head + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

}  // namespace

// ---- Server address -------------------------------------------------------------------------

TEST(ServerAddressTest, ParsesHostAndPort)
{
    struct Case {
        const char* text;
        std::optional<std::pair<const char*, int>> expected;
    };
    const Case cases[] = {
        {"127.0.0.1:8080", std::pair{"127.0.0.1", 8080}},
        {"tarvelin.example", std::pair{"tarvelin.example", 80}},
        {" host:1 ", std::pair{"host", 1}},
        {"host:0", std::nullopt},
        {"host:65536", std::nullopt},
        {"host:abc", std::nullopt},
        {":80", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto parsed = tarvelin::net::parseServerAddress(QString::fromLatin1(c.text));
        ASSERT_EQ(parsed.has_value(), c.expected.has_value());
        if (!parsed) continue;
        EXPECT_EQ(parsed->host, QString::fromLatin1(c.expected->first));
        EXPECT_EQ(parsed->port, c.expected->second);
    }
}

TEST(ServerAddressTest, HostHeaderOmitsPortEighty)
{
    EXPECT_EQ((ServerAddress{"tarvelin.example", 80}.hostHeader()), "tarvelin.example");
    EXPECT_EQ((ServerAddress{"127.0.0.1", 8080}.hostHeader()), "127.0.0.1:8080");
    EXPECT_EQ((ServerAddress{"tarvelin.example", 80}.url(kTickerPath)),
              "http://tarvelin.example/Soft/Tarvelin/info.txt");
}

TEST(ServerAddressTest, EnvironmentRedirectsTheMakerServer)
{
    qunsetenv("TARVELIN_MAKER_SERVER");
    EXPECT_EQ(tarvelin::net::makerServer().host, "tarvelin.example");
    EXPECT_EQ(tarvelin::net::makerServer().port, 80);
    qputenv("TARVELIN_MAKER_SERVER", "127.0.0.1:4711");
    EXPECT_EQ(tarvelin::net::makerServer().host, "127.0.0.1");
    EXPECT_EQ(tarvelin::net::makerServer().port, 4711);
    qputenv("TARVELIN_MAKER_SERVER", "127.0.0.1:nonsense");
    EXPECT_EQ(tarvelin::net::makerServer().host, "tarvelin.example");
    qunsetenv("TARVELIN_MAKER_SERVER");
}

// ---- Pure verdicts --------------------------------------------------------------------------

TEST(TickerBodyTest, DecodesByContentTypeCharset)
{
    struct Case {
        const char* name;
        QByteArray contentType;
        QByteArray bytes;
        QString expected;
    };
    const Case cases[] = {
        {"utf8_umlauts", "text/plain; charset=utf-8",
         "Gr\xC3\xBC\xC3\x9F"
         "e",
         u"Grüße"_qs},
        {"quoted_upper_case_charset", "text/plain; Charset=\"UTF-8\"", "\xC3\xA4", u"ä"_qs},
        {"charset_after_other_parameter", "text/html; format=flowed ;charset=utf8", "\xC3\xB6",
         u"ö"_qs},
        {"text_without_charset_is_latin1", "text/plain",
         "Gr\xC3\xBC"
         "e",
         u"GrÃ¼e"_qs},
        {"windows1252_quotes_and_euro", "text/plain; charset=windows-1252", "\x80 \x93x\x94",
         u"€ “x”"_qs},
        {"windows1252_unassigned_byte", "text/plain; charset=cp1252", "\x81", u"\u0081"_qs},
        {"latin9_euro", "text/plain; charset=ISO-8859-15", "\xA4\xBD", u"€œ"_qs},
        {"latin1_currency_sign", "text/plain; charset=iso-8859-1", "\xA4\xBD", u"¤½"_qs},
        {"utf16le", "text/plain; charset=utf-16le", QByteArray("A\0\xE4\0", 4), u"Aä"_qs},
        {"utf16_without_mark_is_big_endian", "text/plain; charset=utf-16",
         QByteArray("\0A\0\xE4", 4), u"Aä"_qs},
        {"utf16_little_endian_mark", "text/plain; charset=UTF-16",
         QByteArray("\xFF\xFE"
                    "A\0",
                    4),
         u"A"_qs},
        {"utf16_big_endian_mark", "text/plain; charset=utf-16", QByteArray("\xFE\xFF\0A", 4),
         u"A"_qs},
        {"windows1251_cyrillic", "text/plain; charset=windows-1251", "\xC0\xE1\xE2",
         u"\u0410\u0431\u0432"_qs},
        {"iso8859_2_polish_and_czech", "text/plain; charset=ISO-8859-2", "\xB1\xE8\xA9",
         u"\u0105\u010D\u0160"_qs},
        {"koi8r_cyrillic", "text/plain; charset=koi8-r", "\xC1\xC2", u"\u0430\u0431"_qs},
        {"no_content_type_byte_is_char", "", "\xE4\x80", u"ä\u0080"_qs},
        {"unknown_charset_byte_is_char", "text/plain; charset=klingon", "\xE4", u"ä"_qs},
        {"line_breaks_kept", "text/plain; charset=utf-8", "a\r\nb\nc", u"a\r\nb\nc"_qs},
        {"empty_body", "text/plain; charset=utf-8", "", u""_qs},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DecodeTickerBody(c.contentType, c.bytes), c.expected);
    }
}

TEST(TickerBodyTest, OnlyTwoHundredsSucceed)
{
    for (long status : {200L, 201L, 204L, 299L})
        EXPECT_TRUE(tarvelin::net::isTickerDownloadSuccess(status)) << status;
    for (long status : {0L, 100L, 199L, 300L, 301L, 304L, 404L, 500L})
        EXPECT_FALSE(tarvelin::net::isTickerDownloadSuccess(status)) << status;
}

TEST(ProbeVerdictTest, AnyAnswerIsReachableAndEveryErrorIsNot)
{
    using tarvelin::net::isProbeReachable;
    EXPECT_TRUE(isProbeReachable(CURLE_OK, true));
    EXPECT_FALSE(isProbeReachable(CURLE_OK, false));  // closed before the header block ended
    for (bool ended : {false, true}) {
        EXPECT_TRUE(isProbeReachable(CURLE_WEIRD_SERVER_REPLY, ended));
        EXPECT_TRUE(isProbeReachable(CURLE_UNSUPPORTED_PROTOCOL, ended));
        for (CURLcode code :
             {CURLE_COULDNT_CONNECT, CURLE_COULDNT_RESOLVE_HOST, CURLE_OPERATION_TIMEDOUT,
              CURLE_GOT_NOTHING, CURLE_RECV_ERROR, CURLE_SEND_ERROR, CURLE_PARTIAL_FILE}) {
            EXPECT_FALSE(isProbeReachable(code, ended)) << code;
        }
    }
}

// ---- The probe ------------------------------------------------------------------------------

TEST(ProbeTest, SendsExactlyTheHeadRequestLines)
{
    ScriptedHttpServer server(ScriptedHttpServer::reply("HTTP/1.1 200 OK\r\n\r\n"));
    ASSERT_TRUE(probe(rootUrl(server.port())));
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0],
              "HEAD / HTTP/1.0\r\n"
              "Host: 127.0.0.1:" +
                  std::to_string(server.port()) +
                  "\r\n"
                  "Keep-Alive: 300\r\n"
                  "Connection: keep-alive\r\n"
                  "User-Agent: Opera/9.80 (Windows NT 6.1; U; ru) Presto/2.10.289 Version/12.00\r\n"
                  "\r\n");
}

TEST(ProbeTest, ProbesTheRootWhateverPathTheUrlNames)
{
    ScriptedHttpServer server(ScriptedHttpServer::reply("HTTP/1.0 200 OK\r\n\r\n"));
    ASSERT_TRUE(probe(loopback(server.port()).url(u"/some/where")));
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0].rfind("HEAD / HTTP/1.0\r\n", 0), 0u);
}

TEST(ProbeTest, AnyAnswerCountsAsReachable)
{
    struct Case {
        const char* name;
        std::string answer;
    };
    const Case cases[] = {
        {"ok", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n"},
        {"not_found", "HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found"},
        {"server_error", "HTTP/1.0 500 Internal Server Error\r\n\r\n"},
        {"continue_then_status", "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 204 No Content\r\n\r\n"},
        {"lower_case_protocol", "http/1.0 200 OK\r\n\r\n"},
        {"first_line_not_http", "Hello, this is not HTTP\r\n\r\n"},
        {"banner_then_close", "SSH-2.0-OpenSSH_9.2\r\n"},
        {"empty_line_before_status", "\r\nHTTP/1.0 200 OK\r\n\r\n"},
        {"unknown_http_version", "HTTP/3 200 OK\r\n\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedHttpServer server(ScriptedHttpServer::reply(c.answer));
        EXPECT_TRUE(probe(rootUrl(server.port())));
    }
}

TEST(ProbeTest, NetworkErrorsCountAsUnreachable)
{
    EXPECT_FALSE(probe(rootUrl(tarvelin::testing::refusingPort())));
    EXPECT_FALSE(probe(QStringLiteral("not a url")));
    {
        ScriptedHttpServer closesAtOnce([](ScriptedHttpServer::Connection&) {});
        EXPECT_FALSE(probe(rootUrl(closesAtOnce.port())));
    }
    {
        ScriptedHttpServer closesInTheHeaders(
            ScriptedHttpServer::reply("HTTP/1.1 200 OK\r\nServer: cut"));
        EXPECT_FALSE(probe(rootUrl(closesInTheHeaders.port())));
    }
}

TEST(ProbeTest, SilentServerCountsAsUnreachableAfterTheLineTimeout)
{
    ScriptedHttpServer silent([](ScriptedHttpServer::Connection& c) { c.stall(10s); });
    EXPECT_FALSE(probe(rootUrl(silent.port()), ProbeLimits{2000ms, 1s}));
}

TEST(ProbeTest, ServerFallingSilentAfterTheStatusLineCountsAsUnreachable)
{
    ScriptedHttpServer stalls([](ScriptedHttpServer::Connection& c) {
        c.send("HTTP/1.1 200 OK\r\n");
        c.stall(10s);
    });
    EXPECT_FALSE(probe(rootUrl(stalls.port()), ProbeLimits{2000ms, 1s}));
}

TEST(ProbeTest, SlowHeaderLinesAreFineWhileEachComesInTime)
{
    // Five lines 400 ms apart: the answer takes two seconds, twice the line bound.
    ScriptedHttpServer slowLines([](ScriptedHttpServer::Connection& c) {
        for (const char* line :
             {"HTTP/1.1 200 OK\r\n", "Server: langsam\r\n", "X-A: 1\r\n", "X-B: 2\r\n", "\r\n"}) {
            c.stall(400ms);
            c.send(line);
        }
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(probe(rootUrl(slowLines.port()), ProbeLimits{2000ms, 1s}));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 1900ms);
}

TEST(ProbeTest, LineTricklingInSlowerThanTheBoundCountsAsUnreachable)
{
    // Bytes keep coming, but the header line they make up is not complete within the bound.
    ScriptedHttpServer trickles([](ScriptedHttpServer::Connection& c) {
        c.send("HTTP/1.1 200 OK\r\nX-Slow: ");
        for (int i = 0; i < 20; ++i) {
            c.stall(200ms);
            c.send("x");
        }
        c.send("\r\n\r\n");
    });
    EXPECT_FALSE(probe(rootUrl(trickles.port()), ProbeLimits{2000ms, 1s}));
}

// ---- The ticker download ----------------------------------------------------------------------

TEST(TickerDownloadTest, SendsExactlyTheGetRequestLines)
{
    ScriptedHttpServer server(ScriptedHttpServer::reply(
        withContentLength("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n", "news")));
    ASSERT_EQ(shortClient().downloadText(loopback(server.port()), kTickerPath), u"news"_qs);
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0],
              "GET /Soft/Tarvelin/info.txt HTTP/1.1\r\n"
              "Host: 127.0.0.1:" +
                  std::to_string(server.port()) +
                  "\r\n"
                  "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8\r\n"
                  "Accept-Encoding: identity\r\n"
                  "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"
                  "\r\n");
}

TEST(TickerDownloadTest, AnswersAndTheirText)
{
    const std::string big(64 * 1024, 'x');
    struct Case {
        const char* name;
        std::string answer;
        std::optional<QString> expected;
    };
    const Case cases[] = {
        {"utf8_by_content_length",
         withContentLength("HTTP/1.1 200 OK\r\nContent-Type: text/plain; charset=utf-8\r\n",
                           "Gr\xC3\xBC\xC3\x9F"
                           "e"),
         u"Grüße"_qs},
        {"text_plain_without_charset_is_latin1",
         withContentLength("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n", "\xC3\xBC"),
         u"Ã¼"_qs},
        {"windows1252",
         withContentLength("HTTP/1.1 200 OK\r\nContent-Type: text/plain; charset=windows-1252\r\n",
                           "\x80"),
         u"€"_qs},
        {"chunked",
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
         "5\r\nHello\r\n7\r\n, world\r\n0\r\n\r\n",
         u"Hello, world"_qs},
        {"until_close", "HTTP/1.0 200 OK\r\n\r\nread to the end\r\nwith a break",
         u"read to the end\r\nwith a break"_qs},
        {"empty_body", "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", u""_qs},
        {"no_content", "HTTP/1.1 204 No Content\r\n\r\n", u""_qs},
        {"exactly_the_size_limit", withContentLength("HTTP/1.1 200 OK\r\n", big),
         QString::fromLatin1(big)},
        {"over_the_limit_by_length", withContentLength("HTTP/1.1 200 OK\r\n", big + "y"),
         std::nullopt},
        {"over_the_limit_until_close", "HTTP/1.0 200 OK\r\n\r\n" + big + "y", std::nullopt},
        {"not_found", withContentLength("HTTP/1.1 404 Not Found\r\n", "gone"), std::nullopt},
        {"server_error", "HTTP/1.1 500 Oops\r\nContent-Length: 0\r\n\r\n", std::nullopt},
        {"redirect_not_followed",
         "HTTP/1.1 301 Moved\r\nLocation: /elsewhere\r\nContent-Length: 0\r\n\r\n", std::nullopt},
        {"body_shorter_than_its_length", "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nonly this",
         std::nullopt},
        {"closed_without_answer", "", std::nullopt},
        {"not_http", "just some text\r\n", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedHttpServer server(ScriptedHttpServer::reply(c.answer));
        EXPECT_EQ(shortClient().downloadText(loopback(server.port()), kTickerPath), c.expected);
        EXPECT_EQ(server.requests().size(), 1u);
    }
}

TEST(TickerDownloadTest, StalledBodyFailsWithinTheTotalBound)
{
    ScriptedHttpServer stalls([](ScriptedHttpServer::Connection& c) {
        c.send("HTTP/1.1 200 OK\r\nContent-Length: 20\r\n\r\nhalf");
        c.stall(10s);
    });
    EXPECT_EQ(shortClient().downloadText(loopback(stalls.port()), kTickerPath), std::nullopt);
}

TEST(TickerDownloadTest, RefusedConnectionFails)
{
    EXPECT_EQ(shortClient().downloadText(loopback(tarvelin::testing::refusingPort()), kTickerPath),
              std::nullopt);
}

// ---- The probe thread -------------------------------------------------------------------------

namespace {

QCoreApplication& application()
{
    static int argc = 1;
    static char name[] = "NetProbeTest";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

template <typename Predicate>
bool processEventsUntil(Predicate done, std::chrono::milliseconds limit = 10s)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

struct Outcome {
    int calls = 0;
    bool result = false;
    bool onMainThread = false;
    TInetCheckThread* sender = nullptr;
};

}  // namespace

TEST(InetCheckThreadTest, DeliversTheOutcomeOnTheMainThreadAndDeletesItself)
{
    application();
    ScriptedHttpServer notFound(ScriptedHttpServer::reply("HTTP/1.1 404 Not Found\r\n\r\n"));
    const int refused = tarvelin::testing::refusingPort();
    for (const auto& [port, expected] :
         {std::pair{notFound.port(), true}, std::pair{refused, false}}) {
        SCOPED_TRACE(port);
        QObject receiver;
        Outcome outcome;
        auto* thread = new TInetCheckThread(rootUrl(port), ProbeLimits{2000ms, 1s});
        QPointer<TInetCheckThread> alive(thread);
        thread->setOnResult(&receiver, [&outcome](TInetCheckThread* sender, bool result) {
            ++outcome.calls;
            outcome.result = result;
            outcome.sender = sender;
            outcome.onMainThread =
                QThread::currentThread() == QCoreApplication::instance()->thread();
        });
        thread->start();
        ASSERT_TRUE(processEventsUntil([&] { return alive.isNull(); }));
        EXPECT_EQ(outcome.calls, 1);
        EXPECT_EQ(outcome.result, expected);
        EXPECT_EQ(outcome.sender, thread);
        EXPECT_TRUE(outcome.onMainThread);
    }
}

TEST(InetCheckThreadTest, DropsTheOutcomeWhenTheReceiverIsGone)
{
    application();
    ScriptedHttpServer server(ScriptedHttpServer::reply("HTTP/1.1 200 OK\r\n\r\n"));
    int calls = 0;
    auto receiver = std::make_unique<QObject>();
    auto* thread = new TInetCheckThread(rootUrl(server.port()), ProbeLimits{2000ms, 1s});
    QPointer<TInetCheckThread> alive(thread);
    thread->setOnResult(receiver.get(), [&calls](TInetCheckThread*, bool) { ++calls; });
    receiver.reset();
    thread->start();
    ASSERT_TRUE(processEventsUntil([&] { return alive.isNull(); }));
    EXPECT_EQ(calls, 0);
}

TEST(InetCheckThreadTest, FailureInTheReceiverEndsTheThreadSilently)
{
    application();
    ScriptedHttpServer server(ScriptedHttpServer::reply("HTTP/1.1 200 OK\r\n\r\n"));
    QObject receiver;
    int calls = 0;
    auto* thread = new TInetCheckThread(rootUrl(server.port()), ProbeLimits{2000ms, 1s});
    QPointer<TInetCheckThread> alive(thread);
    thread->setOnResult(&receiver, [&calls](TInetCheckThread*, bool) {
        ++calls;
        throw std::runtime_error("download failed");
    });
    thread->start();
    ASSERT_TRUE(processEventsUntil([&] { return alive.isNull(); }));
    EXPECT_EQ(calls, 1);
}

TEST(InetCheckThreadTest, ThreadThatCannotStartSaysSoAndStaysWithItsCreator)
{
    application();
    QObject receiver;
    int calls = 0;
    auto* thread = new TInetCheckThread(rootUrl(tarvelin::testing::refusingPort()));
    QPointer<TInetCheckThread> alive(thread);
    thread->setOnResult(&receiver, [&calls](TInetCheckThread*, bool) { ++calls; });
    // A stack below the system's minimum makes the thread's creation fail.
    thread->setStackSize(1);
    EXPECT_FALSE(thread->startProbe());
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(alive.isNull());
    delete thread;
    EXPECT_EQ(calls, 0);
}

namespace {

// Starts a probe, ends the application while the server still holds back its answer, lets the
// answer arrive and leaves the process.
[[noreturn]] void endProgramDuringProbe()
{
    ScriptedHttpServer slow([](ScriptedHttpServer::Connection& c) {
        c.stall(300ms);
        c.send("HTTP/1.1 200 OK\r\n\r\n");
    });
    int argc = 1;
    char name[] = "NetProbeTest";
    char* argv[] = {name, nullptr};
    auto app = std::make_unique<QCoreApplication>(argc, argv);
    auto receiver = std::make_unique<QObject>();
    auto* thread = new TInetCheckThread(rootUrl(slow.port()), ProbeLimits{2000ms, 30s});
    thread->setOnResult(receiver.get(), [](TInetCheckThread*, bool) { std::abort(); });
    thread->start();
    while (slow.requests().empty()) QThread::msleep(10);
    receiver.reset();
    app.reset();
    // The answer arrives and the probe ends without a receiver.
    while (TInetCheckThread::unfinished() > 0) QThread::msleep(5);
    std::exit(0);
}

}  // namespace

TEST(InetCheckThreadDeathTest, ProgramEndsWhileAProbeIsStillRunning)
{
    // The program does not wait for the probe and must not crash when the probe's answer comes
    // in after the application object is gone.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(endProgramDuringProbe(), ::testing::ExitedWithCode(0), "");
}
