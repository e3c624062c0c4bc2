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

}  // namespace tarvelin::cli
