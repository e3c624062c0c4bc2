// The program on the desktop: keyboard use of the main window once the list has rows, Enter on
// a focused button, an EDL opened from the command line or dropped on the window, the secondary
// windows as modal dialogs of the main window that do not stay minimised, accessible names,
// icon sizes and a focus frame that leaves the caption alone.
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <memory>
#include <vector>

#include "net/CheckUnit.h"
#include "ui/About.h"
#include "ui/CueListModel.h"
#include "ui/FileDialog.h"
#include "ui/Info.h"
#include "ui/MessageBox.h"
#include "ui/Startup.h"
#include "ui/StatusBar.h"
#include "ui/TarvelinApplication.h"
#include "ui/Unit1.h"
#include "ui/Unit4.h"

using tarvelin::ui::BoxRequest;
using tarvelin::ui::FileDialog;
using tarvelin::ui::MessageBox;

namespace {

const QString kDataDir = QStringLiteral(TARVELIN_TEST_DATA_DIR);
const QString kTwelveTitles = kDataDir + QStringLiteral("/fixtures/zwoelf-titel.edl");

struct BoxRecorder {
    std::vector<BoxRequest> boxes;
    BoxRecorder()
    {
        MessageBox::setHandler([this](QWidget*, const BoxRequest& box) { boxes.push_back(box); });
    }
    ~BoxRecorder() { MessageBox::setHandler({}); }
};

// Answers every file dialog with one path (empty: cancel) and counts the dialogs.
struct DialogAnswer {
    QString path;
    int asked = 0;
    DialogAnswer()
    {
        FileDialog::setHandler([this](const FileDialog&) {
            ++asked;
            return path;
        });
    }
    ~DialogAnswer() { FileDialog::setHandler({}); }
};

std::unique_ptr<TForm1> shownForm()
{
    auto form = std::make_unique<TForm1>(nullptr, TForm1::InstanceCheck::Skip);
    form->show();
    QApplication::setActiveWindow(form.get());
    if (!QTest::qWaitForWindowActive(form.get())) {
        qWarning("the main window did not become active");
    }
    return form;
}

QWidget* focusedControl(const TForm1& form)
{
    QWidget* focus = QApplication::focusWidget();
    // The editable box hands its focus to its line edit.
    if (focus != nullptr && form.ComboBox1->isAncestorOf(focus)) {
        return form.ComboBox1;
    }
    return focus;
}

QWidget* pressTab(const TForm1& form, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
    return focusedControl(form);
}

std::unique_ptr<QMimeData> urlData(const QStringList& urls)
{
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> list;
    for (const QString& url : urls) list << QUrl(url);
    data->setUrls(list);
    return data;
}

// Drags data onto target and drops it there, as a file manager would; true when accepted.
bool dragAndDrop(QWidget* target, const QMimeData* data)
{
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDropEvent drop(QPointF(at), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

QString accessibleName(QWidget* widget)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face != nullptr ? face->text(QAccessible::Name) : QString();
}

// The controls of a window a user can reach or read: buttons, labels, text areas, lists, boxes.
QList<QWidget*> controlsOf(QWidget* window)
{
    QList<QWidget*> controls;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (widget->window() != window || widget->objectName().isEmpty() ||
            widget->objectName().startsWith(QLatin1String("qt_"))) {
            continue;
        }
        const bool isControl = qobject_cast<QAbstractButton*>(widget) != nullptr ||
                               qobject_cast<QLabel*>(widget) != nullptr ||
                               qobject_cast<QAbstractScrollArea*>(widget) != nullptr ||
                               qobject_cast<QComboBox*>(widget) != nullptr ||
                               qobject_cast<TStatusBar*>(widget) != nullptr;
        if (isControl && qobject_cast<QScrollArea*>(widget) == nullptr) {
            controls << widget;
        }
    }
    return controls;
}

}  // namespace

class DesktopTest : public QObject {
    Q_OBJECT

private slots:
    void tabLeavesTheFilledListBothWays();
    void enterPressesTheFocusedButton();
    void commandLineNamesTheFile_data();
    void commandLineNamesTheFile();
    void openedFileLoadsAsFromTheDialog();
    void unloadableFileGivesTheDialogsMessage();
    void dropOfOneEdlLoadsItAndOthersAreRefused_data();
    void dropOfOneEdlLoadsItAndOthersAreRefused();
    void dropOnTheCueLineAreaOpensTheFile();
    void dialogsAreModalAndBelongToTheMainWindow();
    void minimisedDialogComesBack();
    void everyControlHasAnAccessibleName();
    void iconsOfMenuAndOkButtonsAreTwentyFourPixels();
    void focusFrameLeavesTheCaptionAlone();
    void captionsFitTheirButtons();
    void probeThreadThatCannotStartShowsTheErrorBox();
};

