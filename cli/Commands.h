// The subcommands of tarvelin-cli and the table main() dispatches through.
//
// Each subcommand is one function in a file of its own (ExtractCommand.cpp, ...). It receives the
// arguments after its name, writes its result to standard output and its messages to standard
// error, and returns the exit code. Failures are thrown: UsageError for a bad command line (exit
// 2), ConversionError for a file or conversion failure (exit 1); main() turns them into messages.
// A new subcommand is a new file plus one declaration here and one row in kCommands (main.cpp).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvelin::cli {

using CommandFunction = int (*)(const std::vector<std::string>& args);

struct Command {
    std::string_view name;
    CommandFunction run;
    std::string_view summary;  // one line for the overview of --help
    std::string_view usage;    // the command line and its options, for "<name> --help"
};

// tarvelin-cli extract FILE.edl: the cue lines of an edit decision list.
int RunExtract(const std::vector<std::string>& args);
inline constexpr std::string_view kExtractUsage =
    "tarvelin-cli extract DATEI.edl\n"
    "  Liest die EDL, normalisiert sie und schreibt eine Cue-Zeile je Musik-Event\n"
    "  (UTF-8, eine Zeile je Cue) auf die Standardausgabe; die Anzahl auf die\n"
    "  Fehlerausgabe.\n";

// tarvelin-cli rows [--fps RATE] [--timecode] [--decimal SEP] [FILE|-]: cue rows from cue lines.
int RunRows(const std::vector<std::string>& args);
inline constexpr std::string_view kRowsUsage =
    "tarvelin-cli rows [--fps RATE] [--timecode] [--decimal ZEICHEN] [DATEI|-]\n"
    "  Liest Cue-Zeilen (UTF-8; ohne DATEI oder mit - von der Standardeingabe) und\n"
    "  schreibt je Cue eine Zeile: In, Out, Länge und Music Titles, durch TAB\n"
    "  getrennt (TAB, CR, LF und \\ in einer Zelle als \\t, \\r, \\n und \\\\).\n"
    "  --fps RATE        Bildrate (Vorgabe 25)\n"
    "  --timecode        Länge als 00:00:00:00 statt Minuten und Sekunden\n"
    "  --decimal ZEICHEN Dezimaltrenner der Bildrate (Vorgabe: aus dem Gebietsschema,\n"
    "                    \",\" für de_*, sonst \".\")\n";

// tarvelin-cli convert [...] FILE.edl: from an edit decision list straight to the cue list.
int RunConvert(const std::vector<std::string>& args);
inline constexpr std::string_view kConvertUsage =
    "tarvelin-cli convert [--fps RATE] [--timecode] [--decimal ZEICHEN]\n"
    "                     [--format tsv|text|xlsx] [-o DATEI] DATEI.edl\n"
    "  Gewinnt die Cue-Zeilen wie extract und berechnet daraus die Cue-Liste wie rows.\n"
    "  --format tsv      wie rows (Vorgabe)\n"
    "  --format text     Tabelle zum Lesen und Drucken mit der Musikfolge danach,\n"
    "                    wie \"Speichern als Text\" (UTF-8, CR LF)\n"
    "  --format xlsx     Excel-Arbeitsmappe wie \"Nach Excel exportieren\" (Cue-Liste,\n"
    "                    Musikfolge, Summen); verlangt -o DATEI\n"
    "  -o, --output DATEI  in DATEI schreiben statt auf die Standardausgabe\n";

// tarvelin-cli report [...] FILE|-: the music report (Musikfolge) for GEMA.
int RunReport(const std::vector<std::string>& args);
inline constexpr std::string_view kReportUsage =
    "tarvelin-cli report [--fps RATE] [--decimal ZEICHEN] [--gap SEKUNDEN] [--cues]\n"
    "                    [--format tsv|text|xlsx] [-o DATEI] DATEI|-\n"
    "  Musikfolge für die GEMA: eine Zeile je Einsatz eines Werks mit seiner Dauer in\n"
    "  ganzen Sekunden (jede angefangene zählt), dann die Summen je Datei. Liest eine\n"
    "  EDL wie convert oder mit --cues Cue-Zeilen (UTF-8); - liest die Standardeingabe.\n"
    "  Zeilen derselben Datei, die sich berühren, überlappen oder höchstens die Lücke\n"
    "  auseinanderliegen, bilden einen Einsatz (Stereopaare, Schnitte).\n"
    "  --fps RATE          Bildrate (Vorgabe 25)\n"
    "  --decimal ZEICHEN   Dezimaltrenner von Bildrate und Lücke (Vorgabe: aus dem\n"
    "                      Gebietsschema, \",\" für de_*, sonst \".\")\n"
    "  --gap SEKUNDEN      größte Lücke innerhalb eines Einsatzes (Vorgabe 1; 0 verbindet\n"
    "                      nur Zeilen, die sich berühren oder überlappen)\n"
    "  --cues              die Eingabe sind Cue-Zeilen statt einer EDL\n"
    "  --format tsv        TAB-getrennt (Vorgabe): Musikfolge, Leerzeile, Summen\n"
    "  --format text       Cue-Liste und Musikfolge wie \"Speichern als Text\"\n"
    "  --format xlsx       Arbeitsmappe wie \"Nach Excel exportieren\"; verlangt -o DATEI\n"
    "  -o, --output DATEI  in DATEI schreiben statt auf die Standardausgabe\n";

}  // namespace tarvelin::cli
