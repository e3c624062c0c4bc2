#include "ui/TarvelinApplication.h"

#include <QMetaObject>

#include "conversion/ConversionError.h"
#include "conversion/Messages.h"
#include "ui/MessageBox.h"

namespace {

bool g_endRequested = false;

}  // namespace

TarvelinApplication::TarvelinApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TarvelinApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ReportFailure(std::current_exception());
    }
    return false;
}

QString ErrorBoxText(const QString& message)
{
    return QString::fromStdU16String(tarvelin::WithFullStop(message.toStdU16String()));
}

QString FailureMessage(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(std::move(failure));
    } catch (const tarvelin::ConversionError& error) {
        return QString::fromStdU16String(error.message());
    } catch (const std::exception& error) {
        return QString::fromUtf8(error.what());
    } catch (...) {
        return QStringLiteral("Unbekannter Fehler");
    }
}

void TarvelinApplication::ReportFailure(std::exception_ptr failure)
{
    tarvelin::ui::MessageBox::show(QApplication::activeWindow(),
                                   ErrorBoxText(FailureMessage(std::move(failure))),
                                   tarvelin::ui::BoxIcon::Error);
}

void TarvelinApplication::requestEnd()
{
    g_endRequested = true;
    if (QCoreApplication::instance() != nullptr) {
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                  Qt::QueuedConnection);
    }
}

bool TarvelinApplication::endRequested()
{
    return g_endRequested;
}
