#include "ui/About.h"

#include "net/Maker.h"
#include "ui/DialogSupport.h"
#include "ui/Texts.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include <utility>

namespace texts = tarvelin::ui::texts;

TAboutBox* AboutBox = nullptr;

namespace {

constexpr QSize kAboutClientSize(442, 295);
constexpr int kCaptionRight = 219;
constexpr int kValueLeft = 242;

// A label that runs a function when it is clicked with the left mouse button.
class ClickLabel : public QLabel {
public:
    ClickLabel(QWidget* parent, std::function<void()> onClick)
        : QLabel(parent), m_onClick(std::move(onClick))
    {
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            m_onClick();
        QLabel::mouseReleaseEvent(event);
    }

private:
    std::function<void()> m_onClick;
};

QFont rowFont()
{
    return QFont(QStringLiteral("Tahoma"), 10, QFont::Bold);
}

QLabel* setUpLabel(QLabel* label, const char* name, const QString& text, const QFont& font)
{
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->setText(text);
    label->adjustSize();
    return label;
}

// A caption whose right edge stands at the common caption edge, so the colons line up whatever
// the font's widths.
QLabel* addCaption(QWidget* panel, const char* name, const QString& text, int top)
{
    QLabel* label = setUpLabel(new QLabel(panel), name, text, rowFont());
    label->move(kCaptionRight - label->width(), top);
    return label;
}

QLabel* addValue(QWidget* panel, const char* name, const QString& text, int top,
                 const QFont& font = rowFont())
{
    QLabel* label = setUpLabel(new QLabel(panel), name, text, font);
    label->move(kValueLeft, top);
    return label;
}

// Links keep the desktop's highlight colour and a plain background whatever style sheet the
// program's theme applies.
void makeLink(QLabel* label)
{
    const QColor colour = QApplication::palette().color(QPalette::Active, QPalette::Highlight);
    label->setStyleSheet(
        QStringLiteral("QLabel { color: %1; background: transparent; }").arg(colour.name()));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

// The program's icon fitted into the upper part of `box`, with a fading mirror image of it below.
QPixmap iconWithReflection(QSize box)
{
    const int iconSide = box.height() * 2 / 3;
    const QPixmap icon =
        tarvelin::ui::svgPixmap(QStringLiteral(":/app_icon.svg"), QSize(iconSide, iconSide));
    const qreal ratio = icon.devicePixelRatio();
    QPixmap result(box * ratio);
    result.setDevicePixelRatio(ratio);
    result.fill(Qt::transparent);
    if (icon.isNull()) return result;

    const int left = (box.width() - iconSide) / 2;
    const int mirrorHeight = box.height() - iconSide;
    QImage mirror = icon.toImage().mirrored(false, true);
    {
        QPainter fade(&mirror);
        fade.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        QLinearGradient gradient(0, 0, 0, mirrorHeight);
        gradient.setColorAt(0, QColor(0, 0, 0, 110));
        gradient.setColorAt(1, QColor(0, 0, 0, 0));
        fade.fillRect(QRectF(0, 0, iconSide, iconSide), gradient);
    }
    QPainter painter(&result);
    painter.drawPixmap(left, 0, icon);
    painter.drawImage(QRectF(left, iconSide, iconSide, mirrorHeight), mirror,
                      QRectF(0, 0, mirror.width(), mirrorHeight * ratio));
    return result;
}

}  // namespace

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(texts::kAboutCaption.toString());
    setWindowIcon(tarvelin::ui::programIcon());
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    setFixedSize(kAboutClientSize);
    setUrlOpener({});

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Panel1->setLineWidth(1);
    Panel1->setGeometry(8, 3, 441, 249);

    CopyrightLabel = addCaption(Panel1, "CopyrightLabel", texts::kAboutRights.toString(), 73);

    OKButton = new QPushButton(texts::kOk.toString(), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(169, 258, 85, 30);
    tarvelin::ui::setCheckIcon(OKButton);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    Label3 = addCaption(Panel1, "Label3", texts::kAboutProduct.toString(), 24);
    Label5 = addValue(Panel1, "Label5", QString::fromLatin1(tarvelin::maker::kProductName), 24);
    Label4 = addCaption(Panel1, "Label4", texts::kAboutVersion.toString(), 48);
    Label6 = addValue(Panel1, "Label6", QString::fromLatin1(tarvelin::maker::kFullVersion), 46);
    Label7 = addCaption(Panel1, "Label7", texts::kAboutContact.toString(), 99);
    Label8 = setUpLabel(new ClickLabel(Panel1, [this] { Label8Click(Label8); }), "Label8",
                        QString::fromLatin1(tarvelin::maker::kContact), rowFont());
    Label8->move(kValueLeft, 99);
    makeLink(Label8);
    Label1 = addValue(Panel1, "Label1", texts::kAboutRightsNotice.toString(), 73,
                      QFont(QStringLiteral("MS Sans Serif"), 10, QFont::Bold));

    sImage2 = new QLabel(Panel1);
    sImage2->setObjectName(QStringLiteral("sImage2"));
    sImage2->setGeometry(17, 18, 105, 105);
    sImage2->setAlignment(Qt::AlignCenter);
    sImage2->setPixmap(iconWithReflection(sImage2->size()));
    sImage2->setAccessibleName(texts::kAccessibleIcon.toString());

    sImage1 = new ClickLabel(Panel1, [this] { Label9Click(sImage1); });
    sImage1->setObjectName(QStringLiteral("sImage1"));
    sImage1->setGeometry(273, 146, 76, 70);
    sImage1->setAlignment(Qt::AlignCenter);
    sImage1->setPixmap(
        tarvelin::ui::svgPixmapFitted(QStringLiteral(":/logo.svg"), sImage1->size()));
    sImage1->setAccessibleName(texts::kAccessibleLogo.toString());

    Label2 = addCaption(Panel1, "Label2", texts::kAboutWebsite.toString(), 124);

    Label9 = setUpLabel(new ClickLabel(Panel1, [this] { Label9Click(Label9); }), "Label9",
                        QString::fromLatin1(tarvelin::maker::kHost), rowFont());
    Label9->move(kValueLeft, 124);
    makeLink(Label9);
    tarvelin::ui::keepOnScreen(this);
}

void TAboutBox::Label8Click(QObject* /*Sender*/)
{
    m_openUrl(QUrl(QStringLiteral("mailto:") + QString::fromLatin1(tarvelin::maker::kContact)));
}

void TAboutBox::Label9Click(QObject* /*Sender*/)
{
    m_openUrl(QUrl(QString::fromLatin1(tarvelin::maker::kWebsite)));
}

void TAboutBox::setUrlOpener(UrlOpener opener)
{
    if (opener)
        m_openUrl = std::move(opener);
    else
        m_openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
}

void TAboutBox::setVisible(bool visible)
{
    if (visible && !isVisible()) tarvelin::ui::centreOverOwner(this);
    QDialog::setVisible(visible);
}

void TAboutBox::keyPressEvent(QKeyEvent* event)
{
    // Escape does not close the about window; OK, Enter and the title bar's close button do.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
