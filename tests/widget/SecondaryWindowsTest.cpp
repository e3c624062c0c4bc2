// Drives the help, terms and about windows: their layout and texts, how they close, the state
// they keep between showings, the help window's scrolling, the about window's links, and the
// pictures they are built from.
#include "ui/About.h"
#include "ui/Info.h"
#include "ui/Unit4.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QIcon>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSvgRenderer>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// Opens a dialog modally without blocking the test and makes it the active window, so key
// presses reach it as they would from the user.
void openActive(QDialog* dialog)
{
    dialog->open();
    QApplication::setActiveWindow(dialog);
    QVERIFY(QTest::qWaitForWindowActive(dialog));
}

void pressKey(QDialog* dialog, Qt::Key key)
{
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : dialog;
    QTest::keyClick(target, key);
}

// The address handed to the desktop by the about window's links.
struct OpenedUrls {
    std::vector<QUrl> urls;
    TAboutBox::UrlOpener opener()
    {
        return [this](const QUrl& url) { urls.push_back(url); };
    }
};

}  // namespace

class SecondaryWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void layoutAndTexts_data();
    void layoutAndTexts();
    void titleBarButtons();
    void escapeClosesNoWindow();
    void enterClosesHelpAndAbout();
    void termsCloseOnlyThroughOk();
    void termsTextLinesStandAlone();
    void helpKeepsTabAndScrollPositions();
    void helpScrollsVerticallyInSteps();
    void helpShowsAnnotatedMainWindow();
    void dialogsAreCentred();
    void aboutLinksHandOverAddresses();
    void aboutLinksKeepHighlightColourUnderTheme();
    void resourcesLoad_data();
    void resourcesLoad();

private:
    std::unique_ptr<QWidget> m_main;
    std::unique_ptr<TTForm2> m_help;
    std::unique_ptr<TForm4> m_terms;
    std::unique_ptr<TAboutBox> m_about;
};

void SecondaryWindowsTest::initTestCase()
{
    const QDir wineFonts(QStringLiteral("/usr/share/wine/fonts"));
    for (const QString& file : wineFonts.entryList({QStringLiteral("*.ttf")}))
        QFontDatabase::addApplicationFont(wineFonts.filePath(file));

    m_main = std::make_unique<QWidget>();
    m_main->setGeometry(100, 80, 733, 635);
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));

    m_terms = std::make_unique<TForm4>(m_main.get());
    m_help = std::make_unique<TTForm2>(m_main.get());
    m_about = std::make_unique<TAboutBox>(m_main.get());
}

void SecondaryWindowsTest::cleanup()
{
    for (QDialog* dialog : std::initializer_list<QDialog*>{m_help.get(), m_about.get()}) {
        if (dialog->isVisible()) dialog->accept();
    }
    if (m_terms->isVisible()) m_terms->BitBtn3Click(m_terms->BitBtn3);
    qApp->setStyleSheet(QString());
}

void SecondaryWindowsTest::layoutAndTexts_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("child");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");

    const auto row = [](const char* tag, const char* window, const char* child, QRect geometry,
                        const QString& text) {
        QTest::newRow(tag) << QString::fromLatin1(window) << QString::fromLatin1(child) << geometry
                           << text;
    };
    row("help_window", "TForm2", "", QRect(0, 0, 795, 552), QStringLiteral("Hilfe"));
    row("help_pages", "TForm2", "PageControl1", QRect(0, 0, 795, 518), {});
    row("help_strip", "TForm2", "Panel2", QRect(0, 518, 795, 34), {});
    row("help_ok", "TForm2", "OKBtn", QRect(315, 2, 85, 30), QStringLiteral("OK"));
    row("help_title_strip", "TForm2", "Image3", QRect(195, 16, 221, 35), {});
    row("help_export_window", "TForm2", "Image1", QRect(40, 63, 539, 625), {});
    row("help_comments_tab", "TForm2", "Image2", QRect(152, 702, 326, 400), {});
    row("help_options_tab", "TForm2", "Image7", QRect(152, 1102, 324, 397), {});
    row("help_main_window", "TForm2", "Image4", QRect(24, 0, 715, 700), {});
    row("terms_window", "Form4", "", QRect(0, 0, 693, 465), QStringLiteral("Garantiebestimmungen"));
    row("terms_panel", "Form4", "Panel1", QRect(0, 0, 693, 420), {});
    row("terms_memo", "Form4", "Memo1", QRect(1, 1, 691, 418), {});
    row("terms_strip", "Form4", "Panel2", QRect(0, 420, 693, 45), {});
    row("terms_ok", "Form4", "BitBtn3", QRect(291, 8, 75, 30), QStringLiteral("OK"));
    row("about_window", "AboutBox", "", QRect(0, 0, 442, 295), QStringLiteral("Über Tarvelin"));
    row("about_panel", "AboutBox", "Panel1", QRect(8, 3, 441, 249), {});
    row("about_ok", "AboutBox", "OKButton", QRect(169, 258, 85, 30), QStringLiteral("OK"));
    row("about_icon", "AboutBox", "sImage2", QRect(17, 18, 105, 105), {});
    row("about_logo", "AboutBox", "sImage1", QRect(273, 146, 76, 70), {});
}

