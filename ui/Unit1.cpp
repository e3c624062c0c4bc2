#include "ui/Unit1.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTableView>
#include <QTextDocument>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <memory>

#include "conversion/CueLineExtraction.h"
#include "conversion/CueRows.h"
#include "conversion/EdlLoader.h"
#include "conversion/EdlNormalizer.h"
#include "conversion/EdlPipeline.h"
#include "conversion/Messages.h"
#include "conversion/Text.h"
#include "export/CueListText.h"
#include "export/CueListXlsx.h"
#include "net/Maker.h"
#include "ui/About.h"
#include "ui/CueLineEdit.h"
#include "ui/CueListModel.h"
#include "ui/Info.h"
#include "ui/InstanceGuard.h"
#include "ui/MessageBox.h"
#include "ui/StatusBar.h"
#include "ui/TarvelinApplication.h"
#include "ui/Texts.h"
#include "ui/Unit4.h"

using tarvelin::ui::BoxIcon;
using tarvelin::ui::MessageBox;
namespace texts = tarvelin::ui::texts;

TForm1* Form1 = nullptr;
std::u16string WorkText;

namespace {

// The single-instance lock, held from FormCreate until the process ends.
std::unique_ptr<InstanceGuard> InstanceMutex;

constexpr int kClientWidth = 733;
constexpr int kClientHeight = 635;

QFont tahoma(int pointSize, bool bold = false)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

QString titleCount(qsizetype count)
{
    return texts::kTitleCount.toString().arg(count);
}

template <typename Widget>
Widget* place(Widget* widget, const char* name, int left, int top, int width, int height)
{
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(left, top, width, height);
    return widget;
}

}  // namespace

TForm1::TForm1(QWidget* parent, InstanceCheck check) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(texts::kMainCaption.toString().arg(QLatin1String(tarvelin::maker::kProductName),
                                                      QLatin1String(tarvelin::maker::kVersion)));
    setWindowIcon(QIcon(QStringLiteral(":/app_icon.svg")));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    ImageList1 = {QIcon(QStringLiteral(":/icons/open_folder.svg")),
                  QIcon(QStringLiteral(":/icons/calculator.svg")),
                  QIcon(QStringLiteral(":/icons/text_page.svg")),
                  QIcon(QStringLiteral(":/icons/spreadsheet.svg")),
                  QIcon(QStringLiteral(":/icons/help.svg")),
                  QIcon(QStringLiteral(":/icons/notepad.svg")),
                  QIcon(QStringLiteral(":/icons/info.svg")),
                  QIcon(QStringLiteral(":/icons/cross.svg")),
                  QIcon(QStringLiteral(":/icons/check.svg"))};

    createControls();
    createMenu();
    connectHandlers();

    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(25);
    // A coarse timer may drift by up to 5 % of its interval; the ticker moves one pixel a tick.
    Timer1.setTimerType(Qt::PreciseTimer);

    OpenDialog1.Filter = texts::kOpenFilter.toString();
    OpenDialog1.Title = texts::kOpenTitle.toString();
    SaveDialog1.Filter = texts::kSaveFilter.toString();
    SaveDialog1.DefaultExt = QStringLiteral("txt");
    SaveDialog1.Title = texts::kSaveTitle.toString();
    setAcceptDrops(true);

    // The window takes the size of its menu bar and client area and keeps it.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    layout()->activate();

    if (check == InstanceCheck::Run) {
        FormCreate(this);
    }
}

TForm1::~TForm1()
{
    if (Form1 == this) {
        Form1 = nullptr;
    }
}

