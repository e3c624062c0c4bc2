#include "ui/Startup.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenu>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QTranslator>
#include <QUrl>

#include "ui/About.h"
#include "ui/DialogSupport.h"
#include "ui/Info.h"
#include "ui/Texts.h"
#include "ui/Unit1.h"
#include "ui/Unit4.h"

namespace {

struct Theme {
    const char* name;
    const char* resource;
};

constexpr Theme kThemes[] = {
    {kThemeName, ":/themes/AquaLightSlate.qss"},
};

// The program's look over a base style: menu items carry their icons at the icon store's size.
class ProgramStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override
    {
        if (metric == PM_SmallIconSize && qobject_cast<const QMenu*>(widget) != nullptr) {
            return tarvelin::ui::kIconSize.width();
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

constexpr const char* kFontFolder = "/usr/share/wine/fonts/";
constexpr const char* kFontFiles[] = {"tahoma.ttf", "tahomabd.ttf", "ms_sans_serif.ttf"};

}  // namespace

QString ThemeResourcePath(const QString& name)
{
    for (const Theme& theme : kThemes) {
        if (name == QLatin1String(theme.name) && QFile::exists(QLatin1String(theme.resource))) {
            return QLatin1String(theme.resource);
        }
    }
    return {};
}

bool ApplyTheme(const QString& name)
{
    const QString path = ThemeResourcePath(name);
    QFile sheet(path);
    if (path.isEmpty() || !sheet.open(QIODevice::ReadOnly)) {
        return false;
    }
    // The style sheet refines Fusion, which looks the same on every desktop.
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) {
        QApplication::setStyle(new ProgramStyle(fusion));
    }
    qApp->setStyleSheet(QString::fromUtf8(sheet.readAll()));
    return true;
}

QStringList LoadProgramFonts()
{
    QStringList families;
    for (const char* file : kFontFiles) {
        const int id =
            QFontDatabase::addApplicationFont(QLatin1String(kFontFolder) + QLatin1String(file));
        if (id >= 0) {
            families += QFontDatabase::applicationFontFamilies(id);
        }
    }
    families.removeDuplicates();
    return families;
}

void LoadToolkitTranslations()
{
    auto* translator = new QTranslator(qApp);
    if (translator->load(QLocale::system(), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
    } else {
        delete translator;
    }
}

void CreateProgramWindows()
{
    Form1 = new TForm1();
    // The dialogs belong to the main window: the window manager keeps them above it and treats
    // them as its dialogs, not as windows of their own.
    Form4 = new TForm4(Form1);
    TForm2 = new TTForm2(Form1);
    AboutBox = new TAboutBox(Form1);
}

void DestroyProgramWindows()
{
    delete AboutBox;
    AboutBox = nullptr;
    delete TForm2;
    TForm2 = nullptr;
    delete Form4;
    Form4 = nullptr;
    delete Form1;
    Form1 = nullptr;
}

QString CommandLineEdlFile(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(tarvelin::ui::texts::kCommandLineDescription.toString());
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("DATEI.edl"),
                                 tarvelin::ui::texts::kCommandLineFile.toString(),
                                 QStringLiteral("[DATEI.edl]"));
    parser.process(arguments);
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty()) {
        return {};
    }
    const QUrl url(files.constFirst());
    return url.isLocalFile() ? url.toLocalFile() : files.constFirst();
}
