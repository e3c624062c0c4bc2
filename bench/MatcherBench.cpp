// The matcher benchmark: the program's PatternMatcher against PCRE2 (16-bit, JIT) and RE2
// (Latin-1) on generated normalised EDLs and cue-line texts, with PCRE2's interpreter alongside
// to show what a plain backtracking search costs.
//
// Every cell (pattern, shape, size, engine) walks all matches the way the program does (Exec,
// then ExecNext from the end of each match; for the extraction, a match whose gap holds another
// event's timecodes is dropped and the search starts again at them, in every engine by the same
// loop around its search) and keeps the spans of the groups the program uses:
// 3, 4 and 5 of the extraction pattern, 1, 2 and 3 of the cue-line pattern. Each engine's digest
// (match count and a hash of those groups' texts, taken after the first timed search) must equal
// that of the engines measured before it on the same text, otherwise the cell fails and the
// program exits with status 1. The engines are built once per cell; the timed part is the search
// of the whole text, in CPU time of the thread.
//
// Backtracking engines can take time that grows with the square of the length on the adversarial,
// worst and run shapes, and every engine whose search starts afresh does on the late shape (PCRE2's
// JIT avoids most of it by remembering where a repetition failed). Before a cell runs, its time is
// estimated from the same engine's smaller sizes (or from a probe at a tenth of the size); a cell
// estimated above the cap (60 s, or
// --tarvelin_cap=SECONDS) is reported as infeasible instead of being run. After the run a
// summary table lists the median times and our time over the faster reference.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/EdlGenerator.h"
#include "tests/support/MatcherPatterns.h"
#include "tests/support/ReferenceMatchers.h"

namespace {

using namespace tarvelin::testsupport;

// Pcre2Interpreter is PCRE2 without its JIT: a plain backtracker, shown for the growth a
// backtracking search has on the adversarial shapes. The ratio compares with the two fast ones.
enum class Engine { Pcre2, Re2, Pcre2Interpreter, Tarvelin };
constexpr std::array<Engine, 4> kEngines{Engine::Pcre2, Engine::Re2, Engine::Pcre2Interpreter,
                                         Engine::Tarvelin};
constexpr std::array<const char*, 4> kEngineNames{"pcre2", "re2", "pcre2-nojit", "tarvelin"};

// A workload: which pattern, which generated text.
struct Workload {
    bool cueLines = false;  // cue-line pattern over cue lines, else extraction over an EDL
    EdlShape shape = EdlShape::Typical;
    std::size_t size = 0;  // events, run characters or cue lines; 0 = up to the capacity

    std::string label() const
    {
        std::string text =
            cueLines ? "cuelines/regular" : "extract/" + std::string(shapeName(shape));
        if (size == 0) return text + "/capacity";
        const char* unit = cueLines ? "lines" : shape == EdlShape::Run ? "chars" : "events";
        return text + "/" + unit + ":" + std::to_string(size);
    }
    std::u16string_view pattern() const
    {
        return cueLines ? kCueLinePatternText : kExtractionPatternText;
    }
    // The extraction keeps only the matches whose events have their own timecodes, the same
    // loop around every engine's search.
    MatchRule rule() const { return cueLines ? MatchRule::Plain : MatchRule::OwnTimecodes; }
    std::array<int, 3> groups() const
    {
        return cueLines ? std::array<int, 3>{1, 2, 3} : std::array<int, 3>{3, 4, 5};
    }
    // Capacity sorts after every counted size.
    bool operator<(const Workload& other) const
    {
        const auto key = [](const Workload& w) {
            return std::tuple(w.cueLines, w.shape, w.size == 0 ? SIZE_MAX : w.size);
        };
        return key(*this) < key(other);
    }
};

struct Subject {
    std::u16string text16;
    std::string text8;
};

Subject generate(const Workload& w)
{
    EdlGenerator generator(20240521 + static_cast<std::uint64_t>(w.shape) * 7 +
                           (w.cueLines ? 1 : 0));
    GeneratedText generated = w.cueLines ? (w.size == 0 ? generator.cueLinesUpTo(kTextCapacity)
                                                        : generator.cueLines(w.size))
                                         : (w.size == 0 ? generator.edlUpTo(w.shape, kTextCapacity)
                                                        : generator.edl(w.shape, w.size));
    Subject subject;
    subject.text8 = toLatin1(generated.text);
    subject.text16 = std::move(generated.text);
    return subject;
}

// The benchmarks run one workload after the other, so one cached text is enough.
const Subject& subjectFor(const Workload& w)
{
    static std::optional<Workload> cachedFor;
    static Subject cached;
    if (!cachedFor || cachedFor->label() != w.label()) {
        cached = Subject{};
        cached = generate(w);
        cachedFor = w;
    }
    return cached;
}

using Span = std::pair<std::ptrdiff_t, std::ptrdiff_t>;

// Builds the engine once; run() searches the whole subject and keeps the chosen groups' spans.
class Runner {
public:
    Runner(Engine engine, const Workload& w)
        : m_engine(engine), m_groups(w.groups()), m_rule(w.rule())
    {
        switch (engine) {
            case Engine::Pcre2:
            case Engine::Pcre2Interpreter:
                m_pcre2 = std::make_unique<Pcre2Searcher>(w.pattern(), engine == Engine::Pcre2);
                break;
            case Engine::Re2:
                m_re2 = std::make_unique<Re2Searcher>(w.pattern());
                break;
            case Engine::Tarvelin:
                m_ours = std::make_unique<PatternMatcherSearcher>(w.pattern());
                break;
        }
    }

