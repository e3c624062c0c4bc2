// FileDialog: the main window's file-open and file-save dialogs, with one seam for tests.
//
// A dialog keeps its filter, default suffix and suggested file name like a component on the
// window; Execute() asks the user (or, in tests, the installed handler) and stores the chosen
// file in FileName. Reading or writing the file is the caller's business.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tarvelin::ui {

class FileDialog {
public:
    enum class Mode { Open, Save };
    // Gets the dialog and returns the chosen path, or an empty text when the user cancelled.
    using Handler = std::function<QString(const FileDialog& dialog)>;

    explicit FileDialog(Mode mode) : m_mode(mode) {}

    Mode mode() const { return m_mode; }

    // Qt filter text, e.g. "EDL  (*.edl)".
    QString Filter;
    // Extension (without dot) added to a typed save name without one.
    QString DefaultExt;
    // Before Execute: the suggested file name; after a confirmed Execute: the chosen file.
    QString FileName;
    QString Title;

    // Shows the dialog modally over parent. True when a file was chosen.
    bool Execute(QWidget* parent);

    // Replaces the real dialogs (tests); an empty handler restores them. Returns the previous one.
    static Handler setHandler(Handler handler);

private:
    Mode m_mode;
};

}  // namespace tarvelin::ui
