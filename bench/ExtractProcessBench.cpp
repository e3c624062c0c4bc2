// tarvelin-cli extract as a whole process against a process that only reads the file and runs
// one established engine's search (bench_read_and_search, PCRE2-JIT and RE2).
//
// The lists are raw Avid File_32 lists from the EDL generator: 100,000 typical events, and each
// large shape filled to the 16,777,215-character capacity. Every process runs several times
// (TARVELIN_BENCH_RUNS, default 5); the table shows the median wall time of each and the ratio of
// tarvelin-cli to the faster reference, whose goal is at most 0.5. With TARVELIN_BENCH_DIR the
// lists are written to that folder and kept there (for profiling), else to a scratch folder.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/EdlGenerator.h"

extern char** environ;

namespace {

using tarvelin::testsupport::EdlForm;
using tarvelin::testsupport::EdlGenerator;
using tarvelin::testsupport::EdlShape;
using tarvelin::testsupport::kTextCapacity;

struct List {
    std::string name;
    std::filesystem::path path;
    std::size_t bytes;
};

// Wall time of one run of the command, its output thrown away; negative when it failed.
double runOnce(const std::vector<std::string>& command)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const std::string& arg : command) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    int status = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0)
        waitpid(pid, &status, 0);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    posix_spawn_file_actions_destroy(&actions);
    return WIFEXITED(status) && WEXITSTATUS(status) <= 1 ? elapsed.count() : -1.0;
}

double median(const std::vector<std::string>& command, int runs)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) times.push_back(runOnce(command));
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

List writeList(const std::filesystem::path& folder, const std::string& name, EdlShape shape,
               std::size_t events)
{
    EdlGenerator generator(2024);
    const std::u16string text = events == 0
                                    ? generator.edlUpTo(shape, kTextCapacity, EdlForm::Raw).text
                                    : generator.edl(shape, events, EdlForm::Raw).text;
    const std::string bytes = tarvelin::testsupport::edlFileBytes(text);
    const std::filesystem::path path = folder / (name + ".edl");
    std::ofstream(path, std::ios::binary) << bytes;
    return {name, path, bytes.size()};
}

}  // namespace

int main()
{
    const char* runsText = std::getenv("TARVELIN_BENCH_RUNS");
    const int runs = std::max(1, runsText ? std::atoi(runsText) : 5);
    const char* keepIn = std::getenv("TARVELIN_BENCH_DIR");
    const std::filesystem::path folder =
        keepIn ? std::filesystem::path(keepIn)
               : std::filesystem::temp_directory_path() /
                     ("tarvelin-extract-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);

    std::vector<List> lists;
    lists.push_back(writeList(folder, "typical-100k", EdlShape::Typical, 100'000));
    lists.push_back(writeList(folder, "typical-cap", EdlShape::Typical, 0));
    lists.push_back(writeList(folder, "adversarial-cap", EdlShape::Adversarial, 0));
    lists.push_back(writeList(folder, "worst-cap", EdlShape::Worst, 0));
    lists.push_back(writeList(folder, "run-cap", EdlShape::Run, 0));

    std::printf("median of %d runs, wall time in ms\n", runs);
    std::printf("%-16s %8s %10s %10s %10s %8s %s\n", "list", "MB", "cli", "pcre2-jit", "re2",
                "ratio", "goal <= 0.5");
    bool allMet = true;
    for (const List& list : lists) {
        const double cli = median({TARVELIN_CLI, "extract", list.path.string()}, runs);
        const double pcre2 = median({TARVELIN_READ_AND_SEARCH, "pcre2", list.path.string()}, runs);
        const double re2 = median({TARVELIN_READ_AND_SEARCH, "re2", list.path.string()}, runs);
        const double reference = std::min(pcre2 < 0 ? 1e9 : pcre2, re2 < 0 ? 1e9 : re2);
        const double ratio = cli / reference;
        const bool met = cli >= 0 && ratio <= 0.5;
        allMet = allMet && met;
        std::printf("%-16s %8.2f %10.1f %10.1f %10.1f %8.2f %s\n", list.name.c_str(),
                    static_cast<double>(list.bytes) / 1e6, cli * 1e3, pcre2 * 1e3, re2 * 1e3,
                    ratio, met ? "met" : "MISSED");
    }
    if (!keepIn) std::filesystem::remove_all(folder);
    return allMet ? 0 : 1;
}
