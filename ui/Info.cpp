#include "ui/Info.h"

#include "ui/DialogSupport.h"
#include "ui/MainWindowPicture.h"
#include "ui/Texts.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QVBoxLayout>

TTForm2* TForm2 = nullptr;

namespace {

constexpr QSize kHelpClientSize(795, 552);
constexpr int kScrollStep = 43;
constexpr int kSettingsContentHeight = 1499;

// A picture at a fixed place inside a scroll box's content.
QLabel* addPicture(QWidget* content, const char* name, const QRect& geometry, const QString& svg)
{
    auto* label = new QLabel(content);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setPixmap(tarvelin::ui::svgPixmap(svg, geometry.size()));
    label->setAccessibleName(tarvelin::ui::texts::kAccessibleHelpPicture.toString());
    return label;
}

// A scroll box filling a tab page that scrolls only vertically; the content follows the thumb
// while it is dragged.
QScrollArea* addScrollBox(QWidget* page, const char* name, QWidget* content)
{
    auto* box = new QScrollArea(page);
    box->setObjectName(QString::fromLatin1(name));
    box->setFrameShape(QFrame::NoFrame);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    box->setWidgetResizable(true);
    box->setWidget(content);
    box->verticalScrollBar()->setTracking(true);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(box);
    return box;
}

}  // namespace

TTForm2::TTForm2(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(tarvelin::ui::texts::kHelpCaption.toString());
    setWindowIcon(tarvelin::ui::programIcon());
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setFixedSize(kHelpClientSize);

    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameShape(QFrame::NoFrame);
    Panel2->setGeometry(0, 518, 795, 34);

    OKBtn = new QPushButton(tarvelin::ui::texts::kOk.toString(), Panel2);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(315, 2, 85, 30);
    tarvelin::ui::setCheckIcon(OKBtn);
    OKBtn->setDefault(true);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(0, 0, 795, 518);

    TabSheet = new QWidget;
    TabSheet->setObjectName(QStringLiteral("TabSheet"));
    auto* settings = new QWidget;
    settings->setMinimumHeight(kSettingsContentHeight);
    Image3 = addPicture(settings, "Image3", QRect(195, 16, 221, 35),
                        QStringLiteral(":/help/edl_manager_title.svg"));
    Image1 = addPicture(settings, "Image1", QRect(40, 63, 539, 625),
                        QStringLiteral(":/help/edl_manager_main.svg"));
    Image2 = addPicture(settings, "Image2", QRect(152, 702, 326, 400),
                        QStringLiteral(":/help/edl_options_comments.svg"));
    Image7 = addPicture(settings, "Image7", QRect(152, 1102, 324, 397),
                        QStringLiteral(":/help/edl_options_options.svg"));
    JvScrollBox1 = addScrollBox(TabSheet, "JvScrollBox1", settings);
    JvScrollBox1->verticalScrollBar()->setSingleStep(kScrollStep);
    PageControl1->addTab(TabSheet, tarvelin::ui::texts::kHelpSettingsTab.toString());

    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    auto* usage = new QWidget;
    usage->setMinimumHeight(700);
    Image4 = new QLabel(usage);
    Image4->setObjectName(QStringLiteral("Image4"));
    Image4->setGeometry(24, 0, 715, 700);
    Image4->setAlignment(Qt::AlignCenter);
    Image4->setAccessibleName(tarvelin::ui::texts::kAccessibleHelpPicture.toString());
    JvScrollBox2 = addScrollBox(TabSheet1, "JvScrollBox2", usage);
    PageControl1->addTab(TabSheet1, tarvelin::ui::texts::kHelpUsageTab.toString());

    connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(OKBtn); });
    tarvelin::ui::keepOnScreen(this);
}

void TTForm2::OKBtnClick(QObject* /*Sender*/)
{
    accept();
}

void TTForm2::setVisible(bool visible)
{
    if (visible && !isVisible()) {
        // The annotated main window is rendered when it is first needed rather than at start-up,
        // where it would delay the first window.
        if (Image4->pixmap().isNull()) Image4->setPixmap(MainWindowPicture());
        tarvelin::ui::centreOverOwner(this);
    }
    QDialog::setVisible(visible);
}

void TTForm2::keyPressEvent(QKeyEvent* event)
{
    // Escape does not close the help window; only OK and the title bar's close button do.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