void TForm1::createControls()
{
    ClientArea = new QWidget(this);
    ClientArea->setObjectName(QStringLiteral("ClientArea"));
    ClientArea->setFixedSize(kClientWidth, kClientHeight);
    ClientArea->setFont(tahoma(8));
    ClientArea->setAutoFillBackground(true);
    setCentralWidget(ClientArea);
    QWidget* area = ClientArea;

    auto label = [area](const char* name, const QString& text, int left, int top, int size) {
        auto* control = new QLabel(text, area);
        control->setObjectName(QLatin1String(name));
        control->setFont(tahoma(size));
        control->move(left, top);
        control->adjustSize();
        return control;
    };
    auto button = [this, area](const char* name, const QString& text, int left, int top, int width,
                               ImageIndex icon) {
        auto* control = place(new QPushButton(text, area), name, left, top, width, 30);
        control->setFont(tahoma(10, true));
        control->setIcon(ImageList1[icon]);
        control->setIconSize(QSize(24, 24));
        // Enter presses a focused button, as Space does.
        control->setAutoDefault(true);
        return control;
    };

    Image4 = place(new QLabel(area), "Image4", 7, 0, 35, 35);
    Image4->setAlignment(Qt::AlignCenter);
    Image4->setPixmap(QIcon(QStringLiteral(":/logo.svg")).pixmap(QSize(35, 35)));
    Image4->setCursor(Qt::PointingHandCursor);
    Label10 = label("Label10", titleCount(0), 348, 13, 10);
    Label1 = label("Label1", texts::kInputEdl.toString(), 454, 10, 12);
    Button1 = button("Button1", texts::kOpenEdl.toString(), 591, 4, 117, kImageOpenFolder);

    RichEdit2 = place(new CueLineEdit(area), "RichEdit2", 6, 39, 711, 250);
    RichEdit2->setFont(tahoma(8));

    Label6 = label("Label6", texts::kFilm.toString(), 8, 297, 12);
    ComboBox1 = place(new QComboBox(area), "ComboBox1", 47, 297, 44, 21);
    ComboBox1->setEditable(true);
    ComboBox1->addItems({QStringLiteral("24"), QStringLiteral("25"), QStringLiteral("30")});
    ComboBox1->setCurrentIndex(1);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    Label4 = label("Label4", texts::kFps.toString(), 98, 298, 12);
    Label5 = label("Label5", texts::kWithoutFrames.toString(), 135, 298, 12);
    CheckBox1 = place(new QCheckBox(texts::kMinutesSeconds.toString(), area), "CheckBox1", 238, 298,
                      105, 20);
    CheckBox1->setFont(tahoma(10));
    CheckBox1->setChecked(true);
    Label11 = label("Label11", titleCount(0), 348, 299, 10);
    Label3 = label("Label3", texts::kComputeCode.toString(), 455, 296, 12);
    Button5 = button("Button5", texts::kCompute.toString(), 591, 293, 117, kImageCalculator);
    Button5->setEnabled(false);

    ListView1Model = new CueListModel(this);
    ListView1 = place(new QTableView(area), "ListView1", 6, 326, 711, 250);
    ListView1->setModel(ListView1Model);
    ListView1->setShowGrid(true);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the list for the next control; the arrow keys move inside it.
    ListView1->setTabKeyNavigation(false);
    ListView1->setWordWrap(false);
    ListView1->setTextElideMode(Qt::ElideRight);
    ListView1->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    ListView1->verticalHeader()->hide();
    ListView1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ListView1->verticalHeader()->setDefaultSectionSize(17);
    ListView1->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    ListView1->horizontalHeader()->setHighlightSections(false);
    const int widths[] = {75, 75, 75, 450};
    for (int column = 0; column < CueListModel::kColumnCount; ++column) {
        ListView1->setColumnWidth(column, widths[column]);
    }

    Label2 = label("Label2", texts::kOutputGema.toString(), 199, 585, 12);
    Button3 = button("Button3", texts::kSaveAsText.toString(), 355, 580, 155, kImageTextPage);
    Button3->setEnabled(false);
    Button4 = button("Button4", texts::kExportExcel.toString(), 514, 580, 194, kImageSpreadsheet);
    Button4->setEnabled(false);

    StatusBar1 = place(new TStatusBar(area), "StatusBar1", 0, 615, kClientWidth, 20);
    StatusBar1->setPanelText(
        3, texts::kStatusVersion.toString().arg(QLatin1String(tarvelin::maker::kVersion)));

    for (QWidget* passive : {static_cast<QWidget*>(StatusBar1), static_cast<QWidget*>(Image4)}) {
        passive->setFocusPolicy(Qt::NoFocus);
    }
    setTabOrder(Button1, RichEdit2);
    setTabOrder(RichEdit2, Button5);
    setTabOrder(Button5, ComboBox1);
    setTabOrder(ComboBox1, CheckBox1);
    setTabOrder(CheckBox1, ListView1);
    setTabOrder(ListView1, Button3);
    setTabOrder(Button3, Button4);
    RichEdit2->setTabChangesFocus(true);
    Button1->setFocus();
    setAccessibleNames();
}

