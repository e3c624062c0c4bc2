// Small helpers shared by the help, terms and about windows.
//
// They place a dialog before it appears (over the main window or on the desktop), render the
// program's SVG pictures crisply at a given size, and give the OK buttons their check-mark icon.
// They know nothing about any particular window; layouts stay in the windows themselves.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

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

// Moves `dialog` so that it is centred over the window it belongs to: its parent's window if it
// has one, otherwise the application's active window, otherwise the screen it is on.
void centreOverOwner(QWidget* dialog);

// Moves `dialog` to the centre of the available area of its screen.
void centreOnDesktop(QWidget* dialog);

}  // namespace tarvelin::ui
