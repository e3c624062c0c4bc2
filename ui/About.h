// The about window "Über Tarvelin": product name, version, rights notice and the maker's contact.
//
// Five caption/value rows in a bevelled panel beside the program's icon, the maker's logo, and an
// OK button. The contact address and the website are links: a click hands a "mailto:" address or
// the website's root address to the desktop (through a replaceable opener, so tests can watch the
// address without starting a browser). Failures to open them are ignored on purpose.
#pragma once

#include <QDialog>
#include <QUrl>

#include <functional>

class QFrame;
class QLabel;
class QPushButton;

class TAboutBox : public QDialog {
    Q_OBJECT

public:
    // Hands an address to the user's mail program or web browser; the result is not examined.
    using UrlOpener = std::function<void(const QUrl&)>;

    explicit TAboutBox(QWidget* parent = nullptr);

    QFrame* Panel1;
    QLabel* CopyrightLabel;
    QPushButton* OKButton;
    QLabel* Label3;
    QLabel* Label5;
    QLabel* Label4;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label8;
    QLabel* Label1;
    QLabel* sImage2;
    QLabel* sImage1;
    QLabel* Label2;
    QLabel* Label9;

    void Label8Click(QObject* Sender);
    void Label9Click(QObject* Sender);

    // Replaces the opener; an empty function restores the desktop's default.
    void setUrlOpener(UrlOpener opener);

    void setVisible(bool visible) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    UrlOpener m_openUrl;
};

extern TAboutBox* AboutBox;