void DesktopTest::tabLeavesTheFilledListBothWays()
{
    BoxRecorder boxes;
    auto form = shownForm();
    form->OpenEdl(kTwelveTitles);
    QTest::mouseClick(form->Button5, Qt::LeftButton);
    QCOMPARE(form->ListView1Model->rowCount(), 12);
    QVERIFY(form->Button3->isEnabled() && form->Button4->isEnabled());

    form->ListView1->setFocus();
    QTRY_COMPARE(focusedControl(*form), form->ListView1);
    form->ListView1->setCurrentIndex(form->ListView1Model->index(0, 0));
    // The arrow keys move inside the list and keep the focus there.
    QTest::keyClick(form->ListView1, Qt::Key_Down);
    QCOMPARE(form->ListView1->currentIndex().row(), 1);
    QCOMPARE(focusedControl(*form), form->ListView1);

    QCOMPARE(pressTab(*form), form->Button3);
    QCOMPARE(pressTab(*form), form->Button4);
    QCOMPARE(pressTab(*form), form->Button1);
    QCOMPARE(pressTab(*form), form->RichEdit2);
    QCOMPARE(pressTab(*form), form->Button5);
    QCOMPARE(pressTab(*form), form->ComboBox1);
    QCOMPARE(pressTab(*form), form->CheckBox1);
    QCOMPARE(pressTab(*form), form->ListView1);

    // Shift+Tab walks the same order backwards, out of the list as well.
    form->Button4->setFocus();
    const QList<QWidget*> backwards = {form->Button3,   form->ListView1, form->CheckBox1,
                                       form->ComboBox1, form->Button5,   form->RichEdit2,
                                       form->Button1,   form->Button4};
    for (QWidget* expected : backwards) {
        QCOMPARE(pressTab(*form, Qt::ShiftModifier), expected);
    }
    QVERIFY(boxes.boxes.empty());
}

void DesktopTest::enterPressesTheFocusedButton()
{
    BoxRecorder boxes;
    DialogAnswer dialogs;
    auto form = shownForm();
    dialogs.path = kTwelveTitles;

    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        form->Button1->setFocus();
        QTRY_COMPARE(focusedControl(*form), form->Button1);
        const int before = dialogs.asked;
        QTest::keyClick(form->Button1, key);
        QCOMPARE(dialogs.asked, before + 1);
    }
    QCOMPARE(form->Label10->text(), QStringLiteral("Anzahl Titel: 12"));

    form->Button5->setFocus();
    QTRY_COMPARE(focusedControl(*form), form->Button5);
    QTest::keyClick(form->Button5, Qt::Key_Return);
    QCOMPARE(form->ListView1Model->rowCount(), 12);
    QCOMPARE(form->Label11->text(), QStringLiteral("Anzahl Titel: 12"));

    // Enter in the cue-line area is a line break, not a button press.
    form->ListView1Model->clear();
    form->RichEdit2->setFocus();
    QTRY_COMPARE(focusedControl(*form), form->RichEdit2);
    const int lines = form->RichEdit2->document()->blockCount();
    QTest::keyClick(form->RichEdit2, Qt::Key_Return);
    QCOMPARE(form->RichEdit2->document()->blockCount(), lines + 1);
    QCOMPARE(form->ListView1Model->rowCount(), 0);
    QVERIFY(boxes.boxes.empty());
}

void DesktopTest::commandLineNamesTheFile_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("file");
    const QString program = QStringLiteral("tarvelin");
    QTest::newRow("no_file") << QStringList{program} << QString();
    QTest::newRow("absolute_path") << QStringList{program, QStringLiteral("/daten/Film 1.edl")}
                                   << QStringLiteral("/daten/Film 1.edl");
    QTest::newRow("relative_path")
        << QStringList{program, QStringLiteral("film.EDL")} << QStringLiteral("film.EDL");
    QTest::newRow("file_url") << QStringList{program, QStringLiteral("file:///daten/Film%201.edl")}
                              << QStringLiteral("/daten/Film 1.edl");
    QTest::newRow("path_with_colon")
        << QStringList{program, QStringLiteral("Akt:1.edl")} << QStringLiteral("Akt:1.edl");
    QTest::newRow("first_of_two") << QStringList{program, QStringLiteral("a.edl"),
                                                 QStringLiteral("b.edl")}
                                  << QStringLiteral("a.edl");
}

