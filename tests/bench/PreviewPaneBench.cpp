// The preview's rendering pane under Wine with a 32 KB away message: a new document (placeholders
// filled, markup read, laid out with GDI measuring) and one paint of what is in view, as the
// mean over many, beside the same work natively (velmora_preview_bench).
#include <windows.h>

#include <cstdio>
#include <string>

#include "compose/AwayDocument.h"
#include "preview/Markup.h"
#include "preview/RenderPane.h"

namespace {

std::wstring Message(std::size_t characters, wchar_t variant) {
    std::wstring text;
    for (int line = 0; text.size() < characters; ++line) {
        text += L"Out to lunch with <b>everyone</b> until ";
        text += static_cast<wchar_t>(L'1' + line % 9);
        text += L" o'clock, <font color=\"#0000FF\" size=4>call</font> me &amp; leave a note, %n!";
        text += (line % 4 == 3) ? L"<BR>\r\n" : L" ";
    }
    text.resize(characters);
    text.back() = variant;
    return velmora::BuildAwayDocument(L"Lunch", L"FFFFFF", L"000080", L"2", text, std::wstring_view(L"A - B"));
}

double Microseconds(const LARGE_INTEGER& begin, const LARGE_INTEGER& end, int count) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1e6 * static_cast<double>(end.QuadPart - begin.QuadPart) / static_cast<double>(frequency.QuadPart) / count;
}

}  // namespace

int main() {
    using namespace velmora;
    HWND parent = CreateWindowExW(0, L"STATIC", L"pane bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 400,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    RenderPane pane;
    if (!parent || !pane.Create(parent, 1, RECT{8, 8, 352, 214})) return 1;
    const std::wstring documents[] = {Message(32 * 1024, L'x'), Message(32 * 1024, L'y')};

    const int rounds = 200;
    LARGE_INTEGER begin, end;
    // The part without the window system: placeholders filled and the markup read.
    QueryPerformanceCounter(&begin);
    for (int i = 0; i < rounds; ++i) {
        const MarkupDocument read =
            ReadMarkup(FillDocumentPlaceholders(documents[i % 2], L"Buddy", L"1/1/2026", L"9:00"));
        if (read.items.empty()) return 1;
    }
    QueryPerformanceCounter(&end);
    const double reading = Microseconds(begin, end, rounds);

    for (int i = 0; i < 20; ++i) pane.SetDocument(documents[i % 2]);
    QueryPerformanceCounter(&begin);
    for (int i = 0; i < rounds; ++i) pane.SetDocument(documents[i % 2]);
    QueryPerformanceCounter(&end);
    const double layout = Microseconds(begin, end, rounds);

    QueryPerformanceCounter(&begin);
    for (int i = 0; i < rounds; ++i) RedrawWindow(pane.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    QueryPerformanceCounter(&end);
    const double paint = Microseconds(begin, end, rounds);

    std::printf(
        "preview pane, 32 KB message (mean of %d): new document %.0f us (of which filling and reading %.0f us), "
        "paint %.0f us\n",
        rounds, layout, reading, paint);
    DestroyWindow(parent);
    return 0;
}
