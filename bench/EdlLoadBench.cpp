// Loading and normalising raw Avid File_32 lists of realistic shape up to the buffer's capacity,
// and the whole road of "Öffnen EDL" (OpenEdlFile: load, normalise, extract) on the same lists.
// The lists come from the EDL generator in its raw form.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "conversion/EdlLoader.h"
#include "conversion/EdlNormalizer.h"
#include "conversion/EdlPipeline.h"
#include "tests/support/EdlGenerator.h"

namespace {

using tarvelin::testsupport::EdlForm;
using tarvelin::testsupport::EdlGenerator;
using tarvelin::testsupport::EdlShape;

// A typical raw list of about the given size, written to a temporary file for the benchmark's
// lifetime.
class ListFile {
public:
    explicit ListFile(std::size_t chars) : m_path("/tmp/tarvelin-bench-XXXXXX")
    {
        const int fd = ::mkstemp(m_path.data());
        ::close(fd);
        m_bytes = tarvelin::testsupport::edlFileBytes(
            EdlGenerator(2024).edlUpTo(EdlShape::Typical, chars, EdlForm::Raw).text);
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

void BM_OpenEdlFile(benchmark::State& state)
{
    const ListFile file(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(tarvelin::OpenEdlFile(file.path()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}

constexpr std::int64_t kSmall = 1 << 20;
constexpr std::int64_t kFull = static_cast<std::int64_t>(tarvelin::kTextCapacity);

BENCHMARK(BM_LoadEdlText)->Arg(kSmall)->Arg(kFull)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NormalizeEdlText)->Arg(kSmall)->Arg(kFull)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenEdlFile)->Arg(kSmall)->Arg(kFull)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
