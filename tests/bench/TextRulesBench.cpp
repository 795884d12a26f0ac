// The personal-message window's per-tick text work on conversations of 1 KB, 32 KB and 1 MB,
// beside one memchr pass over the same text as the yardstick: the rules composed over the
// whole plain text, and the one-reading forms the AIM module uses.
#include <benchmark/benchmark.h>

#include <cstring>
#include <cwchar>
#include <string>

#include "aim/ImText.h"

namespace {

// A conversation as the IM window's pane holds it: bold names, "<BR>" between lines.
std::wstring Conversation(size_t characters) {
    std::wstring text;
    for (int line = 0; text.size() < characters; ++line) {
        if (!text.empty()) text += L"<BR>";
        text += (line % 2) ? L"<B>me99</B>: sure, see you at " : L"<B>pal42</B>: are we still on for ";
        text += std::to_wstring(line);
        text += L" o'clock? <FONT COLOR=\"#0000FF\">ok</FONT>";
    }
    text.resize(characters);
    return text;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

void MemchrPass(benchmark::State& state) {
    const std::string text = Narrow(Conversation(static_cast<size_t>(state.range(0))));
    for (auto _ : state) benchmark::DoNotOptimize(std::memchr(text.data(), '\x01', text.size()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void WideMemchrPass(benchmark::State& state) {
    const std::wstring text = Conversation(static_cast<size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(std::wmemchr(text.data(), L'\x01', text.size()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void PlainTextLastLineAndSender(benchmark::State& state) {
    const std::wstring text = Conversation(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        const std::wstring plain = velmora::HtmlToPlainText(text);
        benchmark::DoNotOptimize(velmora::SenderOfLine(velmora::LastImLineOf(plain)));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void SenderOfConversationOneReading(benchmark::State& state) {
    const std::wstring text = Conversation(static_cast<size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(velmora::SenderOfConversation(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void LastLineOneReading(benchmark::State& state) {
    const std::wstring text = Conversation(static_cast<size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(velmora::LastImLineOfConversation(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

}  // namespace

BENCHMARK(MemchrPass)->Arg(1 << 10)->Arg(32 << 10)->Arg(1 << 20);
BENCHMARK(WideMemchrPass)->Arg(1 << 10)->Arg(32 << 10)->Arg(1 << 20);
BENCHMARK(PlainTextLastLineAndSender)->Arg(1 << 10)->Arg(32 << 10)->Arg(1 << 20);
BENCHMARK(SenderOfConversationOneReading)->Arg(1 << 10)->Arg(32 << 10)->Arg(1 << 20);
BENCHMARK(LastLineOneReading)->Arg(1 << 10)->Arg(32 << 10)->Arg(1 << 20);
BENCHMARK_MAIN();
