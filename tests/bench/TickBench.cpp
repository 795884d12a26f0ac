// One timer tick of the personal-message window against the AIM stand-in holding a 32 KB
// conversation: the mean time of a tick over many, under Wine.
#include <windows.h>

#include <cstdio>
#include <string>

#include "aim/PersonalControls.h"
#include "aim/PersonalWindow.h"
#include "support/StandIn.h"
#include "support/TestSupport.h"

int main() {
    using namespace velmora;
    auto aim = testing::StandInProcess::Start(testing::StandInPath(L"aim-standin.exe"), L"");
    std::string markup;
    for (int line = 0; markup.size() < 32 * 1024; ++line)
        markup += "<B>" + std::string(line % 2 ? "me99" : "pal42") + "</B>: line " + std::to_string(line) +
                  " of a long talk about nothing much<BR>";
    aim.Command("set " + testing::EscapeLine(markup + "<B>pal42</B>: still there?"));

    // Made alone: the program opens it only beside its main window.
    PersonalWindow personal(GetModuleHandleW(nullptr));
    if (!personal.Open()) return 1;
    HWND watch = personal.Handle();
    testing::TypeInto(GetDlgItem(watch, PersonalIds::Text1), L"nobody listed");
    testing::ClickWithMouse(GetDlgItem(watch, PersonalIds::Label2));

    const int ticks = 2000;
    LARGE_INTEGER frequency, begin, end;
    QueryPerformanceFrequency(&frequency);
    for (int i = 0; i < 100; ++i) SendMessageW(watch, WM_TIMER, PersonalIds::Timer1, 0);
    QueryPerformanceCounter(&begin);
    for (int i = 0; i < ticks; ++i) SendMessageW(watch, WM_TIMER, PersonalIds::Timer1, 0);
    QueryPerformanceCounter(&end);
    const double microseconds =
        1e6 * static_cast<double>(end.QuadPart - begin.QuadPart) / static_cast<double>(frequency.QuadPart) / ticks;
    std::printf("personal-message tick against a 32 KB conversation (mean of %d): %.1f us (sender %ls)\n", ticks,
                microseconds, testing::WindowText(GetDlgItem(watch, PersonalIds::Text2)).c_str());
    aim.Quit();
    return 0;
}
