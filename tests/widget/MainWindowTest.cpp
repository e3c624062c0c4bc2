// Drives the main window offscreen: its layout against the fixed table, the tab order, the
// enabling of its buttons, the mode texts of the check box, the top-level error box, and the
// whole road from opening an EDL to the saved text file and the exported workbook.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <memory>
#include <utility>
#include <vector>

#include "ui/CueListModel.h"
#include "ui/FileDialog.h"
#include "ui/MainWindowPicture.h"
#include "ui/MessageBox.h"
#include "ui/Startup.h"
#include "ui/StatusBar.h"
#include "ui/TarvelinApplication.h"
#include "ui/Unit1.h"

using tarvelin::ui::BoxIcon;
using tarvelin::ui::BoxRequest;
using tarvelin::ui::FileDialog;
using tarvelin::ui::MessageBox;

namespace {

const QString kDataDir = QStringLiteral(TARVELIN_TEST_DATA_DIR);

// Records every message box instead of showing it; restores the real box when destroyed.
struct BoxRecorder {
    std::vector<BoxRequest> boxes;
    BoxRecorder()
    {
        MessageBox::setHandler([this](QWidget*, const BoxRequest& box) { boxes.push_back(box); });
    }
    ~BoxRecorder() { MessageBox::setHandler({}); }
};

// Answers the file dialogs with prepared paths (an empty one cancels) and keeps what they asked.
struct DialogScript {
    std::vector<QString> answers;
    std::vector<QString> askedFilters;
    std::vector<QString> askedNames;
    DialogScript()
    {
        FileDialog::setHandler([this](const FileDialog& dialog) {
            askedFilters.push_back(dialog.Filter);
            askedNames.push_back(dialog.FileName);
            if (answers.empty()) {
                return QString();
            }
            const QString answer = answers.front();
            answers.erase(answers.begin());
            return answer;
        });
    }
    ~DialogScript() { FileDialog::setHandler({}); }
};

// Takes the URLs the window hands to the desktop instead of starting programs.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    UrlCatcher()
    {
        for (const char* scheme : {"http", "https", "file"}) {
            QDesktopServices::setUrlHandler(QLatin1String(scheme), this, "open");
        }
    }
    ~UrlCatcher() override
    {
        for (const char* scheme : {"http", "https", "file"}) {
            QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
        }
    }
    std::vector<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.push_back(url); }
};

// A status bar that counts how often each panel's text is painted.
class CountingStatusBar : public TStatusBar {
public:
    int paints[kPanelCount] = {};

protected:
    void paintPanelText(QPainter& painter, int index) override
    {
        ++paints[index];
        TStatusBar::paintPanelText(painter, index);
    }
};

std::unique_ptr<TForm1> newForm()
{
    return std::make_unique<TForm1>(nullptr, TForm1::InstanceCheck::Skip);
}

template <typename T>
T* child(TForm1& form, const char* name)
{
    T* found = form.findChild<T*>(QLatin1String(name));
    if (found == nullptr) {
        qFatal("no control %s", name);
    }
    return found;
}

QStringList areaLines(const TForm1& form)
{
    const QString text = form.RichEdit2->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

// The saved text file's lines, without the byte-order mark.
QStringList savedTextLines(const QString& path)
{
    QFile saved(path);
    if (!saved.open(QIODevice::ReadOnly)) {
        return {};
    }
    QString text = QString::fromUtf8(saved.readAll());
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    return text.split(QStringLiteral("\r\n"));
}

// Every sheet of a workbook as read_xlsx.py --all dumps it.
QStringList workbookDump(const QString& path)
{
    QProcess reader;
    reader.start(QStringLiteral(TARVELIN_PYTHON3),
                 {QStringLiteral(TARVELIN_SOURCE_DIR "/tests/support/read_xlsx.py"),
                  QStringLiteral("--all"), path});
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0) {
        return {};
    }
    return QString::fromUtf8(reader.readAllStandardOutput()).split(QLatin1Char('\n'));
}

// The lines of the text file from the Musikfolge's header on.
QStringList reportPart(const QStringList& lines)
{
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines[i - 1].isEmpty()) {
            return lines.mid(i);
        }
    }
    return {};
}

void loadTwelveTitles(TForm1& form, DialogScript& dialogs)
{
    dialogs.answers.push_back(kDataDir + QStringLiteral("/fixtures/zwoelf-titel.edl"));
    QTest::mouseClick(form.Button1, Qt::LeftButton);
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void controlsStandWhereTheTableSays_data();
    void controlsStandWhereTheTableSays();
    void windowMenuListAndStatusBar();
    void tabOrderFollowsTheTableAndSkipsDisabledButtons();
    void computeIsEnabledByAnyChangeAndStaysEnabled();
    void saveAndExportAreEnabledByRowChangesOnly();
    void rowsOfARunAreReportedOnce();
    void checkBoxTextsFollowALeftPressNotTheState();
    void errorBoxAppendsFullStop_data();
    void errorBoxAppendsFullStop();
    void uncaughtFailuresReachTheErrorBox();
    void openComputeSaveReadBack();
    void cancelledOpenRebuildsTheAreaFromTheBuffer();
    void failedOpenChangesNothing();
    void exportWritesAWorkbookAndOpensIt();
    void failedSaveKeepsWhatWasThere();
    void savedTextAndWorkbookCarryTheReport();
    void reportKeepsToCompletedRowsAndSaysWhyItIsMissing();
    void logoOpensTheWebsite();
    void statusBarRepaintsOnlyAChangedPanel();
    void pictureShowsTheWindowWithStepNumbers();
};

