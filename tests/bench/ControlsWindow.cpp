// A second yardstick for start-up and memory: a window holding the main window's controls,
// made with plain window-system calls and nothing else of Velmora (no icons, no painting, no
// lists, no settings file). What Velmora takes beyond it is Velmora's own work.
#include <windows.h>

#include <vector>

#include "app/AwayWindow.h"
#include "misc/Dpi.h"
#include "misc/Scale.h"

namespace {

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

struct MadeFont {
    velmora::FontSpec spec;
    HFONT font;
};

HFONT FontFor(std::vector<MadeFont>& made, const velmora::FontSpec& spec, int dpi) {
    for (const MadeFont& font : made)
        if (font.spec == spec) return font.font;
    LOGFONTW logFont{};
    logFont.lfHeight = velmora::FontHeightForDpi(spec.centiPoints, dpi);
    logFont.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
    logFont.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(logFont.lfFaceName, spec.face, LF_FACESIZE);
    made.push_back({spec, CreateFontIndirectW(&logFont)});
    return made.back().font;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"ControlsWindow";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, L"ControlsWindow", L"Controls", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 340, 420, nullptr, nullptr, instance, nullptr);
    const int dpi = static_cast<int>(velmora::DpiForWindow(window));
    std::vector<MadeFont> fonts;
    for (const velmora::ControlSpec& spec : velmora::AwayControlTable()) {
        const int x = velmora::ScaleForDpi(spec.x, dpi), y = velmora::ScaleForDpi(spec.y, dpi);
        HWND control =
            CreateWindowExW(spec.exStyle, spec.className, spec.text, spec.style | WS_CHILD | WS_VISIBLE, x, y,
                            velmora::ScaleForDpi(spec.width, dpi), velmora::ScaleForDpi(spec.height, dpi), window,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), instance, nullptr);
        const velmora::FontSpec& font = spec.font.face ? spec.font : velmora::AwayControlFont();
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(fonts, font, dpi)), FALSE);
    }
    ShowWindow(window, SW_SHOWNORMAL);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}
