// TForm1: the main window "Tarvelin v.3.4", the program's one working window.
//
// It binds the conversion core to the controls: "Öffnen EDL" loads and normalises an EDL and
// writes one cue line per music event, "Rechnen TC" turns the cue lines into the cue list,
// and the list is saved as text or exported to a spreadsheet, each with the music report of the
// rows that computation completed, at the rate it read. The handlers only read the
// controls, call the core and write the controls; every rule about EDLs and timecodes lives in
// conversion/. The menu opens the help, terms and about windows. Creating the window runs the
// single-instance guard (FormCreate) unless the window is only an offscreen picture.
//
// Controls and their roles:
//   Image4     the maker's logo; a click opens the maker's website
//   Label10    first title count: number of cue lines after "Öffnen EDL"
//   Label1     "Eingang EDL Datei"
//   Button1    "Öffnen EDL"
//   RichEdit1  the raw-text buffer: the loaded EDL's lines, each followed by CR LF (never
//              visible, not a widget)
//   RichEdit2  the cue-line area, editable by the user
//   Label6     "Film:"
//   ComboBox1  the frame-rate box
//   Label4     "fps"
//   Label5     "Ohne frames" / "Mit frames", follows the display mode
//   CheckBox1  the display mode: checked gives minutes and seconds, unchecked full timecode
//   Label11    second title count: number of cue rows after "Rechnen TC"
//   Label3     "Rechnen TC Code"
//   Button5    "Rechnen TC"
//   ListView1  the cue list (In, Out, Länge, Music Titles) over ListView1Model
//   Label2     "Ausgang GEMA VB"
//   Button3    "Speichern als Text"
//   Button4    "Nach Excel exportieren"
//   StatusBar1 date, time, ticker and version panels
//   MainMenu1  the menu bar: M1 "Menü" with K1, Garantie1, About1, N1 (separator), B1
//   ImageList1 the icons of buttons and menu items
//   Timer1     the 25 ms status bar timer, off at start
//   IdHTTP1    the HTTP client that fetches the ticker text
#pragma once

#include <QIcon>
#include <QMainWindow>
#include <QString>
#include <QTimer>
#include <filesystem>
#include <string>
#include <vector>

#include "export/MusicReportText.h"
#include "net/TickerDownload.h"
#include "ui/FileDialog.h"

class CueListModel;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class TStatusBar;

// Indexes of the icons in TForm1::ImageList1.
enum ImageIndex {
    kImageOpenFolder,
    kImageCalculator,
    kImageTextPage,
    kImageSpreadsheet,
    kImageHelp,
    kImageNotepad,
    kImageInfo,
    kImageCross,
    kImageCheck,
    kImageCount
};

class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    // Run: the program's main window, guarded against a second copy. Skip: a window that is
    // only rendered (the help window's picture, tests); it takes no lock.
    enum class InstanceCheck { Run, Skip };

    explicit TForm1(QWidget* parent = nullptr, InstanceCheck check = InstanceCheck::Run);
    ~TForm1() override;

    QPushButton* Button1;
    QPushButton* Button3;
    tarvelin::ui::FileDialog OpenDialog1{tarvelin::ui::FileDialog::Mode::Open};
    tarvelin::ui::FileDialog SaveDialog1{tarvelin::ui::FileDialog::Mode::Save};
    QPushButton* Button5;
    std::u16string RichEdit1;
    QPlainTextEdit* RichEdit2;
    QTableView* ListView1;
    CueListModel* ListView1Model;
    QLabel* Label4;
    QComboBox* ComboBox1;
    QPushButton* Button4;
    QMenuBar* MainMenu1;
    QMenu* M1;
    QAction* K1;
    QAction* About1;
    std::vector<QIcon> ImageList1;
    TStatusBar* StatusBar1;
    QTimer Timer1;
    QLabel* Label2;
    QLabel* Label6;
    QAction* N1;
    QAction* B1;
    QAction* Garantie1;
    QLabel* Image4;
    QLabel* Label10;
    QLabel* Label1;
    QLabel* Label3;
    QLabel* Label11;
    QCheckBox* CheckBox1;
    QLabel* Label5;
    tarvelin::net::TickerHttpClient IdHTTP1;

    // The central widget holding the controls; its size is the client area, 733 x 635.
    QWidget* ClientArea;

    void Button1Click(QObject* Sender);
    void Button3Click(QObject* Sender);
    void Button5Click(QObject* Sender);
    void RichEdit2Change(QObject* Sender);
    void CheckBox1MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift,
                            int X, int Y);
    void Button4Click(QObject* Sender);
    void ListView1Change(QObject* Sender);
    void About1Click(QObject* Sender);
    void K1Click(QObject* Sender);
    void Timer1Timer(QObject* Sender);
    void FormShow(QObject* Sender);
    void FormClose(QObject* Sender);
    void FormCreate(QObject* Sender);
    void B1Click(QObject* Sender);
    void Garantie1Click(QObject* Sender);
    void FormActivate(QObject* Sender);
    void Image4Click(QObject* Sender);

    // Normalises the raw-text buffer in place.
    void stern(QObject* Sender);

    // Normalises the buffer and rebuilds the cue-line area and Label10 from it (the part of
    // "Öffnen EDL" after the file is loaded).
    void FillCueLines();

    // The path of the last EDL loaded, empty before the first.
    QString edlFileName() const { return m_edlFileName; }

    // The music report of the rows the last "Rechnen TC" completed (those before a failing row),
    // at the rate text and decimal separator that press read.
    tarvelin::MusicReportOutcome musicReport() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Runs FormActivate on the window's first activation once no modal window is open.
    void changeEvent(QEvent* event) override;

private:
    void createControls();
    void createMenu();
    void connectHandlers();
    void setCueLineText(const QString& text);
    QString suggestedOutputName(const QString& extension) const;
    static std::filesystem::path localPath(const QString& fileName);

    // The outcome of the connectivity probe: the ticker text, then the clock.
    void InetCheckResult(QObject* Sender, bool aResult);

    // Tells the user that the file was written without a music report, and why.
    void warnWithoutReport(const tarvelin::MusicReportOutcome& report);

    QString m_edlFileName;
    // What the last "Rechnen TC" read and how many rows it completed.
    std::u16string m_reportRateText;
    char16_t m_reportSeparator = u',';
    std::size_t m_completedRows = 0;
    bool m_shown = false;
    bool m_activated = false;
};

extern TForm1* Form1;
// Scratch text of the normalisation; holds the normalised text until the next one.
extern std::u16string WorkText;
// The news line of the status bar ticker; empty until the probe's outcome arrives.
extern QString TickerText;
// Where the next tick draws the ticker text's left edge, in ticker-image pixels.
extern int TickerPos;
// The status bar panel that shows the ticker.
extern int TickerPanel;
// The ticker's text when the maker's server does not answer: 70 blanks and a hint.
QString TickerNotice();