// Screen readers take a control's caption as its name; the controls without one get a name here.
void TForm1::setAccessibleNames()
{
    Image4->setAccessibleName(texts::kAccessibleLogo.toString());
    RichEdit2->setAccessibleName(texts::kAccessibleCueLines.toString());
    ComboBox1->setAccessibleName(texts::kAccessibleFrameRate.toString());
    // Its caption shows the format, not what it is for.
    CheckBox1->setAccessibleName(texts::kAccessibleDisplayMode.toString());
    ListView1->setAccessibleName(texts::kAccessibleCueList.toString());
    StatusBar1->setAccessibleName(texts::kAccessibleStatusBar.toString());
}

void TForm1::createMenu()
{
    MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    M1 = MainMenu1->addMenu(texts::kMenu.toString());
    M1->setObjectName(QStringLiteral("M1"));
    auto item = [this](const char* name, const QString& caption, ImageIndex icon) {
        QAction* action = M1->addAction(ImageList1[icon], caption);
        action->setObjectName(QLatin1String(name));
        action->setIconVisibleInMenu(true);
        return action;
    };
    K1 = item("K1", texts::kMenuHelp.toString(), kImageHelp);
    Garantie1 = item("Garantie1", texts::kMenuTerms.toString(), kImageNotepad);
    About1 = item("About1", texts::kMenuAbout.toString(), kImageInfo);
    N1 = M1->addSeparator();
    N1->setObjectName(QStringLiteral("N1"));
    B1 = item("B1", texts::kMenuQuit.toString(), kImageCross);
}

void TForm1::connectHandlers()
{
    auto bind = [this](auto* sender, auto signal, void (TForm1::*handler)(QObject*)) {
        connect(sender, signal, this,
                Guarded([this, sender, handler](auto&&...) { (this->*handler)(sender); }));
    };
    bind(Button1, &QPushButton::clicked, &TForm1::Button1Click);
    bind(Button3, &QPushButton::clicked, &TForm1::Button3Click);
    bind(Button4, &QPushButton::clicked, &TForm1::Button4Click);
    bind(Button5, &QPushButton::clicked, &TForm1::Button5Click);
    bind(RichEdit2, &QPlainTextEdit::textChanged, &TForm1::RichEdit2Change);
    bind(ListView1Model, &QAbstractItemModel::dataChanged, &TForm1::ListView1Change);
    bind(ListView1->selectionModel(), &QItemSelectionModel::selectionChanged,
         &TForm1::ListView1Change);
    bind(K1, &QAction::triggered, &TForm1::K1Click);
    bind(Garantie1, &QAction::triggered, &TForm1::Garantie1Click);
    bind(About1, &QAction::triggered, &TForm1::About1Click);
    bind(B1, &QAction::triggered, &TForm1::B1Click);
    bind(&Timer1, &QTimer::timeout, &TForm1::Timer1Timer);
    CheckBox1->installEventFilter(this);
    Image4->installEventFilter(this);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    const bool press =
        event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
    if (watched == CheckBox1 && press) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->position().toPoint();
        CheckBox1MouseDown(CheckBox1, mouse->button(), mouse->modifiers(), at.x(), at.y());
    } else if (watched == Image4 && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            Image4->rect().contains(mouse->position().toPoint())) {
            Image4Click(Image4);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_shown || event->spontaneous()) {
        return;
    }
    m_shown = true;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect desktop = screen->availableGeometry();
        const QSize outer = frameGeometry().size();
        move(desktop.center() - QPoint(outer.width() / 2, outer.height() / 2));
    }
    // The terms window comes first; a failure in it must not keep the main window away.
    try {
        FormShow(this);
    } catch (...) {
        TarvelinApplication::ReportFailure(std::current_exception());
    }
}

void TForm1::closeEvent(QCloseEvent* event)
{
    FormClose(this);
    event->accept();
}

void TForm1::FormCreate(QObject*)
{
    InstanceMutex = InstanceGuard::acquire(InstanceGuard::executableName());
    if (!InstanceMutex->owned()) {
        MessageBox::show(nullptr, texts::kAlreadyRunning.toString());
        TarvelinApplication::requestEnd();
        InstanceMutex.reset();
    }
}

