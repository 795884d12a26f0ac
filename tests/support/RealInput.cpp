#include "support/RealInput.h"

#include <thread>
#include <vector>

namespace velmora::testing {
namespace {

void SendOne(INPUT input) { SendInput(1, &input, sizeof(INPUT)); }

INPUT KeyInput(WORD virtualKey, wchar_t unicode, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = unicode;
    input.ki.dwFlags = (unicode ? KEYEVENTF_UNICODE : 0) | (up ? KEYEVENTF_KEYUP : 0);
    return input;
}

void Pause() { std::this_thread::sleep_for(std::chrono::milliseconds(30)); }

std::wstring ArtifactsFolder() {
    wchar_t configured[MAX_PATH]{};
    if (GetEnvironmentVariableW(L"VELMORA_ARTIFACTS", configured, MAX_PATH) > 0) return configured;
    std::wstring exe(MAX_PATH, L'\0');
    exe.resize(GetModuleFileNameW(nullptr, exe.data(), MAX_PATH));
    return exe.substr(0, exe.find_last_of(L"\\/")) + L"\\realinput-shots";
}

}  // namespace

void ClickAt(POINT screen) {
    // Each event carries its own position, so the click lands where the move went.
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN), height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screen.x - left, 65535, width - 1);
    input.mi.dy = MulDiv(screen.y - top, 65535, height - 1);
    for (DWORD button : {0ul, static_cast<DWORD>(MOUSEEVENTF_LEFTDOWN), static_cast<DWORD>(MOUSEEVENTF_LEFTUP)}) {
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK | button;
        SendOne(input);
        Pause();
    }
}

bool ClickToFocus(HWND control) {
    ClickControl(control);
    return WaitUntil([control] { return HasFocus(control); }, 5000);
}

bool HasFocus(HWND control) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(control, nullptr), &info)) return false;
    // An editable combo box has its focus in its own edit field.
    return info.hwndFocus == control || GetParent(info.hwndFocus) == control;
}

void ClickControl(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    ClickAt({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
}

void ClickControlAt(HWND control, int x, int y) {
    RECT rect{};
    GetWindowRect(control, &rect);
    ClickAt({rect.left + x, rect.top + y});
}

void PressKey(WORD virtualKey) {
    SendOne(KeyInput(virtualKey, 0, false));
    SendOne(KeyInput(virtualKey, 0, true));
    Pause();
}

void PressKeys(std::initializer_list<WORD> chord) {
    for (WORD key : chord) SendOne(KeyInput(key, 0, false));
    for (auto key = std::rbegin(chord); key != std::rend(chord); ++key) SendOne(KeyInput(*key, 0, true));
    Pause();
}

void TypeText(const std::wstring& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\r') continue;
        if (c == L'\n') {
            PressKey(VK_RETURN);
            continue;
        }
        SendOne(KeyInput(0, c, false));
        SendOne(KeyInput(0, c, true));
    }
    Pause();
}

void SelectAllInField(bool multiLine) {
    if (multiLine) {
        PressKeys({VK_CONTROL, VK_HOME});
        PressKeys({VK_CONTROL, VK_SHIFT, VK_END});
    } else {
        PressKey(VK_HOME);
        PressKeys({VK_SHIFT, VK_END});
    }
}

void Settle(HANDLE process) {
    if (process) WaitForInputIdle(process, 5000);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
}

std::wstring SaveScreenshot(const std::wstring& step) {
    const std::wstring folder = ArtifactsFolder();
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring path = folder + L"\\" + step + L".bmp";
    HDC screen = GetDC(nullptr);
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN), height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    const DWORD stride = static_cast<DWORD>((width * 3 + 3) & ~3);
    const DWORD imageSize = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
    file.bfSize = file.bfOffBits + imageSize;
    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(out, &file, sizeof(file), &written, nullptr);
        WriteFile(out, &info.bmiHeader, sizeof(info.bmiHeader), &written, nullptr);
        WriteFile(out, bits, imageSize, &written, nullptr);
        CloseHandle(out);
    }
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return path;
}

}  // namespace velmora::testing