void DesktopTest::commandLineNamesTheFile()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, file);
    QCOMPARE(CommandLineEdlFile(arguments), file);
}

void DesktopTest::openedFileLoadsAsFromTheDialog()
{
    BoxRecorder boxes;
    DialogAnswer dialogs;
    dialogs.path = kTwelveTitles;
    auto byDialog = shownForm();
    QTest::mouseClick(byDialog->Button1, Qt::LeftButton);

    auto byName = shownForm();
    byName->OpenEdlLater(kTwelveTitles);
    // Loaded once the event loop runs again, not during the call.
    QCOMPARE(byName->RichEdit2->toPlainText(), QString());
    QTRY_COMPARE(byName->RichEdit2->toPlainText(), byDialog->RichEdit2->toPlainText());
    QVERIFY(!byName->RichEdit2->toPlainText().isEmpty());
    QCOMPARE(byName->Label10->text(), byDialog->Label10->text());
    QCOMPARE(byName->edlFileName(), kTwelveTitles);
    QVERIFY(byName->RichEdit1 == byDialog->RichEdit1);
    QVERIFY(byName->Button5->isEnabled());
    QVERIFY(boxes.boxes.empty());
}

void DesktopTest::unloadableFileGivesTheDialogsMessage()
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("fehlt.edl"));
    BoxRecorder boxes;
    DialogAnswer dialogs;
    dialogs.path = missing;
    auto form = shownForm();
    QTest::mouseClick(form->Button1, Qt::LeftButton);
    QCOMPARE(boxes.boxes.size(), std::size_t{1});

    form->OpenEdlLater(missing);
    QTRY_COMPARE(boxes.boxes.size(), std::size_t{2});
    QCOMPARE(boxes.boxes[1].text, boxes.boxes[0].text);
    QCOMPARE(boxes.boxes[1].icon, boxes.boxes[0].icon);
    QVERIFY(boxes.boxes[1].text.contains(missing));
    QCOMPARE(form->Label10->text(), QStringLiteral("Anzahl Titel: 0"));
    QVERIFY(form->edlFileName().isEmpty());
}

void DesktopTest::dropOfOneEdlLoadsItAndOthersAreRefused_data()
{
    QTest::addColumn<QStringList>("urls");
    QTest::addColumn<bool>("accepted");
    const QString edl = QUrl::fromLocalFile(kTwelveTitles).toString();
    QTest::newRow("one_edl") << QStringList{edl} << true;
    QTest::newRow("upper_case_extension")
        << QStringList{QUrl::fromLocalFile(QStringLiteral("/tmp/FILM.EDL")).toString()} << true;
    QTest::newRow("text_file")
        << QStringList{QUrl::fromLocalFile(kDataDir + QStringLiteral("/edl-samples/SOURCES.md"))
                           .toString()}
        << false;
    QTest::newRow("two_edls") << QStringList{edl, edl} << false;
    QTest::newRow("web_address") << QStringList{QStringLiteral("http://tarvelin.example/a.edl")}
                                 << false;
    QTest::newRow("folder_named_edl")
        << QStringList{QUrl::fromLocalFile(QStringLiteral("/tmp/ordner.edl/")).toString()} << false;
    QTest::newRow("no_files") << QStringList{} << false;
}

void DesktopTest::dropOfOneEdlLoadsItAndOthersAreRefused()
{
    QFETCH(QStringList, urls);
    QFETCH(bool, accepted);
    BoxRecorder boxes;
    auto form = shownForm();
    QVERIFY(form->acceptDrops());
    const auto data = urlData(urls);
    QCOMPARE(dragAndDrop(form.get(), data.get()), accepted);
    if (accepted && urls.constFirst().endsWith(QLatin1String("zwoelf-titel.edl"))) {
        QTRY_COMPARE(form->Label10->text(), QStringLiteral("Anzahl Titel: 12"));
        QCOMPARE(form->edlFileName(), kTwelveTitles);
    } else if (!accepted) {
        QTest::qWait(0);
        QVERIFY(form->edlFileName().isEmpty());
        QVERIFY(boxes.boxes.empty());
    }
}