void TForm1::FormShow(QObject*)
{
    if (Form4 != nullptr) {
        Form4->exec();
    }
}

void TForm1::FormClose(QObject*)
{
    TarvelinApplication::requestEnd();
}

void TForm1::B1Click(QObject*)
{
    TarvelinApplication::requestEnd();
}

void TForm1::K1Click(QObject*)
{
    if (TForm2 != nullptr) {
        TForm2->exec();
    }
}

void TForm1::Garantie1Click(QObject*)
{
    if (Form4 != nullptr) {
        Form4->exec();
    }
}

void TForm1::About1Click(QObject*)
{
    if (AboutBox != nullptr) {
        AboutBox->exec();
    }
}

void TForm1::Image4Click(QObject*)
{
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(tarvelin::maker::kWebsite)));
}

void TForm1::RichEdit2Change(QObject*)
{
    Button5->setEnabled(true);
}

void TForm1::ListView1Change(QObject*)
{
    Button3->setEnabled(true);
    Button4->setEnabled(true);
}

void TForm1::Button1Click(QObject*)
{
    // A cancelled dialog still rebuilds the cue-line area from the buffer.
    if (OpenDialog1.Execute(this)) {
        loadEdlFile(OpenDialog1.FileName);
    }
    FillCueLines();
}

void TForm1::OpenEdl(const QString& fileName)
{
    loadEdlFile(fileName);
    FillCueLines();
}

void TForm1::OpenEdlLater(const QString& fileName)
{
    QTimer::singleShot(0, this, Guarded([this, fileName] { OpenEdl(fileName); }));
}

void TForm1::loadEdlFile(const QString& fileName)
{
    RichEdit1 = tarvelin::LoadEdlText(QFile::encodeName(fileName).toStdString());
    m_edlFileName = fileName;
}

QString DroppedEdlFile(const QMimeData* data)
{
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) {
        return {};
    }
    const QUrl url = data->urls().constFirst();
    if (!url.isLocalFile()) {
        return {};
    }
    const QString path = url.toLocalFile();
    const QFileInfo file(path);
    if (file.suffix().compare(QLatin1String("edl"), Qt::CaseInsensitive) != 0 || file.isDir()) {
        return {};
    }
    return path;
}

