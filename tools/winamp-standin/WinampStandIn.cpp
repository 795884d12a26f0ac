// winamp-standin: a window of Winamp's main-window class whose title is all
// Velmora reads of the player. The title comes from the command line and can
// be changed while running through commands on standard input:
//   title <text>   set the window title to <text> (verbatim, may be empty)
//   quit           close the window and end with exit code 0
// "ready" is printed once the window exists; each command is answered by "ok"
// or "error <why>". Text is in the ANSI code page and every window call uses
// the "A" form, as the real player does.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <atomic>
#include <string>
#include <string_view>

namespace velmora::standin {
namespace {

constexpr char kWindowClass[] = "Winamp v1.x";
constexpr char kDefaultTitle[] = "1. Velmora Stand-in - Demo Song - Winamp";
constexpr UINT kCommandMessage = WM_APP + 1;  // lParam: CommandExchange*

struct CommandExchange {
    std::string line;
    std::string answer;        // "ok" or "error <why>"
    bool lastCommand = false;  // quit: nothing is read after it
};

// Written by the UI thread, read by the command reader.
std::atomic<HWND> g_mainWindow{nullptr};
HANDLE g_readerThread = nullptr;
bool g_quitRequested = false;

void WriteLine(std::string_view text) {
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (output == nullptr || output == INVALID_HANDLE_VALUE) return;
    std::string line(text);
    line += '\n';
    DWORD written = 0;
    WriteFile(output, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    FlushFileBuffers(output);
}

// Runs on the UI thread, which owns the window.
std::string HandleCommand(const std::string& line, CommandExchange& exchange) {
    const std::size_t space = line.find(' ');
    const std::string name = line.substr(0, space);
    const std::string argument = space == std::string::npos ? std::string() : line.substr(space + 1);

    if (name == "title") {
        if (!SetWindowTextA(g_mainWindow.load(), argument.c_str())) return "error the title could not be set";
        return "ok";
    }
    if (name == "quit") {
        g_quitRequested = true;
        exchange.lastCommand = true;
        DestroyWindow(g_mainWindow.load());
        return "ok";
    }
    if (name.empty()) return "error empty command";
    return "error unknown command " + name;
}

void Paint(HWND window) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    RECT client{};
    GetClientRect(window, &client);
    FillRect(dc, &client, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));

    const int length = GetWindowTextLengthA(window);
    std::string title(static_cast<std::size_t>(length) + 1, '\0');
    GetWindowTextA(window, title.data(), length + 1);
    title.resize(static_cast<std::size_t>(length));

    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    DrawTextA(dc, title.c_str(), length, &client,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    EndPaint(window, &paint);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        switch (message) {
            case kCommandMessage: {
                auto* exchange = reinterpret_cast<CommandExchange*>(lParam);
                exchange->answer = HandleCommand(exchange->line, *exchange);
                return 0;
            }
            case WM_SETTEXT: {
                // The title is painted in the client area too, so it must be redrawn.
                const LRESULT result = DefWindowProcA(window, message, wParam, lParam);
                InvalidateRect(window, nullptr, TRUE);
                return result;
            }
            case WM_PAINT: Paint(window); return 0;
            case WM_DESTROY:
                g_mainWindow = nullptr;
                PostQuitMessage(0);
                return 0;
            default: break;
        }
    } catch (...) {
        // An exception must not unwind through the window system.
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Reads commands line by line and hands each to the UI thread, answering only
// once the UI thread has carried it out. ReadFile instead of the C runtime so
// that the process can end while this thread is blocked in a read.
DWORD WINAPI ReadCommands(void*) {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (input == nullptr || input == INVALID_HANDLE_VALUE) return 0;

    std::string pending;
    char buffer[4096];
    bool endOfInput = false;
    while (!endOfInput) {
        DWORD read = 0;
        if (!ReadFile(input, buffer, sizeof buffer, &read, nullptr) || read == 0) {
            endOfInput = true;
            if (pending.empty()) break;
            pending += '\n';  // a last line without a line break still counts
        } else {
            pending.append(buffer, read);
        }

        std::size_t lineEnd;
        while ((lineEnd = pending.find('\n')) != std::string::npos) {
            CommandExchange exchange;
            exchange.line = pending.substr(0, lineEnd);
            pending.erase(0, lineEnd + 1);
            if (!exchange.line.empty() && exchange.line.back() == '\r') exchange.line.pop_back();

            HWND target = g_mainWindow;
            if (target == nullptr) return 0;
            SendMessageA(target, kCommandMessage, 0, reinterpret_cast<LPARAM>(&exchange));
            if (exchange.answer.empty()) return 0;  // the window is gone
            WriteLine(exchange.answer);
            if (exchange.lastCommand) return 0;
        }
    }
    // End of input: the window stays until its close box is used.
    return 0;
}

int Run(int argc, char** argv) {
    HINSTANCE instance = GetModuleHandleA(nullptr);

    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassExA(&windowClass)) {
        WriteLine("error the window class could not be registered");
        return 1;
    }

    const char* title = argc > 1 ? argv[1] : kDefaultTitle;
    HWND window = CreateWindowExA(0, kWindowClass, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 480, 120,
                                  nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        WriteLine("error the window could not be created");
        return 1;
    }
    g_mainWindow = window;
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    WriteLine("ready");

    g_readerThread = CreateThread(nullptr, 0, ReadCommands, nullptr, 0, nullptr);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }

    // After "quit" the reader still has to write its "ok"; let it finish so the
    // answer is not lost when the process ends.
    if (g_quitRequested && g_readerThread != nullptr) WaitForSingleObject(g_readerThread, 5000);
    if (g_readerThread != nullptr) CloseHandle(g_readerThread);
    return 0;
}

}  // namespace
}  // namespace velmora::standin

int main(int argc, char** argv) { return velmora::standin::Run(argc, argv); }
