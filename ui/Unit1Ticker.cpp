// TForm1's status bar clock and news ticker, and the connectivity probe that starts them.
//
// FormActivate starts one probe per run on a worker thread; its outcome arrives on the main
// thread in InetCheckResult, which fetches the ticker text (or falls back to the built-in notice)
// and switches on Timer1. Each tick writes the date and time panels and composes the next
// ticker image; the status bar paints it. The position arithmetic lives in Ticker, the network
// in net/.
#include <QApplication>
#include <QDate>
#include <QEvent>
#include <QLocale>
#include <QTime>

#include <cerrno>
#include <string_view>

#include "net/CheckUnit.h"
#include "net/Maker.h"
#include "net/ServerAddress.h"
#include "ui/MessageBox.h"
#include "ui/StatusBar.h"
#include "ui/StatusClock.h"
#include "ui/Texts.h"
#include "ui/Ticker.h"
#include "ui/TickerImage.h"
#include "ui/Unit1.h"

using tarvelin::net::TInetCheckThread;

QString TickerText;
int TickerPos = 0;
int TickerPanel = 2;

namespace {

constexpr int kNoticeBlanks = 70;
constexpr std::u16string_view kNoticeMessage =
    u"Wenn Sie einen Fehler finden, können Sie sich bei uns melden, in Programm unter Menü -> "
    u"Kontakten -> Nachrichten senden.";
static_assert(kNoticeBlanks + kNoticeMessage.size() == 190);

}  // namespace

QString TickerNotice()
{
    return QString(kNoticeBlanks, u' ') +
           QString::fromUtf16(kNoticeMessage.data(), static_cast<qsizetype>(kNoticeMessage.size()));
}

void TForm1::Timer1Timer(QObject*)
{
    const QLocale locale = QLocale::system();
    StatusBar1->setPanelText(0, tarvelin::ui::statusDateText(locale, QDate::currentDate()));
    StatusBar1->setPanelText(1, tarvelin::ui::statusTimeText(locale, QTime::currentTime()));
    if (TickerPanel < 0 || TickerPanel >= TStatusBar::kPanelCount) {
        return;
    }
    const QFont font = tarvelin::ui::tickerFont();
    const int textWidth = tarvelin::ui::tickerTextWidth(TickerText, font);
    const int x = tarvelin::ui::Ticker(TickerPos).advance(textWidth);
    const QPalette& colours = StatusBar1->palette();
    StatusBar1->setTickerImage(
        TickerPanel,
        tarvelin::ui::composeTickerImage(TickerText, x, font, colours.color(QPalette::WindowText),
                                         colours.color(QPalette::Window)));
}

void TForm1::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || m_activated || !isActiveWindow() ||
        QApplication::activeModalWidget() != nullptr) {
        return;
    }
    m_activated = true;
    FormActivate(this);
}

void TForm1::FormActivate(QObject*)
{
    auto* probe = new TInetCheckThread(tarvelin::net::makerServer().url(u"/"));
    probe->setOnResult(
        this, [this](TInetCheckThread* sender, bool result) { InetCheckResult(sender, result); });
    StartProbeThread(probe, this);
}

bool StartProbeThread(TInetCheckThread* probe, QWidget* owner)
{
    if (probe->startProbe()) {
        return true;
    }
    delete probe;
    // The toolkit does not pass on the system's code; with default thread attributes the one
    // reason thread creation fails is EAGAIN, a lack of resources or a process limit.
    tarvelin::ui::MessageBox::show(
        owner, tarvelin::ui::texts::kThreadCreateFailed.toString().arg(qt_error_string(EAGAIN)),
        tarvelin::ui::BoxIcon::Error);
    return false;
}

void TForm1::InetCheckResult(QObject*, bool aResult)
{
    if (aResult) {
        const std::optional<QString> text = IdHTTP1.downloadText(
            tarvelin::net::makerServer(), QString::fromLatin1(tarvelin::maker::kTickerPath));
        // A failed download leaves the ticker text as it was and the clock off, silently.
        if (!text) {
            return;
        }
        TickerText = *text;
    } else {
        TickerText = TickerNotice();
    }
    // Starting a running timer again would restart its period.
    if (!Timer1.isActive()) {
        Timer1.start();
    }
}