    // The timed part: every match, with the spans of the groups the program reads.
    void run(const Subject& subject)
    {
        m_found.clear();
        const auto keep = [&](const GroupSpans& match) {
            std::array<Span, 3> spans;
            for (std::size_t i = 0; i < spans.size(); ++i)
                spans[i] = match.spans[static_cast<std::size_t>(m_groups[i])];
            m_found.push_back(spans);
        };
        if (m_engine == Engine::Re2)
            m_re2->forEachMatch(subject.text8, keep, m_rule);
        else if (m_engine == Engine::Pcre2 || m_engine == Engine::Pcre2Interpreter)
            m_pcre2->forEachMatch(subject.text16, keep, m_rule);
        else
            m_ours->forEachMatch(subject.text16, keep, m_rule);
    }

    // The last run's matches as a digest of the group texts, computed outside the timing: the
    // hash takes one multiplication per character, which would add the same cost to every engine.
    MatchDigest digest(const Subject& subject) const
    {
        MatchDigest digest;
        constexpr int kThree[] = {0, 1, 2};
        GroupSpans match;
        match.spans.fill({-1, -1});
        for (const std::array<Span, 3>& spans : m_found) {
            std::copy(spans.begin(), spans.end(), match.spans.begin());
            if (m_engine == Engine::Re2)
                digest.add(std::string_view(subject.text8), match, kThree, 3);
            else
                digest.add(std::u16string_view(subject.text16), match, kThree, 3);
        }
        return digest;
    }

private:
    Engine m_engine;
    std::array<int, 3> m_groups;
    MatchRule m_rule;
    std::unique_ptr<Pcre2Searcher> m_pcre2;
    std::unique_ptr<Re2Searcher> m_re2;
    std::unique_ptr<PatternMatcherSearcher> m_ours;
    std::vector<std::array<Span, 3>> m_found;
};

// CPU time of this thread: the machine running the benchmark is often shared, and wall time
// would count the time other programs hold the processor.
double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double secondsOf(const std::function<void()>& work)
{
    const double start = threadSeconds();
    work();
    return threadSeconds() - start;
}

// What one cell produced, for the estimates of larger cells and for the summary.
struct Cell {
    std::size_t chars = 0;
    std::size_t matches = 0;
    std::vector<double> times;       // every timed search, over all runs of the cell
    std::optional<double> median;    // seconds; unset when not run
    std::optional<double> estimate;  // seconds, for cells judged infeasible
    bool failed = false;
};

double g_capSeconds = 60.0;
bool g_digestsDisagree = false;
std::map<Workload, std::array<Cell, kEngines.size()>> g_cells;
std::map<Workload, MatchDigest> g_digests;  // the first engine's digest per workload

// Earlier cells of this engine on the same pattern and shape, smallest first: measured
// medians, or the estimates of cells judged infeasible.
std::vector<std::pair<double, double>> history(const Workload& w, Engine engine)
{
    std::vector<std::pair<double, double>> points;  // (characters, seconds)
    for (const auto& [key, cells] : g_cells) {
        const Cell& cell = cells[static_cast<std::size_t>(engine)];
        if (key.cueLines != w.cueLines || key.shape != w.shape) continue;
        if (cell.median)
            points.emplace_back(static_cast<double>(cell.chars), *cell.median);
        else if (cell.estimate)
            points.emplace_back(static_cast<double>(cell.chars), *cell.estimate);
    }
    std::sort(points.begin(), points.end());
    return points;
}

// Estimated seconds for the engine on a text of `chars` characters: scaled from the largest
// earlier size by the growth seen between the last two sizes (quadratic when unknown), or
// from a probe at a tenth of the size.
double estimateSeconds(const Workload& w, Engine engine, double chars)
{
    const auto points = history(w, engine);
    if (points.empty()) {
        Workload probe = w;
        probe.size = std::max<std::size_t>(w.size == 0 ? kTextCapacity / 1200 : w.size / 10, 10);
        const Subject subject = generate(probe);
        Runner runner(engine, probe);
        const double seconds = secondsOf([&] { runner.run(subject); });
        return seconds * std::pow(chars / static_cast<double>(subject.text16.size()), 2.0);
    }
    double exponent = 2.0;
    if (points.size() >= 2) {
        const auto& [c1, t1] = points[points.size() - 2];
        const auto& [c2, t2] = points.back();
        if (t1 > 1e-4) exponent = std::clamp(std::log(t2 / t1) / std::log(c2 / c1), 1.0, 2.2);
    }
    return points.back().second * std::pow(chars / points.back().first, exponent);
}

void runCell(benchmark::State& state, Workload w, Engine engine)
{
    const Subject& subject = subjectFor(w);
    Cell& cell = g_cells[w][static_cast<std::size_t>(engine)];
    cell.chars = subject.text16.size();
    state.counters["chars"] = static_cast<double>(cell.chars);

    const double estimate = estimateSeconds(w, engine, static_cast<double>(cell.chars));
    if (estimate > g_capSeconds) {
        cell.estimate = estimate;
        char message[128];
        std::snprintf(message, sizeof message, "infeasible: estimated %.3g s, cap %.3g s", estimate,
                      g_capSeconds);
        state.SkipWithError(message);
        return;
    }

    Runner runner(engine, w);
    std::vector<double> times;
    MatchDigest digest;
    for (auto _ : state) {
        const double seconds = secondsOf([&] { runner.run(subject); });
        state.SetIterationTime(seconds);
        times.push_back(seconds);
        if (times.size() == 1) {
            digest = runner.digest(subject);
            const auto [reference, inserted] = g_digests.emplace(w, digest);
            if (!inserted && !(reference->second == digest)) {
                cell.failed = true;
                g_digestsDisagree = true;
                char message[160];
                std::snprintf(
                    message, sizeof message,
                    "digests disagree: %zu matches (hash %016llx), expected %zu (%016llx)",
                    digest.count(), static_cast<unsigned long long>(digest.hash()),
                    reference->second.count(),
                    static_cast<unsigned long long>(reference->second.hash()));
                state.SkipWithError(message);
                break;
            }
        }
    }
    if (cell.failed || times.empty()) return;
    // The library runs a cell several times while it settles the iteration count; every timed
    // search is a sample of the same work, so the median is taken over all of them.
    cell.times.insert(cell.times.end(), times.begin(), times.end());
    std::sort(cell.times.begin(), cell.times.end());
    cell.median = cell.times[cell.times.size() / 2];
    state.counters["samples"] = static_cast<double>(cell.times.size());
    cell.matches = digest.count();
    state.counters["matches"] = static_cast<double>(digest.count());

    if (engine != Engine::Tarvelin) return;
    const auto& cells = g_cells[w];
    double best = 0;
    for (Engine reference : {Engine::Pcre2, Engine::Re2}) {
        const Cell& other = cells[static_cast<std::size_t>(reference)];
        if (!other.median) continue;
        state.counters[std::string("vs_") + kEngineNames[static_cast<std::size_t>(reference)]] =
            *cell.median / *other.median;
        if (best == 0 || *other.median < best) best = *other.median;
    }
    if (best > 0) state.counters["vs_best_ref"] = *cell.median / best;
}

std::string formatTime(const Cell& cell)
{
    char text[64];
    if (cell.failed) return "DISAGREES";
    if (cell.median) {
        const double s = *cell.median;
        if (s >= 1.0)
            std::snprintf(text, sizeof text, "%.2f s", s);
        else
            std::snprintf(text, sizeof text, "%.3g ms", s * 1e3);
        return text;
    }
    if (cell.estimate) {
        std::snprintf(text, sizeof text, "> %.0f s (est. %.2g s)", g_capSeconds, *cell.estimate);
        return text;
    }
    return "-";
}

void printSummary()
{
    std::printf(
        "\n| workload | chars | matches | PCRE2 JIT | RE2 | PCRE2 no JIT | tarvelin "
        "| tarvelin / faster of PCRE2 JIT and RE2 |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const auto& [w, cells] : g_cells) {
        std::size_t matches = 0;
        for (const Cell& cell : cells) matches = std::max(matches, cell.matches);
        const Cell& ours = cells[static_cast<std::size_t>(Engine::Tarvelin)];
        double best = 0;
        for (Engine reference : {Engine::Pcre2, Engine::Re2}) {
            const Cell& other = cells[static_cast<std::size_t>(reference)];
            if (other.median && (best == 0 || *other.median < best)) best = *other.median;
        }
        char ratio[32] = "-";
        if (ours.median && best > 0)
            std::snprintf(ratio, sizeof ratio, "%.2f", *ours.median / best);
        std::printf("| %s | %zu | %zu | %s | %s | %s | %s | %s |\n", w.label().c_str(),
                    cells[0].chars, matches, formatTime(cells[0]).c_str(),
                    formatTime(cells[1]).c_str(), formatTime(cells[2]).c_str(),
                    formatTime(cells[3]).c_str(), ratio);
    }
    std::printf(
        "Median CPU time of the timed iterations; cells above the cap are estimated, "
        "not run.\n");
}

void registerAll()
{
    constexpr std::array<std::size_t, 4> kSizes{1000, 10000, 100000, 0};
    std::vector<Workload> workloads;
    for (EdlShape shape :
         {EdlShape::Typical, EdlShape::Adversarial, EdlShape::Worst, EdlShape::Run, EdlShape::Late})
        for (std::size_t size : kSizes) workloads.push_back(Workload{false, shape, size});
    for (std::size_t size : kSizes) workloads.push_back(Workload{true, EdlShape::Typical, size});

    for (const Workload& w : workloads)
        for (Engine engine : kEngines) {
            const std::string name =
                w.label() + "/" + kEngineNames[static_cast<std::size_t>(engine)];
            benchmark::RegisterBenchmark(name.c_str(), runCell, w, engine)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
        }
}

}  // namespace

int main(int argc, char** argv)
{
    // Our own option is taken out before the library sees the arguments.
    std::vector<char*> arguments;
    for (int i = 0; i < argc; ++i) {
        constexpr const char* kCapFlag = "--tarvelin_cap=";
        if (std::strncmp(argv[i], kCapFlag, std::strlen(kCapFlag)) == 0)
            g_capSeconds = std::atof(argv[i] + std::strlen(kCapFlag));
        else
            arguments.push_back(argv[i]);
    }
    int count = static_cast<int>(arguments.size());
    registerAll();
    benchmark::Initialize(&count, arguments.data());
    if (benchmark::ReportUnrecognizedArguments(count, arguments.data())) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printSummary();
    if (g_digestsDisagree) {
        std::fprintf(stderr, "The engines disagree on at least one text.\n");
        return 1;
    }
    return 0;
}
