#include "ui/CueLineEdit.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>

#include "conversion/EdlLoader.h"
#include "ui/MessageBox.h"
#include "ui/Texts.h"

CueLineEdit::CueLineEdit(QWidget* parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

qsizetype CueLineEdit::characterCount() const
{
    // The document counts one paragraph separator after the last block as well.
    return document()->characterCount() - 1;
}

QString CueLineEdit::capacityMessage()
{
    return tarvelin::ui::texts::kCapacityExceeded.toString();
}

bool CueLineEdit::acceptsLength(qsizetype totalLength)
{
    if (totalLength <= static_cast<qsizetype>(tarvelin::kTextCapacity)) {
        return true;
    }
    tarvelin::ui::MessageBox::show(window(), capacityMessage(), tarvelin::ui::BoxIcon::Warning);
    return false;
}

void CueLineEdit::keyPressEvent(QKeyEvent* event)
{
    const QString typed = event->text();
    if (!typed.isEmpty() && typed.front().isPrint() &&
        !acceptsLength(characterCount() - textCursor().selectedText().size() + typed.size())) {
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

bool CueLineEdit::canInsertFromMimeData(const QMimeData* source) const
{
    // Files dropped here are for the window to open, not text to insert.
    return source->hasText() && !source->hasUrls();
}

void CueLineEdit::insertFromMimeData(const QMimeData* source)
{
    if (!source->hasText()) {
        return;
    }
    const QString text = source->text();
    if (!acceptsLength(characterCount() - textCursor().selectedText().size() + text.size())) {
        return;
    }
    textCursor().insertText(text);
    ensureCursorVisible();
}