void MainWindowTest::controlsStandWhereTheTableSays_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");  // width or height -1: sized to its text
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pointSize");
    QTest::addColumn<bool>("bold");

    auto row = [](const char* name, QRect geometry, const QString& text, int size, bool bold) {
        QTest::newRow(name) << QString::fromLatin1(name) << geometry << text << size << bold;
    };
    row("Image4", QRect(7, 0, 35, 35), QString(), 8, false);
    row("Label10", QRect(348, 13, -1, -1), QStringLiteral("Anzahl Titel: 0"), 10, false);
    row("Label1", QRect(454, 10, -1, -1), QStringLiteral("Eingang EDL Datei"), 12, false);
    row("Button1", QRect(591, 4, 117, 30), QStringLiteral("Öffnen EDL"), 10, true);
    row("RichEdit2", QRect(6, 39, 711, 250), QString(), 8, false);
    row("Label6", QRect(8, 297, -1, -1), QStringLiteral("Film:"), 12, false);
    row("ComboBox1", QRect(47, 297, 44, 21), QStringLiteral("25"), 8, false);
    row("Label4", QRect(98, 298, -1, -1), QStringLiteral("fps"), 12, false);
    row("Label5", QRect(135, 298, -1, -1), QStringLiteral("Ohne frames"), 12, false);
    row("CheckBox1", QRect(238, 298, 105, 20), QStringLiteral("00:00"), 10, false);
    row("Label11", QRect(348, 299, -1, -1), QStringLiteral("Anzahl Titel: 0"), 10, false);
    row("Label3", QRect(455, 296, -1, -1), QStringLiteral("Rechnen TC Code"), 12, false);
    row("Button5", QRect(591, 293, 117, 30), QStringLiteral("Rechnen TC"), 10, true);
    row("ListView1", QRect(6, 326, 711, 250), QString(), 8, false);
    row("Label2", QRect(199, 585, -1, -1), QStringLiteral("Ausgang GEMA VB"), 12, false);
    row("Button3", QRect(355, 580, 155, 30), QStringLiteral("Speichern als Text"), 10, true);
    row("Button4", QRect(514, 580, 194, 30), QStringLiteral("Nach Excel exportieren"), 10, true);
    row("StatusBar1", QRect(0, 615, 733, 20), QString(), 8, false);
}

void MainWindowTest::controlsStandWhereTheTableSays()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    QFETCH(int, pointSize);
    QFETCH(bool, bold);

    auto form = newForm();
    QWidget* control = child<QWidget>(*form, name.toLatin1().constData());
    QCOMPARE(control->parentWidget(), form->ClientArea);
    QCOMPARE(control->pos(), geometry.topLeft());
    if (geometry.width() >= 0) {
        QCOMPARE(control->size(), geometry.size());
    } else {
        QCOMPARE(control->size(), control->sizeHint());
    }
    QCOMPARE(control->font().pointSize(), pointSize);
    QCOMPARE(control->font().bold(), bold);
    QCOMPARE(control->font().family(), QStringLiteral("Tahoma"));

    QString shown;
    if (auto* label = qobject_cast<QLabel*>(control)) {
        shown = label->text();
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        shown = button->text();
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        shown = combo->currentText();
    } else if (auto* edit = qobject_cast<QPlainTextEdit*>(control)) {
        shown = edit->toPlainText();
    }
    QCOMPARE(shown, text);
}