void SecondaryWindowsTest::layoutAndTexts()
{
    QFETCH(QString, window);
    QFETCH(QString, child);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);

    QDialog* dialog = nullptr;
    for (QDialog* candidate :
         std::initializer_list<QDialog*>{m_help.get(), m_terms.get(), m_about.get()}) {
        if (candidate->objectName() == window) dialog = candidate;
    }
    QVERIFY(dialog);

    if (child.isEmpty()) {
        QCOMPARE(dialog->size(), geometry.size());
        QCOMPARE(dialog->minimumSize(), geometry.size());
        QCOMPARE(dialog->maximumSize(), geometry.size());
        QCOMPARE(dialog->windowTitle(), text);
        QVERIFY(!dialog->windowIcon().isNull());
        return;
    }
    auto* widget = dialog->findChild<QWidget*>(child);
    QVERIFY2(widget, qPrintable(child));
    QCOMPARE(widget->geometry(), geometry);
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
        QCOMPARE(button->text(), text);
        QVERIFY(button->isDefault());
        QVERIFY(!button->icon().isNull());
    }
    if (auto* picture = qobject_cast<QLabel*>(widget); picture && child != QLatin1String("Image4"))
        QVERIFY(!picture->pixmap().isNull());
}

void SecondaryWindowsTest::titleBarButtons()
{
    for (QDialog* dialog : std::initializer_list<QDialog*>{m_help.get(), m_about.get()}) {
        const Qt::WindowFlags flags = dialog->windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowContextHelpButtonHint));
    }
    const Qt::WindowFlags terms = m_terms->windowFlags();
    QVERIFY(terms.testFlag(Qt::CustomizeWindowHint));
    QVERIFY(terms.testFlag(Qt::WindowTitleHint));
    QVERIFY(!terms.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!terms.testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(!terms.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!terms.testFlag(Qt::WindowMaximizeButtonHint));
}

void SecondaryWindowsTest::escapeClosesNoWindow()
{
    for (QDialog* dialog :
         std::initializer_list<QDialog*>{m_help.get(), m_terms.get(), m_about.get()}) {
        openActive(dialog);
        pressKey(dialog, Qt::Key_Escape);
        QTest::keyClick(dialog, Qt::Key_Escape);
        QVERIFY2(dialog->isVisible(), qPrintable(dialog->objectName()));
        cleanup();
    }
}

void SecondaryWindowsTest::enterClosesHelpAndAbout()
{
    for (QDialog* dialog : std::initializer_list<QDialog*>{m_help.get(), m_about.get()}) {
        openActive(dialog);
        pressKey(dialog, Qt::Key_Return);
        QVERIFY2(!dialog->isVisible(), qPrintable(dialog->objectName()));
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
    }
}

