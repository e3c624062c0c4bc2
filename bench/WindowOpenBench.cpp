// The main window on a capacity-size list, offscreen: "Öffnen EDL" (load, normalise, extract,
// fill the cue-line area) and "Rechnen TC" on the cue lines it wrote, each until the window has
// painted again. The lists are raw typical lists from the EDL generator filled to the
// 16,777,215-character capacity. Goals: opening at most 0.5 s; the rows of a capacity-size
// cue-line text (bench_cue_rows) at most 0.3 s.
#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <fstream>

#include "tests/support/EdlGenerator.h"
#include "ui/CueListModel.h"
#include "ui/FileDialog.h"
#include "ui/Startup.h"
#include "ui/TarvelinApplication.h"
#include "ui/Unit1.h"

namespace {

using tarvelin::testsupport::EdlForm;
using tarvelin::testsupport::EdlGenerator;
using tarvelin::testsupport::EdlShape;

double clickAndPaint(TForm1& form, QPushButton* button)
{
    QElapsedTimer timer;
    timer.start();
    QTest::mouseClick(button, Qt::LeftButton);
    form.repaint();
    QApplication::processEvents();
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TarvelinApplication app(argc, argv);
    LoadProgramFonts();
    ApplyTheme(QString::fromLatin1(kThemeName));

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("voll.edl"));
    const std::u16string text =
        EdlGenerator(2024)
            .edlUpTo(EdlShape::Typical, tarvelin::testsupport::kTextCapacity, EdlForm::Raw)
            .text;
    std::ofstream(path.toStdString(), std::ios::binary)
        << tarvelin::testsupport::edlFileBytes(text);
    tarvelin::ui::FileDialog::setHandler([&](const tarvelin::ui::FileDialog&) { return path; });

    TForm1 form(nullptr, TForm1::InstanceCheck::Skip);
    form.show();
    QApplication::processEvents();

    const double open = clickAndPaint(form, form.Button1);
    const double rows = clickAndPaint(form, form.Button5);
    std::printf("list %zu characters: %d cue lines, %d rows\n", text.size(),
                form.RichEdit2->document()->blockCount(), form.ListView1Model->rowCount());
    std::printf("open EDL (Button1)      %7.3f s   goal <= 0.5  %s\n", open,
                open <= 0.5 ? "met" : "MISSED");
    std::printf("compute rows (Button5)  %7.3f s\n", rows);
    return open <= 0.5 ? 0 : 1;
}