void DesktopTest::dropOnTheCueLineAreaOpensTheFile()
{
    BoxRecorder boxes;
    auto form = shownForm();
    const auto data = urlData({QUrl::fromLocalFile(kTwelveTitles).toString()});
    // A file manager also offers the path as text; the area must not insert it.
    data->setText(kTwelveTitles);
    QVERIFY(dragAndDrop(form->RichEdit2->viewport(), data.get()));
    QTRY_COMPARE(form->Label10->text(), QStringLiteral("Anzahl Titel: 12"));
    QVERIFY(!form->RichEdit2->toPlainText().contains(QStringLiteral("zwoelf-titel")));

    // Plain text still drops into the area as text.
    QMimeData text;
    text.setText(QStringLiteral("neue Zeile"));
    form->RichEdit2->moveCursor(QTextCursor::End);
    QVERIFY(dragAndDrop(form->RichEdit2->viewport(), &text));
    QVERIFY(form->RichEdit2->toPlainText().contains(QStringLiteral("neue Zeile")));
    QVERIFY(boxes.boxes.empty());
}

void DesktopTest::dialogsAreModalAndBelongToTheMainWindow()
{
    QTemporaryDir lockDir;
    qputenv("TARVELIN_LOCK_DIR", QFile::encodeName(lockDir.path()));
    CreateProgramWindows();
    struct Cleanup {
        ~Cleanup()
        {
            DestroyProgramWindows();
            qunsetenv("TARVELIN_LOCK_DIR");
        }
    } cleanup;

    struct Case {
        QDialog* dialog;
        bool closeButton;
    };
    for (const Case& c : {Case{Form4, false}, Case{TForm2, true}, Case{AboutBox, true}}) {
        QCOMPARE(c.dialog->parentWidget(), static_cast<QWidget*>(Form1));
        QVERIFY(c.dialog->isWindow());
        const Qt::WindowFlags flags = c.dialog->windowFlags();
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Dialog);
        QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowContextHelpButtonHint));
        QCOMPARE(flags.testFlag(Qt::WindowCloseButtonHint), c.closeButton);
        if (!c.closeButton) {
            QVERIFY(!flags.testFlag(Qt::WindowSystemMenuHint));
        }

        bool modalWhileShown = false;
        QTimer::singleShot(0, c.dialog, [&] {
            modalWhileShown = c.dialog->isVisible() && c.dialog->isModal() &&
                              QApplication::activeModalWidget() == c.dialog;
            if (auto* terms = qobject_cast<TForm4*>(c.dialog)) {
                terms->BitBtn3Click(terms->BitBtn3);
            } else {
                c.dialog->accept();
            }
        });
        c.dialog->exec();
        QVERIFY(modalWhileShown);
        QVERIFY(!c.dialog->isVisible());
    }
}

void DesktopTest::minimisedDialogComesBack()
{
    auto owner = shownForm();
    TAboutBox about(owner.get());
    TTForm2 help(owner.get());
    TForm4 terms(owner.get());
    for (QDialog* dialog : std::initializer_list<QDialog*>{&about, &help, &terms}) {
        dialog->open();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        dialog->setWindowState(dialog->windowState() | Qt::WindowMinimized);
        QTRY_VERIFY(!dialog->isMinimized());
        QVERIFY(dialog->isVisible());
        QCOMPARE(QApplication::activeModalWidget(), dialog);
        if (dialog == &terms) {
            terms.BitBtn3Click(terms.BitBtn3);
        } else {
            dialog->accept();
        }
        QVERIFY(!dialog->isVisible());
    }
}

void DesktopTest::everyControlHasAnAccessibleName()
{
    auto form = shownForm();
    TForm4 terms(form.get());
    TTForm2 help(form.get());
    TAboutBox about(form.get());
    for (QWidget* window : std::initializer_list<QWidget*>{form.get(), &terms, &help, &about}) {
        const QList<QWidget*> controls = controlsOf(window);
        QVERIFY2(controls.size() >= 2, qPrintable(window->objectName()));
        for (QWidget* control : controls) {
            QVERIFY2(!accessibleName(control).trimmed().isEmpty(),
                     qPrintable(window->objectName() + QLatin1Char('.') + control->objectName()));
        }
    }
    QCOMPARE(accessibleName(form->Button3), QStringLiteral("Speichern als Text"));
    QCOMPARE(accessibleName(form->CheckBox1), QStringLiteral("Anzeige der Länge"));
}

void DesktopTest::iconsOfMenuAndOkButtonsAreTwentyFourPixels()
{
    auto form = shownForm();
    QCOMPARE(form->M1->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, form->M1), 24);
    TForm4 terms;
    TTForm2 help;
    TAboutBox about;
    for (QPushButton* ok : {terms.BitBtn3, help.OKBtn, about.OKButton}) {
        QCOMPARE(ok->iconSize(), QSize(24, 24));
        QVERIFY(!ok->icon().isNull());
    }
    for (QPushButton* button : {form->Button1, form->Button3, form->Button4, form->Button5}) {
        QCOMPARE(button->iconSize(), QSize(24, 24));
    }
}