namespace {

void acceptEdlOnly(QDragMoveEvent* event)
{
    if (!DroppedEdlFile(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

}  // namespace

void TForm1::dragEnterEvent(QDragEnterEvent* event)
{
    acceptEdlOnly(event);
}

void TForm1::dragMoveEvent(QDragMoveEvent* event)
{
    acceptEdlOnly(event);
}

void TForm1::dropEvent(QDropEvent* event)
{
    const QString path = DroppedEdlFile(event->mimeData());
    if (path.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // Loaded after the drop has ended, so a message box does not hold up the file manager.
    OpenEdlLater(path);
}

void TForm1::stern(QObject*)
{
    // The buffer keeps its form (every line followed by CR LF), so it is normalised as it stands.
    tarvelin::NormalizeEdlText(RichEdit1);
    WorkText = RichEdit1;
}

void TForm1::FillCueLines()
{
    stern(this);
    RichEdit2->clear();
    const tarvelin::CueLineResult extracted = tarvelin::ExtractCueLinesFrom(RichEdit1);
    setCueLineText(QString::fromStdU16String(tarvelin::JoinLines(extracted.cueLines, u"\n")));
    if (extracted.extractionFailed) {
        MessageBox::show(
            this,
            QString::fromUtf16(tarvelin::kExtractionFailedMessage.data(),
                               static_cast<qsizetype>(tarvelin::kExtractionFailedMessage.size())));
    }
    const QTextDocument* document = RichEdit2->document();
    Label10->setText(titleCount(document->isEmpty() ? 0 : document->blockCount()));
    Label10->adjustSize();
}

void TForm1::setCueLineText(const QString& text)
{
    if (RichEdit2->acceptsLength(text.size())) {
        RichEdit2->setPlainText(text);
        return;
    }
    // Keep the whole lines that fit; the user has been told the rest is missing.
    const qsizetype cut =
        text.lastIndexOf(QLatin1Char('\n'), static_cast<qsizetype>(tarvelin::kTextCapacity));
    RichEdit2->setPlainText(cut > 0 ? text.left(cut) : QString());
}

void TForm1::CheckBox1MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int)
{
    if (CheckBox1->isChecked()) {
        Label5->setText(texts::kWithFrames.toString());
        CheckBox1->setText(texts::kFullTimecode.toString());
    } else {
        Label5->setText(texts::kWithoutFrames.toString());
        CheckBox1->setText(texts::kMinutesSeconds.toString());
    }
    Label5->adjustSize();
}

void TForm1::Button5Click(QObject*)
{
    ListView1Model->clear();
    // The area's lines, each break as CR LF, characters exactly as they stand.
    QString cueText = RichEdit2->document()->toRawText();
    cueText.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    const QString rateText = ComboBox1->currentText();
    const bool minutesAndSeconds = CheckBox1->isChecked();
    const QString decimalPoint = QLocale::system().decimalPoint();
    const char16_t separator = decimalPoint.isEmpty() ? u'.' : decimalPoint.front().unicode();
    m_reportRateText = rateText.toStdU16String();
    m_reportSeparator = separator;
    m_completedRows = 0;
    try {
        tarvelin::ComputeCueRows(cueText.toStdU16String(), m_reportRateText, minutesAndSeconds,
                                 separator, *ListView1Model);
    } catch (...) {
        // The failing row is the last one; the report keeps to the rows before it.
        m_completedRows = ListView1Model->rows().empty() ? 0 : ListView1Model->rows().size() - 1;
        throw;
    }
    m_completedRows = ListView1Model->rows().size();
    Label11->setText(titleCount(ListView1Model->rowCount()));
    Label11->adjustSize();
    ListView1->viewport()->update();
}

QString TForm1::suggestedOutputName(const QString& extension) const
{
    if (m_edlFileName.isEmpty()) {
        return texts::kDefaultListName.toString() + QLatin1Char('.') + extension;
    }
    const QFileInfo edl(m_edlFileName);
    return edl.absoluteDir().filePath(edl.completeBaseName() + QLatin1Char('.') + extension);
}

std::filesystem::path TForm1::localPath(const QString& fileName)
{
    return std::filesystem::path(QFile::encodeName(fileName).toStdString());
}

tarvelin::MusicReportOutcome TForm1::musicReport() const
{
    const std::vector<tarvelin::CueRow>& rows = ListView1Model->rows();
    const std::vector<tarvelin::CueRow> completed(
        rows.begin(),
        rows.begin() + static_cast<std::ptrdiff_t>(std::min(m_completedRows, rows.size())));
    return tarvelin::TryBuildMusicReport(completed, m_reportRateText, m_reportSeparator);
}

void TForm1::warnWithoutReport(const tarvelin::MusicReportOutcome& report)
{
    if (!report.report) {
        MessageBox::show(
            this,
            texts::kSavedWithoutReport.toString().arg(QString::fromStdU16String(report.reason)),
            BoxIcon::Warning);
    }
}

// A failed write throws with the German reason and leaves an existing file as it was. Without a
// music report (a rate not above zero) the list is still written, the file says why, and so
// does a warning.
void TForm1::Button3Click(QObject*)
{
    SaveDialog1.FileName = suggestedOutputName(QStringLiteral("txt"));
    if (SaveDialog1.Execute(this)) {
        const tarvelin::MusicReportOutcome report = musicReport();
        tarvelin::WriteCueListText(localPath(SaveDialog1.FileName), ListView1Model->rows(), report);
        warnWithoutReport(report);
    }
}

void TForm1::Button4Click(QObject*)
{
    tarvelin::ui::FileDialog dialog(tarvelin::ui::FileDialog::Mode::Save);
    dialog.Filter = texts::kExportFilter.toString();
    dialog.DefaultExt = QStringLiteral("xlsx");
    dialog.Title = texts::kExportExcel.toString();
    dialog.FileName = suggestedOutputName(QStringLiteral("xlsx"));
    if (!dialog.Execute(this)) {
        return;
    }
    const tarvelin::MusicReportOutcome report = musicReport();
    tarvelin::WriteCueListXlsx(localPath(dialog.FileName), ListView1Model->rows(), report);
    warnWithoutReport(report);
    QDesktopServices::openUrl(QUrl::fromLocalFile(dialog.FileName));
}
