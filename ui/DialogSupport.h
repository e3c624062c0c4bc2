// Small helpers shared by the help, terms and about windows.
//
// They place a dialog before it appears (over the main window or on the desktop), render the
// program's SVG pictures crisply at a given size, give the OK buttons their check-mark icon, and
// keep a modal dialog on screen when a window manager minimises it anyway.
// They know nothing about any particular window; layouts stay in the windows themselves.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

class QPushButton;
class QWidget;

namespace tarvelin::ui {

// Renders the SVG resource at `path` into a pixmap of `size` logical pixels, at the device pixel
// ratio of the primary screen so it stays sharp on high-density displays. A resource that cannot
// be read yields a null pixmap.
QPixmap svgPixmap(const QString& path, QSize size);

// Like svgPixmap(), but scales the picture to fit into `box` with its proportions kept.
QPixmap svgPixmapFitted(const QString& path, QSize box);

// The icon of the program, used as the icon of its windows.
QIcon programIcon();

// The green check mark of the OK buttons.
QIcon checkIcon();

// The size of the icons on buttons and menu items: that of the main window's icon store.
inline constexpr QSize kIconSize(24, 24);

// Gives an OK button the check mark at the icon store's size.
void setCheckIcon(QPushButton* button);

// The dialogs offer no minimise button, but a window manager may minimise a window anyway; a
// minimised modal dialog would leave the program with no window that takes input. This puts the
// dialog back on screen and gives it the focus again whenever that happens.
void keepOnScreen(QWidget* dialog);

// Moves `dialog` so that it is centred over the window it belongs to: its parent's window if it
// has one, otherwise the application's active window, otherwise the screen it is on.
void centreOverOwner(QWidget* dialog);

// Moves `dialog` to the centre of the available area of its screen.
void centreOnDesktop(QWidget* dialog);

}  // namespace tarvelin::ui
