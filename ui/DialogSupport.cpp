#include "ui/DialogSupport.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSvgRenderer>
#include <QTimer>
#include <QWidget>

namespace tarvelin::ui {

namespace {

qreal screenRatio()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->devicePixelRatio() : 1.0;
}

// The frame's size once the window has been shown; before that only the client size is known.
QSize outerSize(const QWidget* window)
{
    const QRect frame = window->frameGeometry();
    return frame.isValid() && window->testAttribute(Qt::WA_WState_Created) ? frame.size()
                                                                           : window->size();
}

void centreIn(QWidget* window, const QRect& area)
{
    const QSize size = outerSize(window);
    window->move(area.center().x() - size.width() / 2, area.center().y() - size.height() / 2);
}

// Restores a watched window whenever it becomes minimised while it is shown.
class OnScreenKeeper : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::WindowStateChange) {
            auto* window = static_cast<QWidget*>(watched);
            if (window->isVisible() && window->isMinimized()) {
                // After the window manager has finished with the change it asked for.
                QTimer::singleShot(0, window, [window] {
                    if (!window->isVisible() || !window->isMinimized()) return;
                    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
                    window->show();
                    window->raise();
                    window->activateWindow();
                });
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

QRect availableArea(const QWidget* window)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

}  // namespace

QPixmap svgPixmap(const QString& path, QSize size)
{
    QSvgRenderer renderer(path);
    if (!renderer.isValid() || size.isEmpty()) return {};
    const qreal ratio = screenRatio();
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return pixmap;
}

QPixmap svgPixmapFitted(const QString& path, QSize box)
{
    QSvgRenderer renderer(path);
    if (!renderer.isValid()) return {};
    return svgPixmap(path, renderer.defaultSize().scaled(box, Qt::KeepAspectRatio));
}

QIcon programIcon()
{
    return QIcon(QStringLiteral(":/app_icon.svg"));
}

QIcon checkIcon()
{
    return QIcon(QStringLiteral(":/icons/check.svg"));
}

void setCheckIcon(QPushButton* button)
{
    button->setIcon(checkIcon());
    button->setIconSize(kIconSize);
}

void keepOnScreen(QWidget* dialog)
{
    dialog->installEventFilter(new OnScreenKeeper(dialog));
}

void centreOverOwner(QWidget* dialog)
{
    QWidget* owner = dialog->parentWidget() ? dialog->parentWidget()->window() : nullptr;
    if (!owner) {
        owner = QApplication::activeWindow();
        if (owner == dialog) owner = nullptr;
    }
    if (owner && owner->isVisible())
        centreIn(dialog, owner->frameGeometry());
    else
        centreOnDesktop(dialog);
}

void centreOnDesktop(QWidget* dialog)
{
    const QRect area = availableArea(dialog);
    if (area.isValid()) centreIn(dialog, area);
}

}  // namespace tarvelin::ui
