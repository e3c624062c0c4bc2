// Loading and normalising Avid File_32 lists of realistic shape up to the buffer's capacity, and
// the whole road of "Öffnen EDL" (load, normalise, extract) on the same lists.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "conversion/CueLineExtraction.h"
#include "conversion/EdlLoader.h"
#include "conversion/EdlNormalizer.h"

namespace {

// A raw Windows-1252 list of about the given size: video events with one music event in ten,
// clip-name comments, channel markers after audio events on channels 3 and 4.
std::string makeRawList(std::size_t bytes)
{
    std::string list = "TITLE:   BENCH\r\nFCM: NON-DROP FRAME\r\n";
    char line[256];
    for (unsigned i = 0; list.size() < bytes; ++i) {
        const bool music = i % 10 == 3;
        const unsigned s = i % 3600;
        std::snprintf(line, sizeof line,
                      "%06u  %-32s %-5s C        10:%02u:%02u:00 10:%02u:%02u:12 01:%02u:%02u:00 "
                      "01:%02u:%02u:12 \r\n",
                      i % 1000000, music ? "MUSIK" : "A001C003", music ? "NONE" : "V", s / 60,
                      s % 60, s / 60, s % 60, s / 60, s % 60, s / 60, s % 60);
        std::string event = line;
        if (music) {
            event += "AUD  3    4\r\n*FROM CLIP NAME:  M\xC4RZ SONG ";
            event += std::to_string(i);
            event += ".WAV\r\n";
        } else {
            event += "*FROM CLIP NAME:  A001C003 TOTALE.MOV \r\n*SOURCE FILE: A001C003\r\n";
        }
        if (list.size() + event.size() > bytes) {
            break;
        }
        list += event;
    }
    return list;
}

// The list written to a temporary file for the benchmark's lifetime.
class ListFile {
public:
    explicit ListFile(std::size_t bytes) : m_path("/tmp/tarvelin-bench-XXXXXX")
    {
        const int fd = ::mkstemp(m_path.data());
        ::close(fd);
        m_bytes = makeRawList(bytes);
        std::ofstream(m_path, std::ios::binary) << m_bytes;
    }
    ~ListFile() { std::remove(m_path.c_str()); }
    ListFile(const ListFile&) = delete;
    ListFile& operator=(const ListFile&) = delete;

    const std::string& path() const { return m_path; }
    std::size_t size() const { return m_bytes.size(); }

private:
    std::string m_path;
    std::string m_bytes;
};

void BM_LoadEdlText(benchmark::State& state)
{
    const ListFile file(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(tarvelin::LoadEdlText(file.path()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}

void BM_LoadEdlFileLines(benchmark::State& state)
{
    const ListFile file(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(tarvelin::LoadEdlFile(file.path()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}

void BM_NormalizeEdlText(benchmark::State& state)
{
    const ListFile file(static_cast<std::size_t>(state.range(0)));
    const std::u16string loaded = tarvelin::LoadEdlText(file.path());
    for (auto _ : state) {
        std::u16string work = loaded;
        tarvelin::NormalizeEdlText(work);
        benchmark::DoNotOptimize(work);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}

void BM_OpenEdlWholeRoad(benchmark::State& state)
{
    const ListFile file(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        std::u16string work = tarvelin::LoadEdlText(file.path());
        tarvelin::NormalizeEdlText(work);
        std::vector<std::u16string> cueLines;
        tarvelin::ExtractCueLines(tarvelin::ResplitCrLf(work), cueLines);
        benchmark::DoNotOptimize(cueLines);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}

constexpr std::int64_t kSmall = 1 << 20;
constexpr std::int64_t kFull = static_cast<std::int64_t>(tarvelin::kTextCapacity);

BENCHMARK(BM_LoadEdlText)->Arg(kSmall)->Arg(kFull)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadEdlFileLines)->Arg(kSmall)->Arg(kFull)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NormalizeEdlText)->Arg(kSmall)->Arg(kFull)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenEdlWholeRoad)->Arg(kSmall)->Arg(kFull)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