void DesktopTest::focusFrameLeavesTheCaptionAlone()
{
    auto form = shownForm();
    form->Button4->setEnabled(true);
    // Each button is reached with Shift+Tab from the control after it, so the window shows
    // keyboard focus the way it does for a user.
    const std::pair<QPushButton*, QWidget*> steps[] = {{form->Button1, form->RichEdit2},
                                                       {form->Button4, form->Button1}};
    for (const auto& [button, next] : steps) {
        next->setFocus();
        QTRY_VERIFY(next->hasFocus());
        const QImage plain = button->grab().toImage();
        QTest::keyClick(next, Qt::Key_Tab, Qt::ShiftModifier);
        QTRY_VERIFY(button->hasFocus());
        const QImage focused = button->grab().toImage();
        QCOMPARE(focused.size(), plain.size());

        // Whatever marks the focus stays in the outer pixels, the button's border with its
        // rounded corners. Inside,
        // the background's gradient may shift by a shade; a frame or dots over the caption
        // would change pixels by far more.
        auto differs = [](QRgb a, QRgb b) {
            return qAbs(qRed(a) - qRed(b)) > 48 || qAbs(qGreen(a) - qGreen(b)) > 48 ||
                   qAbs(qBlue(a) - qBlue(b)) > 48;
        };
        const qreal ratio = focused.devicePixelRatio();
        const int edge = qCeil(3 * ratio);
        int changedInside = 0;
        int changedEdge = 0;
        for (int y = 0; y < focused.height(); ++y) {
            for (int x = 0; x < focused.width(); ++x) {
                if (!differs(focused.pixel(x, y), plain.pixel(x, y))) continue;
                const bool inside = x >= edge && y >= edge && x < focused.width() - edge &&
                                    y < focused.height() - edge;
                ++(inside ? changedInside : changedEdge);
            }
        }
        QCOMPARE(changedInside, 0);
        QVERIFY(changedEdge > 0);  // the focus is visible
    }
}

void DesktopTest::captionsFitTheirButtons()
{
    auto form = shownForm();
    form->Button3->setEnabled(true);
    form->Button4->setEnabled(true);
    form->Button5->setEnabled(true);
    for (QPushButton* button : {form->Button1, form->Button3, form->Button4, form->Button5}) {
        // Also with the wider border of a focused button.
        for (bool focused : {false, true}) {
            if (focused) {
                button->setFocus(Qt::TabFocusReason);
                QTRY_VERIFY(button->hasFocus());
            }
            button->ensurePolished();
            QVERIFY2(button->sizeHint().width() <= button->width(),
                     qPrintable(QStringLiteral("%1 needs %2 of %3 pixels")
                                    .arg(button->text())
                                    .arg(button->sizeHint().width())
                                    .arg(button->width())));
        }
    }
}

void DesktopTest::probeThreadThatCannotStartShowsTheErrorBox()
{
    BoxRecorder boxes;
    auto form = shownForm();
    auto* probe = new tarvelin::net::TInetCheckThread(QStringLiteral("http://127.0.0.1:1/"));
    QPointer<tarvelin::net::TInetCheckThread> alive(probe);
    probe->setOnResult(form.get(), [](tarvelin::net::TInetCheckThread*, bool) {});
    // A stack below the system's minimum makes the thread's creation fail.
    probe->setStackSize(1);
    QVERIFY(!StartProbeThread(probe, form.get()));
    QVERIFY(alive.isNull());
    QCOMPARE(boxes.boxes.size(), std::size_t{1});
    QCOMPARE(boxes.boxes[0].icon, tarvelin::ui::BoxIcon::Error);
    QCOMPARE(boxes.boxes[0].caption, QStringLiteral("Tarvelin"));
    QVERIFY2(boxes.boxes[0].text.startsWith(QStringLiteral("Fehler beim Erzeugen des Thread: ")) &&
                 boxes.boxes[0].text.size() > 33,
             qPrintable(boxes.boxes[0].text));
    QVERIFY(!form->Timer1.isActive());
}

int main(int argc, char** argv)
{
    TarvelinApplication app(argc, argv);
    LoadProgramFonts();
    ApplyTheme(QString::fromLatin1(kThemeName));
    DesktopTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "DesktopTest.moc"
