// The main window's status bar clock and ticker, and the probe chain that starts them: what a
// tick paints and where, and what the window does with each outcome of the probe and the
// download. The maker's server is a ScriptedHttpServer on 127.0.0.1, reached through
// TARVELIN_MAKER_SERVER.
#include "net/CheckUnit.h"
#include "tests/support/ScriptedHttpServer.h"
#include "ui/StatusBar.h"
#include "ui/StatusClock.h"
#include "ui/Unit1.h"

#include <QApplication>
#include <QImage>
#include <QRegularExpression>
#include <QTest>

#include <memory>
#include <string>

using tarvelin::net::TInetCheckThread;
using tarvelin::testing::ScriptedHttpServer;

namespace {

// Points the window's probe and download at address while it lives.
class MakerServerOverride {
public:
    explicit MakerServerOverride(const std::string& address)
    {
        qputenv("TARVELIN_MAKER_SERVER", QByteArray::fromStdString(address));
    }
    ~MakerServerOverride() { qunsetenv("TARVELIN_MAKER_SERVER"); }
};

// Answers the probe's HEAD with 200 and the download's GET with getAnswer.
ScriptedHttpServer::Script makerServer(std::string getAnswer)
{
    return [getAnswer = std::move(getAnswer)](ScriptedHttpServer::Connection& c) {
        if (c.request().rfind("HEAD ", 0) == 0) {
            c.send("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n");
        } else {
            c.send(getAnswer);
        }
    };
}

std::unique_ptr<TForm1> showActive()
{
    auto window = std::make_unique<TForm1>(nullptr, TForm1::InstanceCheck::Skip);
    window->show();
    QApplication::setActiveWindow(window.get());
    if (!QTest::qWaitForWindowActive(window.get())) return nullptr;
    return window;
}

// The columns and rows where two pictures differ, as a bounding rectangle (null if none).
QRect differingArea(const QImage& a, const QImage& b, int fromX)
{
    QRect area;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = fromX; x < a.width(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y)) area |= QRect(x, y, 1, 1);
        }
    }
    return area;
}

QImage grabBar(TForm1& window)
{
    return window.StatusBar1->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

}  // namespace

class TickerWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        TickerText.clear();
        TickerPos = 0;
    }

    void tickWritesTheClockPanels()
    {
        TForm1 window(nullptr, TForm1::InstanceCheck::Skip);
        QVERIFY(window.StatusBar1->panelText(0).isEmpty());
        QVERIFY(window.StatusBar1->panelText(1).isEmpty());
        window.Timer1Timer(&window.Timer1);
        QCOMPARE(window.StatusBar1->panelText(0),
                 tarvelin::ui::statusDateText(QLocale::system(), QDate::currentDate()));
        // The tests run in German regional settings: HH:mm:ss.
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$"))
                     .match(window.StatusBar1->panelText(1))
                     .hasMatch(),
                 qPrintable(window.StatusBar1->panelText(1)));
        QCOMPARE(window.StatusBar1->panelText(3), QStringLiteral("Version 3.4"));
    }

    void tickerPaintsOnlyInsideItsAreaAndMovesOnePixelATick()
    {
        TForm1 window(nullptr, TForm1::InstanceCheck::Skip);
        window.Timer1Timer(&window.Timer1);  // empty text: nothing but the background
        const QImage empty = grabBar(window);

        TickerText = QString(200, u'M');  // wider than the panel
        TickerPos = 0;
        window.Timer1Timer(&window.Timer1);
        QCOMPARE(TickerPos, -1);
        // A fresh paint of the bar (as after being uncovered) shows the ticker at once.
        const QImage first = grabBar(window);
        const QRect ink = differingArea(empty, first, 140);
        QVERIFY(!ink.isNull());
        QVERIFY2(QRect(143, 3, 461, 16).contains(ink),
                 qPrintable(QStringLiteral("ink at %1,%2 %3x%4")
                                .arg(ink.x())
                                .arg(ink.y())
                                .arg(ink.width())
                                .arg(ink.height())));
        QVERIFY(ink.left() <= 145);   // the first tick draws at the area's left edge
        QVERIFY(ink.right() >= 595);  // the wide text reaches the area's right edge
        QVERIFY(ink.top() >= 4);      // drawn from bitmap row 1, that is bar row 4

        window.Timer1Timer(&window.Timer1);
        const QImage second = grabBar(window);
        for (int y = 3; y <= 18; ++y) {
            for (int x = 143; x < 601; ++x) {
                if (second.pixel(x, y) != first.pixel(x + 1, y)) {
                    QFAIL(qPrintable(QStringLiteral("not shifted by one at %1,%2").arg(x).arg(y)));
                }
            }
        }
    }

    void emptyTickerTextLeavesTheAreaBlank()
    {
        TForm1 window(nullptr, TForm1::InstanceCheck::Skip);
        const QImage before = grabBar(window);
        window.Timer1Timer(&window.Timer1);
        QCOMPARE(TickerPos, 464);
        const QRect d = differingArea(before, grabBar(window), 140);
        QVERIFY2(d.isNull(), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                            .arg(d.x())
                                            .arg(d.y())
                                            .arg(d.width())
                                            .arg(d.height())));
    }

    void unreachableServerGivesTheNoticeAndStartsTheClock()
    {
        MakerServerOverride server("127.0.0.1:" +
                                   std::to_string(tarvelin::testing::refusingPort()));
        const std::unique_ptr<TForm1> window = showActive();
        QVERIFY(window);
        QTRY_VERIFY(window->Timer1.isActive());
        QCOMPARE(window->Timer1.interval(), 25);
        QCOMPARE(TickerText, TickerNotice());
        QCOMPARE(TickerText.size(), 190);
        QCOMPARE(TickerText.left(71), QString(70, u' ') + u'W');
        QVERIFY(TickerText.endsWith(u"Menü -> Kontakten -> Nachrichten senden."));
        QTRY_VERIFY(!window->StatusBar1->panelText(1).isEmpty());
        QTRY_VERIFY(TickerPos < 0);
    }

    void downloadOutcome_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("clockRuns");
        QTest::addColumn<QString>("text");
        QTest::newRow("utf8_text")
            << QByteArray(
                   "HTTP/1.1 200 OK\r\n"
                   "Content-Type: text/plain; charset=utf-8\r\n"
                   "Content-Length: 20\r\n\r\nNeuigkeiten: Gr\xC3\xBC\xC3\x9F"
                   "e")
            << true << QStringLiteral("Neuigkeiten: Grüße");
        QTest::newRow("empty_body")
            << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n") << true << QString();
        QTest::newRow("not_found")
            << QByteArray("HTTP/1.1 404 Not Found\r\nContent-Length: 4\r\n\r\ngone") << false
            << QString();
        QTest::newRow("redirect")
            << QByteArray("HTTP/1.1 301 Moved\r\nLocation: /x\r\nContent-Length: 0\r\n\r\n")
            << false << QString();
    }

    void downloadOutcome()
    {
        QFETCH(QByteArray, answer);
        QFETCH(bool, clockRuns);
        QFETCH(QString, text);
        ScriptedHttpServer server(makerServer(answer.toStdString()));
        MakerServerOverride redirect(server.address());
        const std::unique_ptr<TForm1> window = showActive();
        QVERIFY(window);
        // The download runs inside the outcome's call on this thread: once the server has seen
        // the GET and the event loop turns again, the outcome has been handled.
        QTRY_COMPARE(server.requests().size(), size_t(2));
        QCoreApplication::processEvents();
        const std::string host = "Host: " + server.address() + "\r\n";
        QVERIFY(server.requests()[0].rfind("HEAD / HTTP/1.0\r\n" + host, 0) == 0);
        QVERIFY(server.requests()[1].rfind("GET /Soft/Tarvelin/info.txt HTTP/1.1\r\n" + host, 0) ==
                0);
        QCOMPARE(window->Timer1.isActive(), clockRuns);
        QCOMPARE(TickerText, text);
        if (clockRuns) {
            QTRY_VERIFY(!window->StatusBar1->panelText(0).isEmpty());
        } else {
            QVERIFY(window->StatusBar1->panelText(0).isEmpty());
            QVERIFY(window->StatusBar1->panelText(1).isEmpty());
        }
    }

    void oneProbePerRunNotPerActivation()
    {
        ScriptedHttpServer server(makerServer("HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nnews"));
        MakerServerOverride redirect(server.address());
        const std::unique_ptr<TForm1> window = showActive();
        QVERIFY(window);
        QTRY_VERIFY(window->Timer1.isActive());
        QCOMPARE(TickerText, QStringLiteral("news"));

        QTRY_COMPARE(TInetCheckThread::unfinished(), 0);

        QWidget other;
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        for (int round = 0; round < 2; ++round) {
            other.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&other));
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window.get()));
        }
        // A second probe would have been created by an activation, and would still be running
        // or would have asked the server by now.
        QCOMPARE(TInetCheckThread::unfinished(), 0);
        QCOMPARE(server.requests().size(), size_t(2));
    }

    void windowClosedWhileTheProbeRuns()
    {
        ScriptedHttpServer slow([](ScriptedHttpServer::Connection& c) {
            c.stall(std::chrono::milliseconds(300));
            c.send("HTTP/1.1 200 OK\r\n\r\n");
        });
        MakerServerOverride redirect(slow.address());
        std::unique_ptr<TForm1> window = showActive();
        QVERIFY(window);
        QTRY_COMPARE(slow.requests().size(), size_t(1));
        window.reset();
        // The probe's answer arrives and finds no window; the probe then ends.
        QTRY_COMPARE_WITH_TIMEOUT(TInetCheckThread::unfinished(), 0, 10000);
        QVERIFY(TickerText.isEmpty());
        QCOMPARE(slow.requests().size(), size_t(1));
    }
};

QTEST_MAIN(TickerWindowTest)
#include "TickerWindowTest.moc"
