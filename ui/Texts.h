// The German texts the windows show: captions, messages, menu items and the terms, in one place.
//
// The windows take every user-visible text from here, so a wording is changed once and the
// tests compare against the same constants. Texts the conversion core reports (its failure
// messages) live with the core; layouts, fonts and names of controls stay in the windows.
#pragma once

#include <QString>
#include <QStringView>

#include <array>

namespace tarvelin::ui::texts {

// Program-wide boxes.
inline constexpr QStringView kAlreadyRunning = u"Das Programm ist bereits gestartet!!";
inline constexpr QStringView kThemeMissing = u"Stil '%1' nicht gefunden";
inline constexpr QStringView kUnknownFailure = u"Unbekannter Fehler";
inline constexpr QStringView kClose = u"Schließen";
inline constexpr QStringView kOk = u"OK";
inline constexpr QStringView kThreadCreateFailed = u"Fehler beim Erzeugen des Thread: %1";

// The command line of the program.
inline constexpr QStringView kCommandLineDescription =
    u"Erstellt aus einer Avid-EDL die Musikliste für die GEMA.";
inline constexpr QStringView kCommandLineFile = u"EDL-Datei, die nach dem Start geladen wird";

// The main window.
inline constexpr QStringView kMainCaption = u" %1 v.%2";  // product name, version
inline constexpr QStringView kTitleCount = u"Anzahl Titel: %1";
inline constexpr QStringView kInputEdl = u"Eingang EDL Datei";
inline constexpr QStringView kOpenEdl = u"Öffnen EDL";
inline constexpr QStringView kFilm = u"Film:";
inline constexpr QStringView kFps = u"fps";
inline constexpr QStringView kWithoutFrames = u"Ohne frames";
inline constexpr QStringView kWithFrames = u"Mit frames";
inline constexpr QStringView kMinutesSeconds = u"00:00";
inline constexpr QStringView kFullTimecode = u"00:00:00:00";
inline constexpr QStringView kComputeCode = u"Rechnen TC Code";
inline constexpr QStringView kCompute = u"Rechnen TC";
inline constexpr QStringView kOutputGema = u"Ausgang GEMA VB";
inline constexpr QStringView kSaveAsText = u"Speichern als Text";
inline constexpr QStringView kExportExcel = u"Nach Excel exportieren";
inline constexpr QStringView kStatusVersion = u"Version %1";
inline constexpr QStringView kMenu = u"Menü";
inline constexpr QStringView kMenuHelp = u"     Hilfe";
inline constexpr QStringView kMenuTerms = u"     Garantie";
inline constexpr QStringView kMenuAbout = u"     Über";
inline constexpr QStringView kMenuQuit = u"     Beenden";
inline constexpr QStringView kOpenTitle = u"Öffnen";
inline constexpr QStringView kOpenFilter = u"EDL  (*.edl)";
inline constexpr QStringView kSaveTitle = u"Speichern unter";
inline constexpr QStringView kSaveFilter = u"EDL-Text (*.txt)";
inline constexpr QStringView kExportFilter = u"Excel-Arbeitsmappe (*.xlsx)";
// A saved list without its music report; %1 is the reason.
inline constexpr QStringView kSavedWithoutReport =
    u"Die Cue-Liste wurde ohne Musikfolge gespeichert. %1.";
inline constexpr QStringView kDefaultListName = u"Musikliste";
inline constexpr QStringView kCapacityExceeded =
    u"Der Text ist zu lang: die Titelliste fasst höchstens 16.777.215 Zeichen.";

// Accessible names of the main window's controls that show no caption of their own.
inline constexpr QStringView kAccessibleLogo = u"Logo, öffnet die Website";
inline constexpr QStringView kAccessibleCueLines = u"Cue-Zeilen";
inline constexpr QStringView kAccessibleFrameRate = u"Bildrate (fps)";
inline constexpr QStringView kAccessibleDisplayMode = u"Anzeige der Länge";
inline constexpr QStringView kAccessibleCueList = u"Cue-Liste (Ausgang GEMA VB)";
inline constexpr QStringView kAccessibleStatusBar = u"Statusleiste";
inline constexpr QStringView kAccessibleTerms = u"Garantiebestimmungen, Text";
inline constexpr QStringView kAccessibleHelpPicture = u"Bild der Hilfe";
inline constexpr QStringView kAccessibleIcon = u"Programmsymbol";

// The help window.
inline constexpr QStringView kHelpCaption = u"Hilfe";
inline constexpr QStringView kHelpSettingsTab = u"EDL Settings";
inline constexpr QStringView kHelpUsageTab = u"Tarvelin";

// The about window.
inline constexpr QStringView kAboutCaption = u"Über Tarvelin";
inline constexpr QStringView kAboutProduct = u"Produktname:";
inline constexpr QStringView kAboutVersion = u"Version:";
inline constexpr QStringView kAboutRights = u"Copyright:";
inline constexpr QStringView kAboutRightsNotice = u"© 2026 Tarvelin";
inline constexpr QStringView kAboutContact = u"Kontakt:";
inline constexpr QStringView kAboutWebsite = u"Website:";

// The terms window: its caption and the twenty lines of its text. The heading is indented with
// blanks so that it stands near the middle of the text area.
inline constexpr QStringView kTermsCaption = u"Garantiebestimmungen";
inline constexpr std::array<QStringView, 20> kTermsLines = {
    u"    ",
    u"                                               Garantiebestimmungen",
    u"",
    u" ",
    u" ",
    u"",
    u"",
    u"DIE SOFTWARE WIRD GELIEFERT, WIE SIE IST, OHNE JEDE",
    u"GEWÄHRLEISTUNG. FÜR DIE LEISTUNG DER SOFTWARE UND FÜR",
    u"DIE ERGEBNISSE, DIE DURCH IHRE NUTZUNG ODER DURCH DIE",
    u"NUTZUNG DES BEGLEITMATERIALS ERZIELT WERDEN, WIRD",
    u"KEINE GARANTIE ÜBERNOMMEN. ES WIRD WEDER AUSDRÜCKLICH",
    u"NOCH STILLSCHWEIGEND EINE GEWÄHRLEISTUNG ODER GARANTIE",
    u"DAFÜR ÜBERNOMMEN, DASS DIE SOFTWARE KEINE SCHUTZRECHTE",
    u"DRITTER VERLETZT, NOCH DAFÜR, DASS SIE MARKTGÄNGIG",
    u"ODER FÜR EINEN BESTIMMTEN ZWECK GEEIGNET IST. DER",
    u"LIEFERANT HAFTET IN KEINEM FALL FÜR DIREKTE ODER",
    u"INDIREKTE SCHÄDEN, FOLGE- ODER BESONDERE SCHÄDEN, AUCH",
    u"FÜR ENTGANGENEN GEWINN ODER ENTGANGENE EINSPARUNGEN.",
    u"",
};

}  // namespace tarvelin::ui::texts
