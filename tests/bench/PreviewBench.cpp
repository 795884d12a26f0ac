// The preview's work on each keystroke, for messages of 1 KB, 32 KB and 1 MB: reading the
// markup, and laying it out at a width with a measurer that costs as little as it can, beside
// one wmemchr pass over the same text as the yardstick. (On Windows the GDI measuring adds its
// own cost, one call per run of text.)
#include <benchmark/benchmark.h>

#include <cwchar>
#include <string>

#include "compose/AwayDocument.h"
#include "preview/Markup.h"
#include "preview/TextLayout.h"

namespace {

// An away message as people write them: words, some bold and coloured runs, line breaks.
std::wstring Message(std::size_t characters) {
    std::wstring text;
    for (int line = 0; text.size() < characters; ++line) {
        text += L"Out to lunch with <b>everyone</b> until ";
        text += std::to_wstring(line % 12 + 1);
        text += L" o'clock, <font color=\"#0000FF\" size=4>call</font> me &amp; leave a note!";
        text += (line % 4 == 3) ? L"<BR>\r\n" : L" ";
    }
    text.resize(characters);
    return velmora::BuildAwayDocument(L"Lunch", L"FFFFFF", L"000080", L"2", text, std::wstring_view(L"A - B"));
}

class FixedWidthMeasurer final : public velmora::TextMeasurer {
public:
    velmora::FontMetrics Metrics(const velmora::MarkupDocument&, const velmora::TextStyle& style) override {
        const int points = velmora::PointsOfHtmlSize(style.htmlSize);
        return {points, points / 4};
    }
    void Advances(const velmora::MarkupDocument&, const velmora::TextStyle& style, std::wstring_view text,
                  int* advances) override {
        const int width = velmora::PointsOfHtmlSize(style.htmlSize) * 2 / 3;
        for (std::size_t i = 0; i < text.size(); ++i) advances[i] = static_cast<int>(i + 1) * width;
    }
};

void WideMemchrPass(benchmark::State& state) {
    const std::wstring text = Message(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(std::wmemchr(text.data(), L'\x01', text.size()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void ReadMarkupOnly(benchmark::State& state) {
    const std::wstring text = Message(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(velmora::ReadMarkup(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void ReadAndLayOut(benchmark::State& state) {
    const std::wstring text = Message(static_cast<std::size_t>(state.range(0)));
    FixedWidthMeasurer measurer;
    for (auto _ : state) {
        const velmora::MarkupDocument document = velmora::ReadMarkup(text);
        benchmark::DoNotOptimize(velmora::LayOutMarkup(document, measurer, 340, 12));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void LayOutOnly(benchmark::State& state) {
    const velmora::MarkupDocument document = velmora::ReadMarkup(Message(static_cast<std::size_t>(state.range(0))));
    FixedWidthMeasurer measurer;
    for (auto _ : state) benchmark::DoNotOptimize(velmora::LayOutMarkup(document, measurer, 340, 12));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

}  // namespace

BENCHMARK(WideMemchrPass)->Arg(1 << 10)->Arg(32 << 10)->Arg(1 << 20);
BENCHMARK(ReadMarkupOnly)->Arg(1 << 10)->Arg(32 << 10)->Arg(1 << 20);
BENCHMARK(LayOutOnly)->Arg(1 << 10)->Arg(32 << 10)->Arg(1 << 20);
BENCHMARK(ReadAndLayOut)->Arg(1 << 10)->Arg(32 << 10)->Arg(1 << 20);
BENCHMARK_MAIN();
