#include "ui/Unit4.h"

#include "ui/DialogSupport.h"
#include "ui/Texts.h"

#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>

TForm4* Form4 = nullptr;

namespace {

constexpr QSize kTermsClientSize(693, 465);

// The warranty terms, line by line.
QString termsText()
{
    QStringList lines;
    for (const QStringView line : tarvelin::ui::texts::kTermsLines) lines.append(line.toString());
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
    setWindowTitle(tarvelin::ui::texts::kTermsCaption.toString());
    setWindowIcon(tarvelin::ui::programIcon());
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setFixedSize(kTermsClientSize);

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
    Memo1->setAccessibleName(tarvelin::ui::texts::kAccessibleTerms.toString());

    BitBtn3 = new QPushButton(tarvelin::ui::texts::kOk.toString(), Panel2);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    BitBtn3->setGeometry(291, 8, 75, 30);
    tarvelin::ui::setCheckIcon(BitBtn3);
    BitBtn3->setDefault(true);

    setTabOrder(Memo1, BitBtn3);
    connect(BitBtn3, &QPushButton::clicked, this, [this] { BitBtn3Click(BitBtn3); });
    tarvelin::ui::keepOnScreen(this);
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
