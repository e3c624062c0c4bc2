// The terms window "Garantiebestimmungen": the warranty terms, shown at every start before the
// main window appears and again on request from the menu.
//
// A read-only text (Memo1) in a raised panel and an OK button (BitBtn3) in a strip below. OK is
// the only way to close it: the title bar carries no buttons, Escape and close requests from the
// window system are ignored, and Enter inside the text does not close it. The window is created
// once and only hidden when closed, so the text keeps its selection and position.
#pragma once

#include <QDialog>

class QFrame;
class QPlainTextEdit;
class QPushButton;

class TForm4 : public QDialog {
    Q_OBJECT

public:
    explicit TForm4(QWidget* parent = nullptr);

    QFrame* Panel1;
    QFrame* Panel2;
    QPlainTextEdit* Memo1;
    QPushButton* BitBtn3;

    void BitBtn3Click(QObject* Sender);

    void setVisible(bool visible) override;
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool m_closingByOk = false;
};

extern TForm4* Form4;
