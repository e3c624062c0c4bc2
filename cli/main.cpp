// tarvelin-cli: the conversion of an edit decision list from the command line.
//
// Dispatches to the subcommands of kCommands. Exit codes: 0 done, 1 a file or conversion failure
// (its German message on standard error), 2 a bad command line (a short usage on standard error).
// Every failure is caught here, so the tool never ends by a signal or an uncaught exception.

#include <csignal>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#ifdef __GLIBC__
#include <malloc.h>
#endif

// Under AddressSanitizer the heap belongs to the sanitizer: the tuning of glibc's heap in main()
// would do nothing but make every run map and poison 31 MB, a third of its start-up time.
#if defined(__SANITIZE_ADDRESS__)
#define TARVELIN_SANITIZER_HEAP 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TARVELIN_SANITIZER_HEAP 1
#endif
#endif

#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "conversion/ConversionError.h"
#include "conversion/FileBytes.h"

namespace tarvelin::cli {

namespace {

constexpr std::string_view kProgram = "tarvelin-cli";

// One row per subcommand.
constexpr Command kCommands[] = {
    {"extract", RunExtract, "Cue-Zeilen aus einer EDL gewinnen", kExtractUsage},
    {"rows", RunRows, "Cue-Liste aus Cue-Zeilen berechnen", kRowsUsage},
    {"convert", RunConvert, "Cue-Liste direkt aus einer EDL", kConvertUsage},
    {"report", RunReport, "Musikfolge (GEMA) aus einer EDL oder aus Cue-Zeilen", kReportUsage},
};

const Command* findCommand(std::string_view name)
{
    for (const Command& command : kCommands) {
        if (command.name == name) {
            return &command;
        }
    }
    return nullptr;
}

void printOverview(std::ostream& out)
{
    out << "Aufruf: " << kProgram << " BEFEHL [ARGUMENTE]\n"
        << "       " << kProgram << " --help | --version\n\nBefehle:\n";
    for (const Command& command : kCommands) {
        const std::size_t pad = command.name.size() < 10 ? 10 - command.name.size() : 1;
        out << "  " << command.name << std::string(pad, ' ') << command.summary << '\n';
    }
    out << "\n\"" << kProgram << " BEFEHL --help\" zeigt die Argumente eines Befehls.\n";
}

bool asksForHelp(const std::vector<std::string>& args)
{
    for (const std::string& arg : args) {
        if (arg == "--") {
            return false;
        }
        if (arg == "--help" || arg == "-h") {
            return true;
        }
    }
    return false;
}

// Runs the command line; a UsageError names the command it belongs to, if any.
int run(const std::vector<std::string>& args, const Command*& current)
{
    if (args.empty()) {
        throw UsageError("Kein Befehl angegeben");
    }
    const std::string& first = args.front();
    if (first == "--help" || first == "-h") {
        printOverview(std::cout);
        return 0;
    }
    if (first == "--version") {
        std::cout << kProgram << ' ' << TARVELIN_VERSION << '\n';
        return 0;
    }
    current = findCommand(first);
    if (current == nullptr) {
        throw UsageError("Unbekannter Befehl: " + first);
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (asksForHelp(rest)) {
        std::cout << "Aufruf: " << current->usage;
        return 0;
    }
    return current->run(rest);
}

// Output that could not be written (a full disk, a closed pipe) is a failure, not a success.
int checkedOutput(int exitCode)
{
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "Die Ausgabe konnte nicht geschrieben werden\n";
        return 1;
    }
    return exitCode;
}

}  // namespace

}  // namespace tarvelin::cli

int main(int argc, char** argv)
{
    using namespace tarvelin::cli;
#if defined(__GLIBC__) && !defined(TARVELIN_SANITIZER_HEAP)
    // A conversion passes the list through several text buffers of up to 32 MB one after the
    // other. Keeping freed memory in the heap lets the next buffer reuse it instead of faulting
    // in fresh pages, which more than halves the time of a conversion at full capacity.
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    mallopt(M_TOP_PAD, 64 << 20);
    // The heap's first 31 MB (the file's bytes, then one small allocation per cue line) come in
    // large pages: a page fault for every 4 KB would cost more than the conversion of a large
    // list, more so in a virtual machine.
    constexpr std::size_t kLargePageHeap = 31 << 20;
    mallopt(M_MMAP_THRESHOLD, kLargePageHeap + (1 << 20));
    if (void* heap = std::malloc(kLargePageHeap)) {
        tarvelin::PreferLargePages(heap, kLargePageHeap);
        std::free(heap);
    }
#endif
    // A closed pipe must end in a message and exit code 1, not in SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    const Command* current = nullptr;
    try {
        const std::vector<std::string> args(argv + 1, argv + argc);
        return checkedOutput(run(args, current));
    } catch (const UsageError& error) {
        std::cerr << kProgram << ": " << error.what() << "\n";
        if (current != nullptr) {
            std::cerr << "Aufruf: " << current->usage;
        } else {
            printOverview(std::cerr);
        }
        return 2;
    } catch (const tarvelin::ConversionError& error) {
        std::cout.flush();
        std::cerr << error.what() << '\n';
        return 1;
    } catch (const std::bad_alloc&) {
        std::cerr << "Nicht genügend Arbeitsspeicher\n";
        return 1;
    } catch (const std::exception& error) {
        std::cerr << "Unerwarteter Fehler: " << error.what() << '\n';
        return 1;
    } catch (...) {
        std::cerr << "Unerwarteter Fehler\n";
        return 1;
    }
}
