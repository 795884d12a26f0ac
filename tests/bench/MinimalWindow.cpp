// The yardstick for start-up and memory: a Win32 program that only shows an empty window,
// built with the same compiler and flags as Velmora. Built a second time with
// VELMORA_WITH_AWAY_CONTROLS, the same window holds the main window's controls (ControlsWindow.cpp).
#include <windows.h>

#ifdef VELMORA_WITH_AWAY_CONTROLS
#include "ControlsWindow.h"
#endif

static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"MinimalWindow";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, L"MinimalWindow", L"Minimal", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  340, 420, nullptr, nullptr, instance, nullptr);
#ifdef VELMORA_WITH_AWAY_CONTROLS
    MakeAwayControls(window, instance);
#endif
    ShowWindow(window, SW_SHOWNORMAL);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}
