// Reading a stored away message back (Stored Messages reads every listed value on each change
// of the registry) for messages of 1 KB, 32 KB and 1 MB, beside one wmemchr pass over the same
// document as the yardstick: Velmora's own document without and with the song line, and
// foreign markup. And a document stored for the Western code page (what Update and the preview
// build at each change): of Latin text, and of Cyrillic, which is all character references; the
// Cyrillic one read back.
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

bool Latin1(char32_t c) { return c < 0x100; }

velmora::AwayFields Fields(bool cyrillic, std::size_t characters) {
    velmora::AwayFields fields;
    fields.label = L"Lunch";
    fields.bodyColour = L"FFFFFF";
    fields.fontColour = L"000080";
    fields.fontSize = L"2";
    fields.message = Message(characters);
    if (cyrillic)
        for (wchar_t& c : fields.message)
            if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + 0x430);
    return fields;
}

template <bool cyrillic>
void Stored(benchmark::State& state) {
    const velmora::AwayFields fields = Fields(cyrillic, static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(velmora::BuildAwayDocument(fields, std::nullopt, Latin1));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void StoredLatin(benchmark::State& state) { Stored<false>(state); }
void StoredCyrillic(benchmark::State& state) { Stored<true>(state); }

void CyrillicReadBack(benchmark::State& state) {
    const std::wstring text =
        velmora::BuildAwayDocument(Fields(true, static_cast<std::size_t>(state.range(0))), std::nullopt, Latin1);
    for (auto _ : state) benchmark::DoNotOptimize(velmora::ReadAwayDocument(text, Latin1));
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
BENCHMARK(StoredLatin)->Arg(1 << 10)->Arg(32 << 10)->Arg(1 << 20);
BENCHMARK(StoredCyrillic)->Arg(1 << 10)->Arg(32 << 10)->Arg(1 << 20);
BENCHMARK(CyrillicReadBack)->Arg(1 << 10)->Arg(32 << 10)->Arg(1 << 20);
BENCHMARK_MAIN();
