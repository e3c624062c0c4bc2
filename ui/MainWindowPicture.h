// MainWindowPicture: an annotated picture of the main window for the help window.
//
// A separate main window that is never shown (and skips the single-instance guard) is filled
// with a bundled example EDL, run through the real conversion, and rendered offscreen. Red step
// numbers mark the five controls of a conversion: 1 "Öffnen EDL", 2 the frame rate and "fps",
// 3 the display-mode check box, 4 "Rechnen TC", 5 "Speichern als Text". The help window decides
// where to place the picture; nothing here is shown on screen.
#pragma once

#include <QPixmap>

// Width and height of the returned picture.
inline constexpr int kMainWindowPictureWidth = 724;
inline constexpr int kMainWindowPictureHeight = 688;

// Renders the annotated picture (kMainWindowPictureWidth x kMainWindowPictureHeight).
// Needs a QApplication.
QPixmap MainWindowPicture();