void MainWindowTest::windowMenuListAndStatusBar()
{
    auto form = newForm();
    QCOMPARE(form->windowTitle(), QStringLiteral(" Tarvelin v.3.4"));
    QCOMPARE(form->ClientArea->size(), QSize(733, 635));
    QCOMPARE(form->minimumSize(), form->maximumSize());
    QVERIFY(form->windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!(form->windowFlags() & Qt::WindowMaximizeButtonHint));

    QCOMPARE(form->M1->title(), QStringLiteral("Menü"));
    QStringList items;
    for (const QAction* action : form->M1->actions()) {
        items << (action->isSeparator() ? QStringLiteral("-") : action->text());
        QVERIFY(action->shortcut().isEmpty());
        QCOMPARE(action->icon().isNull(), action->isSeparator());
    }
    QCOMPARE(items, QStringList({QStringLiteral("     Hilfe"), QStringLiteral("     Garantie"),
                                 QStringLiteral("     Über"), QStringLiteral("-"),
                                 QStringLiteral("     Beenden")}));
    QCOMPARE(form->N1->objectName(), QStringLiteral("N1"));

    QCOMPARE(form->ComboBox1->count(), 3);
    QCOMPARE(form->ComboBox1->itemText(0), QStringLiteral("24"));
    QCOMPARE(form->ComboBox1->itemText(2), QStringLiteral("30"));
    QVERIFY(form->ComboBox1->isEditable());
    QVERIFY(form->CheckBox1->isChecked());
    QCOMPARE(form->Timer1.interval(), 25);
    QVERIFY(!form->Timer1.isActive());
    QVERIFY(form->RichEdit1.empty());

    QStringList headers;
    for (int column = 0; column < 4; ++column) {
        headers
            << form->ListView1Model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        QCOMPARE(form->ListView1->columnWidth(column), column < 3 ? 75 : 450);
    }
    QCOMPARE(headers, QStringList({"In", "Out", "Länge", "Music Titles"}));
    QVERIFY(form->ListView1->showGrid());
    QCOMPARE(form->ListView1->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(form->ListView1->editTriggers(), QAbstractItemView::NoEditTriggers);

    QCOMPARE(form->StatusBar1->panelText(3), QStringLiteral("Version 3.4"));
    QCOMPARE(form->StatusBar1->panelFrameRect(1).left(), 70);
    QCOMPARE(form->StatusBar1->panelFrameRect(2).left(), 140);
    QCOMPARE(form->StatusBar1->panelFrameRect(3).left(), 605);
    QCOMPARE(form->StatusBar1->panelFrameRect(3).right(), 732);
    QCOMPARE(form->StatusBar1->panelAlignment(0) & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(form->StatusBar1->panelAlignment(2) & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
}

void MainWindowTest::tabOrderFollowsTheTableAndSkipsDisabledButtons()
{
    auto form = newForm();
    form->show();
    QApplication::setActiveWindow(form.get());
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QTRY_COMPARE(QApplication::focusWidget(), form->Button1);

    auto walk = [&form](int steps) {
        QList<QWidget*> seen;
        for (int i = 0; i < steps; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* focus = QApplication::focusWidget();
            // The editable box hands its focus to its line edit.
            if (form->ComboBox1->isAncestorOf(focus)) {
                focus = form->ComboBox1;
            }
            seen << focus;
        }
        return seen;
    };
    const QList<QWidget*> disabled = walk(4);
    QCOMPARE(disabled,
             (QList<QWidget*>{form->RichEdit2, form->ComboBox1, form->CheckBox1, form->ListView1}));

    for (QWidget* button : {form->Button3, form->Button4, form->Button5}) {
        button->setEnabled(true);
    }
    form->Button1->setFocus();
    const QList<QWidget*> enabled = walk(8);
    QCOMPARE(enabled,
             (QList<QWidget*>{form->RichEdit2, form->Button5, form->ComboBox1, form->CheckBox1,
                              form->ListView1, form->Button3, form->Button4, form->Button1}));
}

void MainWindowTest::computeIsEnabledByAnyChangeAndStaysEnabled()
{
    auto form = newForm();
    QVERIFY(form->Button1->isEnabled());
    QVERIFY(!form->Button5->isEnabled());
    QTest::keyClick(form->RichEdit2, Qt::Key_X);
    QCOMPARE(form->RichEdit2->toPlainText(), QStringLiteral("x"));
    QVERIFY(form->Button5->isEnabled());
    QTest::keyClick(form->RichEdit2, Qt::Key_Backspace);
    QVERIFY(form->RichEdit2->toPlainText().isEmpty());
    QVERIFY(form->Button5->isEnabled());
}

void MainWindowTest::saveAndExportAreEnabledByRowChangesOnly()
{
    BoxRecorder boxes;
    DialogScript dialogs;
    auto form = newForm();
    // Clearing an empty list and computing nothing report no row change.
    QTest::mouseClick(form->Button1, Qt::LeftButton);
    form->Button5Click(form->Button5);
    QVERIFY(!form->Button3->isEnabled());
    QVERIFY(!form->Button4->isEnabled());

    form->RichEdit2->setPlainText(QStringLiteral("10:00:00:00      10:00:16:06         TITLE.MP3"));
    QTest::mouseClick(form->Button5, Qt::LeftButton);
    QCOMPARE(form->ListView1Model->rowCount(), 1);
    QVERIFY(form->Button3->isEnabled());
    QVERIFY(form->Button4->isEnabled());

    // A later run without rows empties the list and leaves both enabled.
    form->RichEdit2->clear();
    QTest::mouseClick(form->Button5, Qt::LeftButton);
    QCOMPARE(form->ListView1Model->rowCount(), 0);
    QCOMPARE(form->Label11->text(), QStringLiteral("Anzahl Titel: 0"));
    QVERIFY(form->Button3->isEnabled());
    QVERIFY(form->Button4->isEnabled());
    QVERIFY(boxes.boxes.empty());

    // Selecting a row is a row change too.
    auto second = newForm();
    second->ListView1Model->AppendRow();
    second->ListView1Model->EndRows();
    QVERIFY(!second->Button3->isEnabled());
    second->ListView1->selectRow(0);
    QVERIFY(second->Button3->isEnabled());
    QVERIFY(second->Button4->isEnabled());
}

// A run's rows reach the list as one insertion and one change over all of them; a failing run
// reports its rows too, the failing one with In and Out only.
void MainWindowTest::rowsOfARunAreReportedOnce()
{
    BoxRecorder boxes;
    auto form = newForm();
    form->RichEdit2->setPlainText(
        QStringLiteral("10:00:00:00      10:00:16:06         A.MP3\n"
                       "10:01:00:00      10:01:02:00         B.WAV\n"
                       "10:02:00:00      10:02:05:00         C.NEW"));
    QSignalSpy inserted(form->ListView1Model, &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(form->ListView1Model, &QAbstractItemModel::dataChanged);
    QTest::mouseClick(form->Button5, Qt::LeftButton);
    QCOMPARE(form->ListView1Model->rowCount(), 3);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(changed.count(), 1);
    const auto topLeft = changed[0][0].value<QModelIndex>();
    const auto bottomRight = changed[0][1].value<QModelIndex>();
    QCOMPARE(std::pair(topLeft.row(), topLeft.column()), std::pair(0, 0));
    QCOMPARE(std::pair(bottomRight.row(), bottomRight.column()), std::pair(2, 3));
    QCOMPARE(form->ListView1Model->index(1, 2).data().toString(), QStringLiteral("00:02"));

    form->ComboBox1->setCurrentText(QStringLiteral("abc"));
    inserted.clear();
    changed.clear();
    QTest::mouseClick(form->Button5, Qt::LeftButton);
    QCOMPARE(form->ListView1Model->rowCount(), 1);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(form->ListView1Model->index(0, 1).data().toString(), QStringLiteral("10:00:16:06"));
    QVERIFY(form->ListView1Model->index(0, 2).data().toString().isEmpty());
    QCOMPARE(boxes.boxes.size(), std::size_t{1});
}

void MainWindowTest::checkBoxTextsFollowALeftPressNotTheState()
{
    auto form = newForm();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QCheckBox* box = form->CheckBox1;
    const QPoint inside(8, 10);

    QTest::mouseClick(box, Qt::LeftButton, {}, inside);
    QVERIFY(!box->isChecked());
    QCOMPARE(box->text(), QStringLiteral("00:00:00:00"));
    QCOMPARE(form->Label5->text(), QStringLiteral("Mit frames"));
    QCOMPARE(form->Label5->size(), form->Label5->sizeHint());

    // A right press switches the texts but not the state.
    QTest::mouseClick(box, Qt::RightButton, {}, inside);
    QVERIFY(!box->isChecked());
    QCOMPARE(box->text(), QStringLiteral("00:00"));
    QCOMPARE(form->Label5->text(), QStringLiteral("Ohne frames"));

    // The keyboard switches the state but not the texts.
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Space);
    QVERIFY(box->isChecked());
    QCOMPARE(box->text(), QStringLiteral("00:00"));
    QCOMPARE(form->Label5->text(), QStringLiteral("Ohne frames"));

    // The next computation uses the state, whatever the texts say.
    QTest::mouseClick(box, Qt::RightButton, {}, inside);
    form->RichEdit2->setPlainText(QStringLiteral("10:00:00:00      10:00:16:06         TITLE.MP3"));
    form->Button5Click(form->Button5);
    QCOMPARE(form->ListView1Model->rows().at(0).length, u"00:16");
}

void MainWindowTest::errorBoxAppendsFullStop_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("plain_word_gets_stop") << "Division durch Null"
                                          << "Division durch Null.";
    QTest::newRow("stop_kept") << "Fertig."
                               << "Fertig.";
    QTest::newRow("quote_is_below_stop") << "'x' ist kein gültiger Integerwert'"
                                         << "'x' ist kein gültiger Integerwert'";
    QTest::newRow("comma_is_below_stop") << "Zeile 1,"
                                         << "Zeile 1,";
    QTest::newRow("hyphen_is_below_stop") << "Ende -"
                                          << "Ende -";
    QTest::newRow("question_mark_is_above") << "Wirklich?"
                                            << "Wirklich?.";
    QTest::newRow("digit_is_above") << "Zeile 12"
                                    << "Zeile 12.";
    QTest::newRow("umlaut_is_above") << "Größe"
                                     << "Größe.";
    QTest::newRow("empty_gets_stop") << ""
                                     << ".";
}

void MainWindowTest::errorBoxAppendsFullStop()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(ErrorBoxText(message), shown);
}

void MainWindowTest::uncaughtFailuresReachTheErrorBox()
{
    BoxRecorder boxes;
    auto form = newForm();
    form->RichEdit2->setPlainText(
        QStringLiteral("10:00:00:00      10:00:16:06         EINS.MP3\n"
                       "10:00:20:00      10:00:30:00         ZWEI.MP3"));
    form->ComboBox1->setEditText(QStringLiteral("abc"));
    QTest::mouseClick(form->Button5, Qt::LeftButton);

    QCOMPARE(boxes.boxes.size(), std::size_t{1});
    QCOMPARE(boxes.boxes[0].caption, QStringLiteral("Tarvelin"));
    QCOMPARE(boxes.boxes[0].icon, BoxIcon::Error);
    QCOMPARE(boxes.boxes[0].text, QStringLiteral("'abc' ist kein gültiger Gleitkommawert."));
    // The failing row keeps In and Out; the count keeps its old text.
    QCOMPARE(form->ListView1Model->rowCount(), 1);
    QCOMPARE(form->ListView1Model->rows()[0].in, u"10:00:00:00");
    QCOMPARE(form->ListView1Model->rows()[0].out, u"10:00:16:06");
    QVERIFY(form->ListView1Model->rows()[0].length.empty());
    QCOMPARE(form->Label11->text(), QStringLiteral("Anzahl Titel: 0"));

    // A failure escaping an event handler goes through the application's notify.
    class Throwing : public QObject {
    public:
        bool event(QEvent*) override { throw std::runtime_error("Kaputt"); }
    } throwing;
    QEvent event(QEvent::User);
    QCOMPARE(QCoreApplication::sendEvent(&throwing, &event), false);
    QCOMPARE(boxes.boxes.size(), std::size_t{2});
    QCOMPARE(boxes.boxes[1].text, QStringLiteral("Kaputt."));
}

void MainWindowTest::openComputeSaveReadBack()
{
    BoxRecorder boxes;
    DialogScript dialogs;
    QTemporaryDir folder;
    auto form = newForm();

    loadTwelveTitles(*form, dialogs);
    QCOMPARE(dialogs.askedFilters.at(0), QStringLiteral("EDL  (*.edl)"));
    const QStringList lines = areaLines(*form);
    QCOMPARE(lines.size(), 12);
    QCOMPARE(lines[0],
             QStringLiteral("01:10:00:00      01:11:20:01         TITEL 01 - KAPITEL 1.MP3"));
    QCOMPARE(form->Label10->text(), QStringLiteral("Anzahl Titel: 12"));
    QVERIFY(form->Button5->isEnabled());

    QTest::mouseClick(form->Button5, Qt::LeftButton);
    QCOMPARE(form->ListView1Model->rowCount(), 12);
    QCOMPARE(form->Label11->text(), QStringLiteral("Anzahl Titel: 12"));
    const tarvelin::CueRow& first = form->ListView1Model->rows()[0];
    QCOMPARE(first.in, u"01:10:00:00");
    QCOMPARE(first.out, u"01:11:20:01");
    QCOMPARE(first.length, u"01:20");
    QCOMPARE(first.title, u"         TITEL 01 - KAPITEL 1.MP3");
    QCOMPARE(
        form->ListView1Model->data(form->ListView1Model->index(0, 3), Qt::DisplayRole).toString(),
        QStringLiteral("         TITEL 01 - KAPITEL 1.MP3"));

    const QString target = folder.filePath(QStringLiteral("liste.txt"));
    dialogs.answers.push_back(target);
    QTest::mouseClick(form->Button3, Qt::LeftButton);
    QCOMPARE(dialogs.askedFilters.at(1), QStringLiteral("EDL-Text (*.txt)"));
    QVERIFY(dialogs.askedNames.at(1).endsWith(QStringLiteral("/fixtures/zwoelf-titel.txt")));
    QVERIFY2(boxes.boxes.empty(),
             qPrintable(boxes.boxes.empty() ? QString() : boxes.boxes[0].text));

    QFile saved(target);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QString text = QString::fromUtf8(saved.readAll());
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    // The cue list ends at the empty line before the music report.
    const QStringList savedLines = text.left(text.indexOf(QStringLiteral("\r\n\r\n")) + 2)
                                       .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(savedLines.size(), 13);
    for (const char* header : {"In", "Out", "Länge", "Music Titles"}) {
        QVERIFY(savedLines[0].contains(QString::fromUtf8(header)));
    }
    for (int row = 0; row < 12; ++row) {
        const tarvelin::CueRow& cue = form->ListView1Model->rows()[static_cast<std::size_t>(row)];
        for (const std::u16string& cell : {cue.in, cue.out, cue.length}) {
            QVERIFY(savedLines[row + 1].contains(QString::fromStdU16String(cell)));
        }
        QVERIFY(savedLines[row + 1].endsWith(QString::fromStdU16String(cue.title).trimmed()));
    }
}

void MainWindowTest::cancelledOpenRebuildsTheAreaFromTheBuffer()
{
    BoxRecorder boxes;
    DialogScript dialogs;
    auto form = newForm();
    loadTwelveTitles(*form, dialogs);
    const QStringList loaded = areaLines(*form);
    form->RichEdit2->setPlainText(QStringLiteral("bearbeitet"));

    QTest::mouseClick(form->Button1, Qt::LeftButton);  // the dialog is cancelled
    QCOMPARE(areaLines(*form), loaded);
    QCOMPARE(form->Label10->text(), QStringLiteral("Anzahl Titel: 12"));
    QVERIFY(boxes.boxes.empty());
}

void MainWindowTest::failedOpenChangesNothing()
{
    BoxRecorder boxes;
    DialogScript dialogs;
    auto form = newForm();
    loadTwelveTitles(*form, dialogs);
    form->RichEdit2->setPlainText(QStringLiteral("bearbeitet"));
    const std::u16string buffer = form->RichEdit1;

    dialogs.answers.push_back(QDir::temp().filePath(QStringLiteral("gibt-es-nicht-4711.edl")));
    QTest::mouseClick(form->Button1, Qt::LeftButton);
    QCOMPARE(boxes.boxes.size(), std::size_t{1});
    QCOMPARE(boxes.boxes[0].icon, BoxIcon::Error);
    QVERIFY2(boxes.boxes[0].text.startsWith(QStringLiteral("Datei ")) &&
                 boxes.boxes[0].text.contains(QStringLiteral("gibt-es-nicht-4711.edl")) &&
                 boxes.boxes[0].text.contains(QStringLiteral("kann nicht geöffnet werden.")),
             qPrintable(boxes.boxes[0].text));
    QCOMPARE(form->RichEdit2->toPlainText(), QStringLiteral("bearbeitet"));
    QCOMPARE(form->Label10->text(), QStringLiteral("Anzahl Titel: 12"));
    QVERIFY(form->RichEdit1 == buffer);
}

void MainWindowTest::exportWritesAWorkbookAndOpensIt()
{
    BoxRecorder boxes;
    DialogScript dialogs;
    UrlCatcher desktop;
    QTemporaryDir folder;
    auto form = newForm();
    loadTwelveTitles(*form, dialogs);
    form->CheckBox1->setChecked(false);
    QTest::mouseClick(form->Button5, Qt::LeftButton);

    const QString target = folder.filePath(QStringLiteral("liste.xlsx"));
    dialogs.answers.push_back(target);
    QTest::mouseClick(form->Button4, Qt::LeftButton);
    QVERIFY(boxes.boxes.empty());
    QVERIFY(dialogs.askedNames.back().endsWith(QStringLiteral("zwoelf-titel.xlsx")));
    QCOMPARE(desktop.urls.size(), std::size_t{1});
    QCOMPARE(desktop.urls[0], QUrl::fromLocalFile(target));

    QProcess reader;
    reader.start(QStringLiteral(TARVELIN_PYTHON3),
                 {QStringLiteral(TARVELIN_SOURCE_DIR "/tests/support/read_xlsx.py"), target});
    QVERIFY(reader.waitForFinished(60000));
    QVERIFY2(reader.exitCode() == 0, reader.readAllStandardError().constData());
    const QStringList dump =
        QString::fromUtf8(reader.readAllStandardOutput()).split(QLatin1Char('\n'));
    auto cellValue = [&dump](const QString& coordinate) {
        for (const QString& line : dump) {
            const QStringList parts = line.split(QLatin1Char('\t'));
            if (parts.size() == 6 && parts[0] == QLatin1String("cell") && parts[1] == coordinate) {
                return parts[5];
            }
        }
        return QStringLiteral("<missing>");
    };
    QCOMPARE(cellValue(QStringLiteral("A1")), QStringLiteral("In"));
    QCOMPARE(cellValue(QStringLiteral("D1")), QStringLiteral("Music Titles"));
    for (int row = 0; row < 12; ++row) {
        const tarvelin::CueRow& cue = form->ListView1Model->rows()[static_cast<std::size_t>(row)];
        const QString line = QString::number(row + 2);
        QCOMPARE(cellValue(QLatin1Char('A') + line), QString::fromStdU16String(cue.in));
        QCOMPARE(cellValue(QLatin1Char('B') + line), QString::fromStdU16String(cue.out));
        QCOMPARE(cellValue(QLatin1Char('C') + line), QString::fromStdU16String(cue.length));
        QCOMPARE(cellValue(QLatin1Char('D') + line),
                 QString::fromStdU16String(cue.title).trimmed());
    }
    QCOMPARE(cellValue(QStringLiteral("C2")), QStringLiteral("00:01:20:01"));
    QCOMPARE(cellValue(QStringLiteral("A14")), QStringLiteral("<missing>"));
}

void MainWindowTest::failedSaveKeepsWhatWasThere()
{
    BoxRecorder boxes;
    DialogScript dialogs;
    UrlCatcher desktop;
    QTemporaryDir folder;
    auto form = newForm();
    loadTwelveTitles(*form, dialogs);
    QTest::mouseClick(form->Button5, Qt::LeftButton);

    // The chosen name is taken by a folder with a file in it: nothing can replace it.
    const QString target = folder.filePath(QStringLiteral("liste.txt"));
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("liste.txt")));
    QFile kept(target + QStringLiteral("/alt.txt"));
    QVERIFY(kept.open(QIODevice::WriteOnly));
    kept.write("alte Liste");
    kept.close();

    for (QPushButton* button : {form->Button3, form->Button4}) {
        boxes.boxes.clear();
        dialogs.answers.push_back(target);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(boxes.boxes.size(), std::size_t{1});
        QCOMPARE(boxes.boxes[0].icon, BoxIcon::Error);
        QVERIFY2(boxes.boxes[0].text.contains(QStringLiteral("konnte nicht geschrieben werden")),
                 qPrintable(boxes.boxes[0].text));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("alte Liste"));
        kept.close();
        // No half-written temporary file is left beside it.
        QCOMPARE(
            QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{QStringLiteral("liste.txt")});
    }
    QVERIFY(desktop.urls.empty());
}

