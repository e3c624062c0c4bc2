// The connectivity probe: a short-lived worker thread that asks the maker's web server whether it
// answers at all.
//
// FormActivate creates one TInetCheckThread, sets its OnResult and starts it. The thread sends
// one HEAD request for "/" (HTTP/1.0), reads the status line and the header block, and hands the
// outcome to the main thread through a blocking queued call; then it ends and deletes itself.
// Any answer counts as reachable, whatever its status; every network error, a connection attempt
// beyond its bound or a line that does not arrive within its bound counts as unreachable. The probe
// reports nothing to the user and knows nothing of what the receiver does with the outcome.
#pragma once

#include "net/CurlSupport.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QThread>

#include <atomic>
#include <chrono>
#include <functional>

namespace tarvelin::net {

// The probe's waits. The line bound holds for each line of the answer on its own: from the
// established connection to the first line, and from each line to the next. A server that sends
// its header lines slowly is still reachable as long as no single line takes longer; the answer
// as a whole has no bound of its own (the probe runs on a worker thread and holds up nothing).
struct ProbeLimits {
    std::chrono::milliseconds connectTimeout{10000};
    std::chrono::milliseconds lineTimeout{90000};
};

// The verdict on a finished HEAD request: reachable when the server answered, whatever it said.
// curlCode is the transfer's result; headerBlockEnded tells whether the empty line ending the
// header block arrived. A first line libcurl does not take for HTTP is an answer too; an HTTP
// answer cut off before its header block ends is not.
bool isProbeReachable(CURLcode curlCode, bool headerBlockEnded);

// Sends the HEAD request for "/" on the host and port of url with the given easy handle and
// returns the verdict. Blocks for as long as the limits allow.
bool probeServer(CURL* handle, const QString& url, const ProbeLimits& limits);

class TInetCheckThread : public QThread {
    Q_OBJECT

public:
    using TResultNotify = std::function<void(TInetCheckThread* Sender, bool aResult)>;

    static constexpr const char* kUserAgent =
        "Opera/9.80 (Windows NT 6.1; U; ru) Presto/2.10.289 Version/12.00";

    // aURL is the root URL to probe, e.g. "http://host/". The thread is not started yet; once
    // started it deletes itself when its body has ended.
    explicit TInetCheckThread(const QString& aURL, ProbeLimits limits = {});
    ~TInetCheckThread() override;

    // The outcome handler, called on the main thread. context guards the call: once it is
    // destroyed the outcome is dropped.
    void setOnResult(QObject* context, TResultNotify notify);

    const QString& url() const { return fURL; }

    // Starts the thread. False when the system could not create it: then nothing runs, the
    // object does not delete itself, and the caller still owns it.
    bool startProbe();

    // Probes created and not yet through their body (outcome handed over or dropped), so that
    // a caller can wait for every probe to have ended.
    static int unfinished();

protected:
    void run() override;

private:
    void NotifyResult();

    CurlEasy fHTTP;
    QString fURL;
    ProbeLimits m_limits;
    bool fResult = false;
    TResultNotify fNotify;
    QPointer<QObject> m_context;
    static std::atomic<int> s_unfinished;
};

}  // namespace tarvelin::net
