// Auto Reply's watch against 20 IM windows of the AIM stand-in, each holding a 32 KB
// conversation, under Wine: a tick in which nothing changed and a tick in which one
// conversation changed, beside the yardstick of asking each of the 20 windows its length.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "aim/AIM.h"
#include "autoreply/AutoReplyWatch.h"
#include "support/StandIn.h"

namespace {

using namespace velmora;

constexpr int kWindows = 20;

double Microseconds(const LARGE_INTEGER& begin, const LARGE_INTEGER& end) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1e6 * static_cast<double>(end.QuadPart - begin.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// One tick of the watch, from asking to its end.
double TimedTick(AutoReplyWatch& watch, const AutoReplySettings& settings) {
    const std::uint64_t done = watch.TicksDone();
    LARGE_INTEGER begin, end;
    QueryPerformanceCounter(&begin);
    watch.Tick(settings);
    while (watch.TicksDone() == done) SwitchToThread();
    QueryPerformanceCounter(&end);
    return Microseconds(begin, end);
}

}  // namespace

int main() {
    auto aim = testing::StandInProcess::Start(testing::StandInPath(L"aim-standin.exe"), L"");
    std::string markup;
    for (int line = 0; markup.size() < 32 * 1024; ++line)
        markup += "<B>" + std::string(line % 2 ? "me99" : "pal42") + "</B>: line " + std::to_string(line) +
                  " of a long talk about nothing much<BR>";
    markup += "<B>pal42</B>: still there?";
    for (int window = 2; window <= kWindows; ++window) aim.Command("im buddy" + std::to_string(window));
    for (int window = 1; window <= kWindows; ++window)
        aim.Command("at " + std::to_string(window) + " set " + testing::EscapeLine(markup));
    const std::vector<ImWindow> windows = ImWindows();
    if (windows.size() != kWindows) {
        std::printf("expected %d IM windows, found %u\n", kWindows, static_cast<unsigned>(windows.size()));
        return 1;
    }

    AutoReplySettings settings;
    settings.rules = {{L"nobody listed", L"brb"}};
    settings.on = true;
    AutoReplyWatch watch;
    watch.Start(nullptr, 0);
    watch.SwitchOn();
    for (int i = 0; i < 20; ++i) TimedTick(watch, settings);

    // Each measured beside its yardstick, in turns, so a busy machine weighs on both alike.
    const auto askLengths = [&] {
        LARGE_INTEGER begin, end;
        QueryPerformanceCounter(&begin);
        for (ImWindow im : windows) ConversationLengthOf(im);
        QueryPerformanceCounter(&end);
        return Microseconds(begin, end);
    };
    const int rounds = 300;
    std::vector<double> lengths, unchanged, unchangedRatios;
    for (int round = 0; round < rounds; ++round) {
        lengths.push_back(askLengths());
        unchanged.push_back(TimedTick(watch, settings));
        unchangedRatios.push_back(unchanged.back() / lengths.back());
    }
    HANDLE standIn = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, aim.ProcessId());
    std::vector<double> oneChanged, changedRatios;
    for (int round = 0; round < rounds / 3; ++round) {
        // Not timed: the line arriving in one conversation, and the client drawing its pane.
        aim.Command("at " + std::to_string(round % kWindows + 1) + " recv buddy hello " + std::to_string(round));
        if (standIn) WaitForInputIdle(standIn, 2000);
        Sleep(20);
        const double yardstick = askLengths();
        oneChanged.push_back(TimedTick(watch, settings));
        changedRatios.push_back(oneChanged.back() / yardstick);
    }
    if (standIn) CloseHandle(standIn);
    watch.Stop();

    std::printf("20 IM windows, 32 KB each (medians of %d rounds; ratios to the lengths asked in the same round):\n",
                rounds);
    std::printf("  the length of each of the 20 conversations asked: %.0f us\n", Median(lengths));
    std::printf("  a tick in which nothing changed:                  %.0f us (%.2f times the lengths)\n",
                Median(unchanged), Median(unchangedRatios));
    std::printf("  a tick in which one conversation changed:         %.0f us (%.2f times the lengths)\n",
                Median(oneChanged), Median(changedRatios));
    aim.Quit();
    return 0;
}
