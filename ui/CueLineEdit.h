// CueLineEdit: the plain-text area that holds the cue lines (the main window's RichEdit2).
//
// Lines wrap at its width, a vertical scroll bar appears as needed, and only plain text can be
// pasted or dropped in. It holds at most tarvelin::kTextCapacity characters: typing, pasting or
// dropping beyond that is refused with a message instead of being cut off silently. It knows
// nothing about cue lines themselves.
#pragma once

#include <QPlainTextEdit>

class CueLineEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit CueLineEdit(QWidget* parent = nullptr);

    // Number of characters in the area (a line break counts as one).
    qsizetype characterCount() const;

    // True when the text fits the capacity; otherwise shows the capacity message.
    bool acceptsLength(qsizetype totalLength);

    static QString capacityMessage();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
};
