// Opens Velmora's windows for scripts/screenshots.sh, as the user would through the main
// window's buttons and menu, and says where each one is on the (virtual) desktop.
//   window-driver list             the windows it knows, one name a line
//   window-driver show NAME        opens NAME (if it is not open), brings it to the front and
//                                  prints "x y width height"; exit 1 when it does not open
//   window-driver close NAME       closes NAME as its close box would
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <thread>

#include "app/AwayControls.h"
#include "stored/StoredControls.h"

namespace {

using namespace velmora::AwayIds;

struct Known {
    const wchar_t* name;
    const wchar_t* title;
    int openedBy;  // a button or menu entry of the main window; 0 for the main window
    bool isButton;
    bool besideMain = false;  // shown with a message composed, in one picture with the main window
    int inStored = 0;         // opened then by this button of Stored Messages
};

// Every window Velmora has or will have; the ones not built yet simply do not open.
constexpr Known kWindows[] = {
    {L"main", L"Velmora", 0, false},
    {L"font-colour", L"Font Color", Command7, true},
    {L"body-colour", L"Body Color", Command8, true},
    {L"personal-message", L"Personal Away Msg", MenuPerna, false},
    {L"help", L"Help", MenuHlpe, false},
    {L"about", L"About", MenuAbast, false},
    {L"preview", L"Preview", MenuPreview, false, true},
    {L"stored-messages", L"Stored Messages", MenuStored, false},
    {L"auto-reply", L"Auto Reply", MenuAutoReply, false},
    {L"copy-stored", L"Copy Stored Messages", MenuStored, false, false, velmora::StoredIds::CopyTo},
    {L"back-up-stored", L"Back Up Stored Messages", MenuStored, false, false, velmora::StoredIds::BackUp},
    {L"restore-stored", L"Restore Stored Messages", MenuStored, false, false, velmora::StoredIds::RestoreFrom},
};

// Types a message into the main window's fields, as the preview's picture shows it.
void ComposeMessage(HWND main) {
    const auto type = [main](int id, const wchar_t* text) {
        HWND field = GetDlgItem(main, id);
        SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
        // A multi-line box does not announce a text set this way; typing would.
        SendMessageW(main, WM_COMMAND, MAKEWPARAM(id, EN_CHANGE), reinterpret_cast<LPARAM>(field));
    };
    // Room on the right for the preview, which opens beside the main window.
    RECT place{};
    GetWindowRect(main, &place);
    SetWindowPos(main, nullptr, 10, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    type(Text1, L"Out to lunch");
    type(Text6, L"000080");
    type(Text7, L"FFF8DC");
    type(Text2_0,
         L"Hi %n! I'm out to lunch, back at <b>2</b>.<BR>"
         L"Call my <font color=\"#C00000\">cell</font> if it <i>can't</i> wait.<BR>"
         L"<font size=2>Photos: <a href=\"https://velmora.github.io\">velmora.github.io</a></font>");
    HWND sizes = GetDlgItem(main, Combo1);
    SendMessageW(sizes, CB_SETCURSEL, 2, 0);
    SendMessageW(main, WM_COMMAND, MAKEWPARAM(Combo1, CBN_SELCHANGE), reinterpret_cast<LPARAM>(sizes));
}

struct Search {
    DWORD processId;
    const wchar_t* title;
    HWND found;
};

BOOL CALLBACK Match(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (search->processId && owner != search->processId) return TRUE;
    if (!IsWindowVisible(window)) return TRUE;
    wchar_t title[256]{};
    GetWindowTextW(window, title, 256);
    if (std::wcscmp(title, search->title) != 0) return TRUE;
    search->found = window;
    return FALSE;
}

HWND MainWindow() { return FindWindowW(L"VelmoraAway", L"Velmora"); }

HWND FindVelmoraWindow(const wchar_t* title) {
    HWND main = MainWindow();
    if (!main) return nullptr;
    Search search{0, title, nullptr};
    GetWindowThreadProcessId(main, &search.processId);
    EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitFor(const wchar_t* title, int seconds) {
    for (int i = 0; i < seconds * 10; ++i) {
        if (HWND window = FindVelmoraWindow(title)) return window;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return nullptr;
}

const Known* Lookup(const wchar_t* name) {
    for (const Known& known : kWindows)
        if (std::wcscmp(known.name, name) == 0) return &known;
    return nullptr;
}

int Show(const Known& known) {
    HWND window = FindVelmoraWindow(known.title);
    if (!window && known.openedBy) {
        HWND main = WaitFor(L"Velmora", 30);
        if (!main) return 1;
        if (known.besideMain) ComposeMessage(main);
        if (known.isButton)
            PostMessageW(GetDlgItem(main, known.openedBy), BM_CLICK, 0, 0);
        else
            PostMessageW(main, WM_COMMAND, MAKEWPARAM(known.openedBy, 0), 0);
        if (known.inStored) {
            HWND stored = WaitFor(L"Stored Messages", 5);
            if (!stored) return 1;
            // Stored Messages reads its list beside the window; Copy works once a message is chosen.
            HWND list = GetDlgItem(stored, velmora::StoredIds::Messages);
            for (int i = 0; i < 50 && SendMessageW(list, LB_GETCURSEL, 0, 0) < 0; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            PostMessageW(GetDlgItem(stored, known.inStored), BM_CLICK, 0, 0);
        }
        window = WaitFor(known.title, 5);
    } else if (!window) {
        window = WaitFor(known.title, 30);
    }
    if (!window) return 1;
    SetForegroundWindow(window);
    BringWindowToTop(window);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT rect{};
    GetWindowRect(window, &rect);
    if (known.besideMain) {
        RECT main{};
        GetWindowRect(MainWindow(), &main);
        UnionRect(&rect, &rect, &main);
    }
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    return 0;
}

int Close(const Known& known) {
    HWND window = FindVelmoraWindow(known.title);
    if (!window) return 1;
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    for (int i = 0; i < 50 && IsWindow(window); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return IsWindow(window) ? 1 : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 2 && std::wcscmp(argv[1], L"list") == 0) {
        for (const Known& known : kWindows) std::printf("%ls\n", known.name);
        return 0;
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: window-driver list | show NAME | close NAME\n");
        return 2;
    }
    const Known* known = Lookup(argv[2]);
    if (!known) {
        std::fprintf(stderr, "window-driver: no window called %ls\n", argv[2]);
        return 2;
    }
    if (std::wcscmp(argv[1], L"show") == 0) return Show(*known);
    if (std::wcscmp(argv[1], L"close") == 0) return Close(*known);
    return 2;
}