void SecondaryWindowsTest::termsCloseOnlyThroughOk()
{
    openActive(m_terms.get());
    QCOMPARE(QApplication::focusWidget(), m_terms->Memo1);

    QTest::keyClick(m_terms->Memo1, Qt::Key_Return);
    QTest::keyClick(m_terms->Memo1, Qt::Key_Enter);
    QVERIFY(m_terms->isVisible());
    QVERIFY(!m_terms->close());
    QVERIFY(m_terms->isVisible());
    m_terms->reject();
    QVERIFY(m_terms->isVisible());

    QTest::keyClick(m_terms->Memo1, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), m_terms->BitBtn3);
    QTest::keyClick(m_terms->BitBtn3, Qt::Key_Return);
    QVERIFY(!m_terms->isVisible());

    // Shown again, the text is as it was left and the focus is back in the text.
    m_terms->Memo1->selectAll();
    const QString selected = m_terms->Memo1->textCursor().selectedText();
    openActive(m_terms.get());
    QCOMPARE(QApplication::focusWidget(), m_terms->Memo1);
    QCOMPARE(m_terms->Memo1->textCursor().selectedText(), selected);
    QTest::mouseClick(m_terms->BitBtn3, Qt::LeftButton);
    QVERIFY(!m_terms->isVisible());
}

void SecondaryWindowsTest::termsTextLinesStandAlone()
{
    QPlainTextEdit* memo = m_terms->Memo1;
    QVERIFY(memo->isReadOnly());
    QVERIFY(memo->textInteractionFlags().testFlag(Qt::TextSelectableByMouse));
    QCOMPARE(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

    const QStringList lines = memo->toPlainText().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 20);
    QCOMPARE(lines[0], QStringLiteral("    "));
    QCOMPARE(lines[1], QString(47, QLatin1Char(' ')) + QStringLiteral("Garantiebestimmungen"));
    for (int i : {2, 5, 6, 19}) QVERIFY2(lines[i].isEmpty(), qPrintable(QString::number(i + 1)));
    QCOMPARE(lines[3], QStringLiteral(" "));
    QCOMPARE(lines[4], QStringLiteral(" "));
    for (int i = 7; i <= 18; ++i) {
        QVERIFY2(!lines[i].trimmed().isEmpty(), qPrintable(QString::number(i + 1)));
        QCOMPARE(lines[i], lines[i].toUpper());
    }

    // Without scroll bars the text must fit the area: every line stays one line on screen, and
    // the last line of the paragraph is inside the visible area.
    m_terms->open();
    QVERIFY(QTest::qWaitForWindowExposed(m_terms.get()));
    for (int i = 0; i < 20; ++i) {
        const QTextBlock block = memo->document()->findBlockByNumber(i);
        QVERIFY2(block.layout()->lineCount() <= 1, qPrintable(block.text()));
    }
    const QTextBlock last = memo->document()->findBlockByNumber(18);
    const QRect lastLine = memo->cursorRect(QTextCursor(last));
    QVERIFY2(lastLine.bottom() <= memo->viewport()->height(),
             qPrintable(
                 QStringLiteral("%1 > %2").arg(lastLine.bottom()).arg(memo->viewport()->height())));
}

void SecondaryWindowsTest::helpKeepsTabAndScrollPositions()
{
    openActive(m_help.get());
    QCOMPARE(m_help->PageControl1->currentWidget(), m_help->TabSheet);
    QCOMPARE(m_help->PageControl1->tabText(0), QStringLiteral("EDL Settings"));
    QCOMPARE(m_help->PageControl1->tabText(1), QStringLiteral("Tarvelin"));

    m_help->JvScrollBox1->verticalScrollBar()->setValue(3 * 43);
    m_help->PageControl1->setCurrentIndex(1);
    m_help->JvScrollBox2->verticalScrollBar()->setValue(120);
    QTest::mouseClick(m_help->OKBtn, Qt::LeftButton);
    QVERIFY(!m_help->isVisible());

    openActive(m_help.get());
    QCOMPARE(m_help->PageControl1->currentWidget(), m_help->TabSheet1);
    QCOMPARE(m_help->JvScrollBox2->verticalScrollBar()->value(), 120);
    QCOMPARE(m_help->JvScrollBox1->verticalScrollBar()->value(), 3 * 43);

    // The title bar's close button hides the window as well, keeping its state.
    QVERIFY(m_help->close());
    QVERIFY(!m_help->isVisible());
    openActive(m_help.get());
    QCOMPARE(m_help->PageControl1->currentWidget(), m_help->TabSheet1);

    m_help->PageControl1->setCurrentIndex(0);
    m_help->JvScrollBox1->verticalScrollBar()->setValue(0);
    m_help->JvScrollBox2->verticalScrollBar()->setValue(0);
}

