// Start-up of Tarvelin: theme, title, fonts, the four windows in their order, the message loop.
#include <QString>

#include "net/Maker.h"
#include "ui/MessageBox.h"
#include "ui/Startup.h"
#include "ui/TarvelinApplication.h"
#include "ui/Unit1.h"

int main(int argc, char** argv)
{
    TarvelinApplication app(argc, argv);

    const QString theme = QString::fromLatin1(kThemeName);
    if (!ApplyTheme(theme)) {
        tarvelin::ui::MessageBox::show(nullptr, QStringLiteral("Stil '%1' nicht gefunden").arg(theme),
                                       tarvelin::ui::BoxIcon::Error, tarvelin::ui::BoxButton::Close);
    }
    QApplication::setApplicationName(QString::fromLatin1(tarvelin::maker::kProductName));
    QApplication::setApplicationVersion(QString::fromLatin1(tarvelin::maker::kFullVersion));
    LoadProgramFonts();
    LoadToolkitTranslations();

    CreateProgramWindows();
    // A second copy has asked to end during creation: the loop then ends at once.
    if (!TarvelinApplication::endRequested()) {
        Form1->show();
        // Ask for the focus once the terms window has closed, also where no window manager
        // hands it over: the first activation starts the clock and the ticker.
        Form1->activateWindow();
    }
    const int result = QApplication::exec();
    DestroyProgramWindows();
    return result;
}
