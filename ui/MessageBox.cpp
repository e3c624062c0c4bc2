#include "ui/MessageBox.h"

#include <QMessageBox>
#include <QPushButton>
#include <cstdio>
#include <utility>

#include "net/Maker.h"
#include "ui/Texts.h"

namespace tarvelin::ui {

namespace {

namespace texts = tarvelin::ui::texts;

MessageBox::Handler& currentBoxHandler()
{
    static MessageBox::Handler handler;
    return handler;
}

QMessageBox::Icon toQtIcon(BoxIcon icon)
{
    switch (icon) {
        case BoxIcon::Information:
            return QMessageBox::Information;
        case BoxIcon::Warning:
            return QMessageBox::Warning;
        case BoxIcon::Error:
            return QMessageBox::Critical;
        case BoxIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

void showRealBox(QWidget* parent, const BoxRequest& request)
{
    if (qEnvironmentVariableIsSet("TARVELIN_MESSAGEBOX_STDERR")) {
        std::fprintf(stderr, "%s: %s\n", request.caption.toUtf8().constData(),
                     request.text.toUtf8().constData());
        std::fflush(stderr);
        return;
    }
    QMessageBox box(toQtIcon(request.icon), request.caption, request.text, QMessageBox::NoButton,
                    parent);
    QPushButton* button = request.button == BoxButton::Close
                              ? box.addButton(texts::kClose.toString(), QMessageBox::RejectRole)
                              : box.addButton(texts::kOk.toString(), QMessageBox::AcceptRole);
    box.setDefaultButton(button);
    box.setEscapeButton(button);
    box.exec();
}

}  // namespace

void MessageBox::show(QWidget* parent, const QString& text, BoxIcon icon, BoxButton button)
{
    const BoxRequest request{QString::fromUtf8(maker::kProductName), text, icon, button};
    if (currentBoxHandler()) {
        currentBoxHandler()(parent, request);
    } else {
        showRealBox(parent, request);
    }
}

MessageBox::Handler MessageBox::setHandler(Handler handler)
{
    return std::exchange(currentBoxHandler(), std::move(handler));
}

}  // namespace tarvelin::ui