void SecondaryWindowsTest::helpScrollsVerticallyInSteps()
{
    openActive(m_help.get());
    for (QScrollArea* box : {m_help->JvScrollBox1, m_help->JvScrollBox2}) {
        m_help->PageControl1->setCurrentWidget(box->parentWidget());
        QTRY_VERIFY(box->isVisible());
        QCOMPARE(box->size(), box->parentWidget()->size());
        QCOMPARE(box->horizontalScrollBar()->maximum(), 0);
        QVERIFY(box->verticalScrollBar()->hasTracking());
        QVERIFY(box->verticalScrollBar()->maximum() > 0);
        QTest::keyClick(box, Qt::Key_Right);
        QCOMPARE(box->horizontalScrollBar()->value(), 0);
    }

    QScrollBar* bar = m_help->JvScrollBox1->verticalScrollBar();
    m_help->PageControl1->setCurrentIndex(0);
    QCOMPARE(bar->maximum(), 1499 - m_help->JvScrollBox1->viewport()->height());
    bar->setValue(0);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(bar->value(), 43);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(bar->value(), 86);
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QCOMPARE(bar->value(), 43);
    bar->setValue(0);
}

void SecondaryWindowsTest::helpShowsAnnotatedMainWindow()
{
    openActive(m_help.get());
    const QPixmap picture = m_help->Image4->pixmap();
    QVERIFY(!picture.isNull());
    QCOMPARE(picture.deviceIndependentSize().toSize(), QSize(724, 688));
    QCOMPARE(m_help->Image4->alignment(), Qt::AlignCenter);
}

void SecondaryWindowsTest::dialogsAreCentred()
{
    const QPoint mainCentre = m_main->frameGeometry().center();
    for (QDialog* dialog : std::initializer_list<QDialog*>{m_help.get(), m_about.get()}) {
        openActive(dialog);
        const QPoint offset = dialog->frameGeometry().center() - mainCentre;
        QVERIFY2(std::abs(offset.x()) <= 3 && std::abs(offset.y()) <= 3,
                 qPrintable(QStringLiteral("%1 off by %2,%3")
                                .arg(dialog->objectName())
                                .arg(offset.x())
                                .arg(offset.y())));
        dialog->accept();
    }

    // Created without a parent, as at start-up, a window centres over the active main window.
    QApplication::setActiveWindow(m_main.get());
    QTRY_COMPARE(QApplication::activeWindow(), m_main.get());
    TAboutBox orphan;
    orphan.show();
    const QPoint orphanOffset = orphan.frameGeometry().center() - mainCentre;
    QVERIFY(std::abs(orphanOffset.x()) <= 3 && std::abs(orphanOffset.y()) <= 3);
    orphan.hide();

    openActive(m_terms.get());
    const QPoint desktopCentre = m_terms->screen()->availableGeometry().center();
    const QPoint termsOffset = m_terms->frameGeometry().center() - desktopCentre;
    QVERIFY(std::abs(termsOffset.x()) <= 3 && std::abs(termsOffset.y()) <= 3);
}

