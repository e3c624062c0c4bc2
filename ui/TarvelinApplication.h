// TarvelinApplication: the application object and the program's one top-level error box.
//
// Qt does not carry exceptions through its event loop, so every failure that a handler does not
// catch itself ends here: notify() catches what escapes an event, and Guarded() wraps the
// window's signal handlers the same way. The failure's message is shown in an error box with the
// caption "Tarvelin" and the program goes on. requestEnd() asks the message loop to stop at its
// next turn, also when it has not started yet.
#pragma once

#include <QApplication>
#include <exception>
#include <utility>

class TarvelinApplication : public QApplication {
    Q_OBJECT

public:
    TarvelinApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Shows the error box for a caught failure.
    static void ReportFailure(std::exception_ptr failure);

    // Ends the program as soon as the message loop runs (or at once, if it runs already).
    static void requestEnd();
    static bool endRequested();
};

// The text of the error box: the message with the core's full-stop rule applied.
QString ErrorBoxText(const QString& message);

// The message a caught failure carries.
QString FailureMessage(std::exception_ptr failure);

// Runs handler(args...) and reports any failure through the top-level error box.
template <typename Handler>
auto Guarded(Handler handler)
{
    return [handler = std::move(handler)](auto&&... args) {
        try {
            handler(std::forward<decltype(args)>(args)...);
        } catch (...) {
            TarvelinApplication::ReportFailure(std::current_exception());
        }
    };
}
