#include "ui/FileDialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <utility>

namespace tarvelin::ui {

namespace {

FileDialog::Handler& currentDialogHandler()
{
    static FileDialog::Handler handler;
    return handler;
}

QString runRealDialog(QWidget* parent, const FileDialog& dialog)
{
    QFileDialog box(parent, dialog.Title);
    box.setNameFilter(dialog.Filter);
    box.setDefaultSuffix(dialog.DefaultExt);
    if (dialog.mode() == FileDialog::Mode::Open) {
        box.setAcceptMode(QFileDialog::AcceptOpen);
        box.setFileMode(QFileDialog::ExistingFile);
    } else {
        box.setAcceptMode(QFileDialog::AcceptSave);
        box.setFileMode(QFileDialog::AnyFile);
    }
    if (!dialog.FileName.isEmpty()) {
        const QFileInfo suggested(dialog.FileName);
        if (suggested.isAbsolute()) {
            box.setDirectory(suggested.absolutePath());
        }
        box.selectFile(suggested.fileName());
    }
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty()) {
        return {};
    }
    return box.selectedFiles().constFirst();
}

}  // namespace

bool FileDialog::Execute(QWidget* parent)
{
    const QString chosen =
        currentDialogHandler() ? currentDialogHandler()(*this) : runRealDialog(parent, *this);
    if (chosen.isEmpty()) {
        return false;
    }
    FileName = chosen;
    return true;
}

FileDialog::Handler FileDialog::setHandler(Handler handler)
{
    return std::exchange(currentDialogHandler(), std::move(handler));
}

}  // namespace tarvelin::ui
