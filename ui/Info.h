// The help window "Hilfe": how the EDL must be exported, and how the main window is used.
//
// Two tabs of pictures in vertically scrolling boxes: "EDL Settings" shows the export settings of
// the editing system, "Tarvelin" shows the main window with numbered steps. The window is created
// once, shown modally by the main window and only hidden when closed, so it opens again on the tab
// and at the scroll positions the user left. It has no logic of its own beyond closing.
//
// Controls: Panel2 (bottom strip) with OKBtn; PageControl1 with TabSheet ("EDL Settings",
// JvScrollBox1 holding Image3, Image1, Image2, Image7) and TabSheet1 ("Tarvelin", JvScrollBox2
// holding Image4).
#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;
class QScrollArea;
class QTabWidget;
class QWidget;

class TTForm2 : public QDialog {
    Q_OBJECT

public:
    explicit TTForm2(QWidget* parent = nullptr);

    QFrame* Panel2;
    QPushButton* OKBtn;
    QTabWidget* PageControl1;
    QWidget* TabSheet;
    QScrollArea* JvScrollBox1;
    QLabel* Image1;
    QLabel* Image2;
    QLabel* Image3;
    QWidget* TabSheet1;
    QScrollArea* JvScrollBox2;
    QLabel* Image4;
    QLabel* Image7;

    void OKBtnClick(QObject* Sender);

    void setVisible(bool visible) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

extern TTForm2* TForm2;
