// Start-up helpers of the program: the window theme and the bundled fonts.
//
// The themes the program carries are Qt style sheets compiled in as resources and looked up by
// their name ("Aqua Light Slate"). The fonts come from the system's font folders and are
// registered with the application so the windows get the faces their layouts were made for.
// The order of start-up itself lives in app/main.cpp; the
// order in which the windows are created lives here, so tests can run it too.
#pragma once

#include <QString>
#include <QStringList>

// The name of the program's window theme.
inline constexpr const char* kThemeName = "Aqua Light Slate";

// Applies the named theme to the application. False when the program carries no theme of that
// name; the look is then left as it was.
bool ApplyTheme(const QString& name);

// The resource path of a theme's style sheet, empty when there is no theme of that name.
QString ThemeResourcePath(const QString& name);

// Installs the toolkit's own German texts (file dialogs, standard buttons) for the user's
// language, when the system has them. The program's own texts are German anyway.
void LoadToolkitTranslations();

// Creates the program's windows, all hidden, in their fixed order: Form1 (whose creation runs the
// single-instance guard while no other window exists), Form4, TForm2, AboutBox.
void CreateProgramWindows();

// Destroys the four windows and clears their program-wide pointers.
void DestroyProgramWindows();

// The EDL file named on the command line (the desktop's "open with"), or empty. Handles --help
// and --version by printing and ending the process, as command-line programs do. A file: URL
// is taken as its local path.
QString CommandLineEdlFile(const QStringList& arguments);

// Registers the program's fonts. Returns the families that were added (missing files are
// skipped; the toolkit then falls back to a similar face).
QStringList LoadProgramFonts();
