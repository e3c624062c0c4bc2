// Start-up of Tarvelin: theme, title, fonts, the four windows in their order, the message loop,
// and the EDL named on the command line once the main window is there.
#include <QString>

#include "net/Maker.h"
#include "ui/MessageBox.h"
#include "ui/Startup.h"
#include "ui/TarvelinApplication.h"
#include "ui/Texts.h"
#include "ui/Unit1.h"

int main(int argc, char** argv)
{
    TarvelinApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(tarvelin::maker::kProductName));
    QApplication::setApplicationVersion(QString::fromLatin1(tarvelin::maker::kFullVersion));
    const QString edlFile = CommandLineEdlFile(QApplication::arguments());

    const QString theme = QString::fromLatin1(kThemeName);
    if (!ApplyTheme(theme)) {
        tarvelin::ui::MessageBox::show(
            nullptr, tarvelin::ui::texts::kThemeMissing.toString().arg(theme),
            tarvelin::ui::BoxIcon::Error, tarvelin::ui::BoxButton::Close);
    }
    LoadProgramFonts();
    LoadToolkitTranslations();

    CreateProgramWindows();
    // A second copy has asked to end during creation: the loop then ends at once, and a file it
    // was given is not handed to the running copy.
    if (!TarvelinApplication::endRequested()) {
        // Returns once the terms window shown before the main window has been closed.
        Form1->show();
        // Ask for the focus once the terms window has closed, also where no window manager
        // hands it over: the first activation starts the clock and the ticker.
        Form1->activateWindow();
        if (!edlFile.isEmpty()) {
            Form1->OpenEdlLater(edlFile);
        }
    }
    const int result = QApplication::exec();
    DestroyProgramWindows();
    return result;
}