void MainWindowTest::savedTextAndWorkbookCarryTheReport()
{
    BoxRecorder boxes;
    DialogScript dialogs;
    UrlCatcher desktop;
    QTemporaryDir folder;
    auto form = newForm();
    // Typed into the area: a stereo pair, a cut placed right after it, another work.
    form->RichEdit2->setPlainText(QStringLiteral(
        "01:00:00:00      01:00:10:00         SONG A.MP3\n"
        "01:00:00:00      01:00:10:00         SONG A.MP3\n"
        "01:00:10:00      01:00:15:12         SONG A.MP3.SUB.01 TO CLIP NAME:  SONG A.MP3\n"
        "01:00:20:00      01:00:30:00         WIESE.WAV"));
    QTest::mouseClick(form->Button5, Qt::LeftButton);
    QCOMPARE(form->ListView1Model->rowCount(), 4);
    // The report keeps the rate of the computation, not what the box says now.
    form->ComboBox1->setEditText(QStringLiteral("abc"));

    const QString text = folder.filePath(QStringLiteral("liste.txt"));
    dialogs.answers.push_back(text);
    QTest::mouseClick(form->Button3, Qt::LeftButton);
    const QStringList report = reportPart(savedTextLines(text));
    QCOMPARE(report.size(), 9);
    QCOMPARE(report[0].split(QLatin1Char(' '), Qt::SkipEmptyParts),
             (QStringList{"Nr", "Titel", "In", "Out", "Dauer"}));
    QCOMPARE(report[1], QStringLiteral(" 1  SONG A  01:00:00:00  01:00:15:12  00:16"));
    QCOMPARE(report[2], QStringLiteral(" 2  WIESE   01:00:20:00  01:00:30:00  00:10"));
    QCOMPARE(report[3], QString());
    QCOMPARE(report[4].split(QLatin1Char(' '), Qt::SkipEmptyParts),
             (QStringList{"Titel", "Einsätze", "Gesamtdauer"}));
    QCOMPARE(report[7].split(QLatin1Char(' '), Qt::SkipEmptyParts),
             (QStringList{"Gesamt", "2", "00:26"}));

    const QString book = folder.filePath(QStringLiteral("liste.xlsx"));
    dialogs.answers.push_back(book);
    QTest::mouseClick(form->Button4, Qt::LeftButton);
    const QStringList dump = workbookDump(book);
    for (const char* line :
         {"sheet\tMusikfolge", "cell\tB2\ts\t@\tplain\tSONG A", "cell\tC2\ts\t@\tplain\tSONG A.MP3",
          "cell\tF2\td\t[mm]:ss\tplain\t16s", "cell\tB3\ts\t@\tplain\tWIESE", "sheet\tSummen",
          "cell\tA4\ts\t@\tbold\tGesamt", "cell\tD4\td\t[mm]:ss\tbold\t26s"}) {
        QVERIFY2(dump.contains(QString::fromUtf8(line)), line);
    }
    QVERIFY2(boxes.boxes.empty(),
             qPrintable(boxes.boxes.empty() ? QString() : boxes.boxes[0].text));
}

