// MessageBox: the program's modal message boxes, with one seam for tests.
//
// Every box has the application title "Tarvelin" as its caption and one button. Widget tests
// install a handler that records the box instead of blocking on it. The environment variable
// TARVELIN_MESSAGEBOX_STDERR, a documented option of the program for scripted runs (the
// two-process tests use it), prints the box's text to stderr and accepts it at once. Nothing
// here decides which messages exist.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tarvelin::ui {

enum class BoxIcon { None, Information, Warning, Error };
enum class BoxButton { Ok, Close };

struct BoxRequest {
    QString caption;
    QString text;
    BoxIcon icon = BoxIcon::None;
    BoxButton button = BoxButton::Ok;
};

class MessageBox {
public:
    using Handler = std::function<void(QWidget* parent, const BoxRequest& request)>;

    // Shows a modal box with the caption "Tarvelin" and returns when it is closed.
    static void show(QWidget* parent, const QString& text, BoxIcon icon = BoxIcon::None,
                     BoxButton button = BoxButton::Ok);

    // Replaces the real box (tests); an empty handler restores it. Returns the previous one.
    static Handler setHandler(Handler handler);
};

}  // namespace tarvelin::ui
