// Reading a stored away message back (Stored Messages reads every listed value on each change
// of the registry) for messages of 1 KB, 32 KB and 1 MB, beside one wmemchr pass over the same
// document as the yardstick: Velmora's own document without and with the song line, and
// foreign markup.
#include <benchmark/benchmark.h>

#include <cwchar>
#include <string>

#include "compose/AwayDocument.h"
#include "stored/StoredDocument.h"

namespace {

std::wstring Message(std::size_t characters) {
    std::wstring text;
    while (text.size() < characters) text += L"Out to lunch, <b>back</b> at %t.\r\nLeave a note, %n! ";
    text.resize(characters);
    return text;
}

std::wstring Document(int kind, std::size_t characters) {
    const std::wstring message = Message(characters);
    if (kind == 2) return L"<html><body bgcolor=navy><font color=white size=3>" + message + L"</font></body></html>";
    return velmora::BuildAwayDocument(L"Lunch", L"FFFFFF", L"000080", L"2", message,
                                      kind == 1 ? std::optional<std::wstring_view>(L"Artist - Title") : std::nullopt);
}

void WideMemchrPass(benchmark::State& state) {
    const std::wstring text = Document(0, static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(std::wmemchr(text.data(), L'\x01', text.size()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

template <int kind>
void ReadBack(benchmark::State& state) {
    const std::wstring text = Document(kind, static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(velmora::ReadAwayDocument(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void OwnDocument(benchmark::State& state) { ReadBack<0>(state); }
void OwnDocumentWithSong(benchmark::State& state) { ReadBack<1>(state); }
void ForeignDocument(benchmark::State& state) { ReadBack<2>(state); }

}  // namespace

BENCHMARK(WideMemchrPass)->Arg(1 << 10)->Arg(32 << 10)->Arg(1 << 20);
BENCHMARK(OwnDocument)->Arg(1 << 10)->Arg(32 << 10)->Arg(1 << 20);
BENCHMARK(OwnDocumentWithSong)->Arg(1 << 10)->Arg(32 << 10)->Arg(1 << 20);
BENCHMARK(ForeignDocument)->Arg(1 << 10)->Arg(32 << 10)->Arg(1 << 20);
BENCHMARK_MAIN();
