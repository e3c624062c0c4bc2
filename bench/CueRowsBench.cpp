// ComputeCueRows on cue-line texts of realistic and adversarial shapes, up to the 16,777,215
// characters the cue-line area holds: regular lines as the extraction writes them, and one cue
// line followed by a long run of class characters that never ends in an extension.
#include <benchmark/benchmark.h>

#include <string>

#include "conversion/CueRows.h"

namespace {

constexpr std::size_t kCapacity = 16'777'215;

std::u16string regularLines(std::size_t lines)
{
    std::u16string text;
    for (std::size_t i = 0; i < lines; ++i) {
        std::u16string number = u"000000";
        for (std::size_t n = i, k = number.size(); k > 0 && n > 0; n /= 10) {
            number[--k] = static_cast<char16_t>(u'0' + n % 10);
        }
        text += u"10:00:00:00      10:00:16:06         MUSIC TITLE " + number + u".WAV\r\n";
        if (text.size() > kCapacity - 100) {
            break;
        }
    }
    return text;
}

void BM_RegularLines(benchmark::State& state)
{
    const std::u16string text = regularLines(static_cast<std::size_t>(state.range(0)));
    std::size_t rows = 0;
    for (auto _ : state) {
        tarvelin::VectorCueRowList list;
        tarvelin::ComputeCueRows(text, u"25", true, u',', list);
        rows = list.rows.size();
        benchmark::DoNotOptimize(list.rows.data());
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["chars"] = static_cast<double>(text.size());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size() * 2));
}
BENCHMARK(BM_RegularLines)->Arg(1000)->Arg(10000)->Arg(300000)->Unit(benchmark::kMillisecond);

void BM_TitleNeverEnds(benchmark::State& state)
{
    std::u16string text = u"10:00:00:00      10:00:16:06         ";
    text.append(static_cast<std::size_t>(state.range(0)) - text.size(), u'A');
    for (auto _ : state) {
        tarvelin::VectorCueRowList list;
        tarvelin::ComputeCueRows(text, u"25", true, u',', list);
        benchmark::DoNotOptimize(list.rows.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size() * 2));
}
BENCHMARK(BM_TitleNeverEnds)->Arg(100000)->Arg(kCapacity)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