void MainWindowTest::reportKeepsToCompletedRowsAndSaysWhyItIsMissing()
{
    BoxRecorder boxes;
    DialogScript dialogs;
    UrlCatcher desktop;
    QTemporaryDir folder;
    auto form = newForm();
    // At 1E15 frames per second the second row's duration in frames leaves the 32-bit range.
    form->RichEdit2->setPlainText(
        QStringLiteral("00:00:00:00      00:00:00:05         ERSTES.MP3\n"
                       "00:00:00:00      00:00:01:00         ZWEITES.MP3\n"
                       "00:00:02:00      00:00:02:05         DRITTES.MP3"));
    form->ComboBox1->setEditText(QStringLiteral("1E15"));
    QTest::mouseClick(form->Button5, Qt::LeftButton);
    QCOMPARE(boxes.boxes.size(), std::size_t{1});
    QCOMPARE(form->ListView1Model->rowCount(), 2);

    const QString text = folder.filePath(QStringLiteral("liste.txt"));
    dialogs.answers.push_back(text);
    QTest::mouseClick(form->Button3, Qt::LeftButton);
    QStringList report = reportPart(savedTextLines(text));
    QVERIFY(report.size() > 2);
    QCOMPARE(report[1], QStringLiteral(" 1  ERSTES  00:00:00:00  00:00:00:05  00:01"));
    QCOMPARE(report[2], QString());

    // A rate below zero computes rows but makes no report: the list is saved, the file and a
    // warning say why.
    boxes.boxes.clear();
    form->ComboBox1->setEditText(QStringLiteral("-25"));
    QTest::mouseClick(form->Button5, Qt::LeftButton);
    QCOMPARE(form->ListView1Model->rowCount(), 3);
    QVERIFY(boxes.boxes.empty());
    dialogs.answers.push_back(text);
    QTest::mouseClick(form->Button3, Qt::LeftButton);
    const QString reason =
        QStringLiteral("Keine Musikfolge: Die Bildrate '-25' ist nicht größer als null");
    const QStringList lines = savedTextLines(text);
    QCOMPARE(lines.mid(lines.size() - 3), (QStringList{QString(), reason, QString()}));
    QCOMPARE(lines[4], QString());
    QCOMPARE(boxes.boxes.size(), std::size_t{1});
    QCOMPARE(boxes.boxes[0].icon, BoxIcon::Warning);
    QCOMPARE(boxes.boxes[0].text,
             QStringLiteral("Die Cue-Liste wurde ohne Musikfolge gespeichert. ") + reason +
                 QLatin1Char('.'));

    const QString book = folder.filePath(QStringLiteral("liste.xlsx"));
    dialogs.answers.push_back(book);
    QTest::mouseClick(form->Button4, Qt::LeftButton);
    QVERIFY(workbookDump(book).contains(QStringLiteral("cell\tA2\ts\tGeneral\tplain\t") + reason));
    QCOMPARE(boxes.boxes.size(), std::size_t{2});
}