void SecondaryWindowsTest::aboutLinksHandOverAddresses()
{
    OpenedUrls opened;
    m_about->setUrlOpener(opened.opener());
    openActive(m_about.get());

    QCOMPARE(m_about->Label8->text(), QStringLiteral("info@tarvelin.example"));
    QCOMPARE(m_about->Label9->text(), QStringLiteral("tarvelin.example"));
    for (QLabel* link : {m_about->Label8, m_about->Label9, m_about->sImage1})
        QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);

    QTest::mouseClick(m_about->Label8, Qt::LeftButton);
    QTest::mouseClick(m_about->Label9, Qt::LeftButton);
    QTest::mouseClick(m_about->sImage1, Qt::LeftButton);
    QTest::mouseClick(m_about->Label8, Qt::RightButton);
    QTest::mouseClick(m_about->Label5, Qt::LeftButton);

    const std::vector<QUrl> expected = {
        QUrl(QStringLiteral("mailto:info@tarvelin.example")),
        QUrl(QStringLiteral("http://tarvelin.example/")),
        QUrl(QStringLiteral("http://tarvelin.example/")),
    };
    QCOMPARE(opened.urls, expected);
    QVERIFY(m_about->isVisible());
    m_about->setUrlOpener({});

    // An ampersand in a link is text, not a keyboard mnemonic.
    const QString website = m_about->Label9->text();
    m_about->Label9->setText(QStringLiteral("R&D"));
    QVERIFY(m_about->Label9->sizeHint().width() >=
            m_about->Label9->fontMetrics().horizontalAdvance(QStringLiteral("R&D")));
    m_about->Label9->setText(website);
}

void SecondaryWindowsTest::aboutLinksKeepHighlightColourUnderTheme()
{
    const QColor highlight = QApplication::palette().color(QPalette::Active, QPalette::Highlight);
    qApp->setStyleSheet(QStringLiteral("QLabel { color: #123456; background: #abcdef; }"));
    openActive(m_about.get());

    for (QLabel* link : {m_about->Label8, m_about->Label9}) {
        const QImage image = link->grab().toImage();
        bool sawHighlight = false;
        bool sawThemeColour = false;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                sawHighlight |= pixel.rgb() == highlight.rgb();
                sawThemeColour |= pixel.rgb() == QColor(0x12, 0x34, 0x56).rgb() ||
                                  pixel.rgb() == QColor(0xab, 0xcd, 0xef).rgb();
            }
        }
        QVERIFY2(sawHighlight, qPrintable(link->objectName()));
        QVERIFY2(!sawThemeColour, qPrintable(link->objectName()));
    }
    // The ordinary labels do follow the theme.
    QCOMPARE(m_about->Label5->palette().color(QPalette::WindowText), QColor(0x12, 0x34, 0x56));
}

void SecondaryWindowsTest::resourcesLoad_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    const QSize icon(24, 24);
    for (const char* name : {"open_folder", "calculator", "text_page", "spreadsheet", "help",
                             "notepad", "info", "cross", "check"})
        QTest::newRow(name) << QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)) << icon;
    QTest::newRow("app_icon") << QStringLiteral(":/app_icon.svg") << QSize(128, 128);
    QTest::newRow("logo") << QStringLiteral(":/logo.svg") << QSize();
    QTest::newRow("help_title") << QStringLiteral(":/help/edl_manager_title.svg") << QSize(221, 35);
    QTest::newRow("help_main") << QStringLiteral(":/help/edl_manager_main.svg") << QSize(539, 625);
    QTest::newRow("help_comments")
        << QStringLiteral(":/help/edl_options_comments.svg") << QSize(326, 400);
    QTest::newRow("help_options") << QStringLiteral(":/help/edl_options_options.svg")
                                  << QSize(324, 397);
}

void SecondaryWindowsTest::resourcesLoad()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);

    QSvgRenderer renderer(path);
    QVERIFY(renderer.isValid());
    if (size.isValid()) QCOMPARE(renderer.defaultSize(), size);
    const QPixmap pixmap = QIcon(path).pixmap(QSize(32, 32));
    QVERIFY(!pixmap.isNull());
    const QImage image = pixmap.toImage();
    bool drawn = false;
    for (int y = 0; y < image.height() && !drawn; ++y) {
        for (int x = 0; x < image.width() && !drawn; ++x) drawn = qAlpha(image.pixel(x, y)) > 0;
    }
    QVERIFY2(drawn, "the picture is empty");
}

QTEST_MAIN(SecondaryWindowsTest)
#include "SecondaryWindowsTest.moc"
