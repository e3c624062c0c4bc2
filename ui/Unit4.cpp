#include "ui/Unit4.h"

#include "ui/DialogSupport.h"

#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>

TForm4* Form4 = nullptr;

namespace {

constexpr QSize kClientSize(693, 465);

// The warranty terms, line by line. The heading is indented with blanks so that it stands near
// the middle of the text area.
QString termsText()
{
    const QStringList lines = {
        QStringLiteral("    "),
        QString(47, QLatin1Char(' ')) + QStringLiteral("Garantiebestimmungen"),
        QString(),
        QStringLiteral(" "),
        QStringLiteral(" "),
        QString(),
        QString(),
        QStringLiteral("DIE SOFTWARE WIRD GELIEFERT, WIE SIE IST, OHNE JEDE"),
        QStringLiteral("GEWÄHRLEISTUNG. FÜR DIE LEISTUNG DER SOFTWARE UND FÜR"),
        QStringLiteral("DIE ERGEBNISSE, DIE DURCH IHRE NUTZUNG ODER DURCH DIE"),
        QStringLiteral("NUTZUNG DES BEGLEITMATERIALS ERZIELT WERDEN, WIRD"),
        QStringLiteral("KEINE GARANTIE ÜBERNOMMEN. ES WIRD WEDER AUSDRÜCKLICH"),
        QStringLiteral("NOCH STILLSCHWEIGEND EINE GEWÄHRLEISTUNG ODER GARANTIE"),
        QStringLiteral("DAFÜR ÜBERNOMMEN, DASS DIE SOFTWARE KEINE SCHUTZRECHTE"),
        QStringLiteral("DRITTER VERLETZT, NOCH DAFÜR, DASS SIE MARKTGÄNGIG"),
        QStringLiteral("ODER FÜR EINEN BESTIMMTEN ZWECK GEEIGNET IST. DER"),
        QStringLiteral("LIEFERANT HAFTET IN KEINEM FALL FÜR DIREKTE ODER"),
        QStringLiteral("INDIREKTE SCHÄDEN, FOLGE- ODER BESONDERE SCHÄDEN, AUCH"),
        QStringLiteral("FÜR ENTGANGENEN GEWINN ODER ENTGANGENE EINSPARUNGEN."),
        QString(),
    };
    return lines.join(QLatin1Char('\n'));
}

QFrame* raisedPanel(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(1);
    panel->setGeometry(geometry);
    return panel;
}

bool isEnterKey(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

TForm4::TForm4(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Garantiebestimmungen"));
    setWindowIcon(tarvelin::ui::programIcon());
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setFixedSize(kClientSize);

    Panel1 = raisedPanel(this, "Panel1", QRect(0, 0, 693, 420));
    Panel2 = raisedPanel(this, "Panel2", QRect(0, 420, 693, 45));

    Memo1 = new QPlainTextEdit(Panel1);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(1, 1, 691, 418);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setFont(QFont(QStringLiteral("Times New Roman"), 14));
    // A narrow margin, so that all twenty lines fit the area without a scroll bar.
    Memo1->document()->setDocumentMargin(1);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setReadOnly(true);
    Memo1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Memo1->setTabChangesFocus(true);
    Memo1->setPlainText(termsText());
    Memo1->installEventFilter(this);

    BitBtn3 = new QPushButton(QStringLiteral("OK"), Panel2);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    BitBtn3->setGeometry(291, 8, 75, 30);
    BitBtn3->setIcon(tarvelin::ui::checkIcon());
    BitBtn3->setIconSize(QSize(20, 20));
    BitBtn3->setDefault(true);

    setTabOrder(Memo1, BitBtn3);
    connect(BitBtn3, &QPushButton::clicked, this, [this] { BitBtn3Click(BitBtn3); });
}

void TForm4::BitBtn3Click(QObject* /*Sender*/)
{
    m_closingByOk = true;
    accept();
    m_closingByOk = false;
}

void TForm4::setVisible(bool visible)
{
    if (visible && !isVisible()) tarvelin::ui::centreOnDesktop(this);
    QDialog::setVisible(visible);
    if (visible) Memo1->setFocus(Qt::OtherFocusReason);
}

void TForm4::reject()
{
    // The terms can only be confirmed, never declined: nothing but OK closes the window.
}

void TForm4::closeEvent(QCloseEvent* event)
{
    if (m_closingByOk)
        event->accept();
    else
        event->ignore();
}

void TForm4::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TForm4::eventFilter(QObject* watched, QEvent* event)
{
    // Enter in the text area must not reach the dialog, which would press the default button.
    if (watched == Memo1 && isEnterKey(event)) {
        event->accept();
        return event->type() == QEvent::KeyPress;
    }
    return QDialog::eventFilter(watched, event);
}