void MainWindowTest::logoOpensTheWebsite()
{
    UrlCatcher desktop;
    auto form = newForm();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QCOMPARE(form->Image4->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(form->Image4, Qt::LeftButton, {}, QPoint(17, 17));
    QCOMPARE(desktop.urls.size(), std::size_t{1});
    QCOMPARE(desktop.urls[0], QUrl(QStringLiteral("http://tarvelin.example/")));
    QTest::mouseClick(form->Image4, Qt::RightButton, {}, QPoint(17, 17));
    QCOMPARE(desktop.urls.size(), std::size_t{1});
}

void MainWindowTest::statusBarRepaintsOnlyAChangedPanel()
{
    CountingStatusBar bar;
    bar.resize(733, 20);
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    QTRY_VERIFY(bar.paints[2] > 0);

    auto settled = [&bar] {
        QCoreApplication::processEvents();
        return std::vector<int>(std::begin(bar.paints), std::end(bar.paints));
    };
    bar.setPanelText(2, QStringLiteral("Neuigkeiten"));
    const std::vector<int> afterChange = settled();
    bar.setPanelText(2, QStringLiteral("Neuigkeiten"));
    QCOMPARE(settled(), afterChange);

    bar.setPanelText(0, QStringLiteral("09.12.2026"));
    const std::vector<int> afterDate = settled();
    QVERIFY(afterDate[0] > afterChange[0]);
    QCOMPARE(afterDate[2], afterChange[2]);
    QCOMPARE(afterDate[3], afterChange[3]);
    QCOMPARE(bar.panelText(0), QStringLiteral("09.12.2026"));
}

void MainWindowTest::pictureShowsTheWindowWithStepNumbers()
{
    const QImage picture = MainWindowPicture().toImage();
    QCOMPARE(picture.size(), QSize(kMainWindowPictureWidth, kMainWindowPictureHeight));
    int red = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QColor colour = picture.pixelColor(x, y);
            red += colour.red() > 180 && colour.green() < 60 && colour.blue() < 60;
        }
    }
    // Five filled step circles, each a few hundred pixels.
    QVERIFY2(red > 5 * 150, qPrintable(QString::number(red)));
}

int main(int argc, char** argv)
{
    TarvelinApplication app(argc, argv);
    LoadProgramFonts();
    ApplyTheme(QString::fromLatin1(kThemeName));
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "MainWindowTest.moc"
