#include <algorithm>

#include "misc/Dpi.h"
#include "misc/Failure.h"
#include "misc/Scale.h"
#include "misc/Window.h"

namespace velmora {
namespace {

int g_openWindows = 0;

// A top-level class has the dialog face as its background; a child class (background nullptr)
// paints every pixel itself, once.
void RegisterClassOnce(const wchar_t* className, HINSTANCE instance, WNDPROC procedure, HBRUSH background,
                       int iconId) noexcept {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(instance, className, &existing)) return;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = className;
    if (iconId) {
        windowClass.hIcon = static_cast<HICON>(
            LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
        windowClass.hIconSm =
            static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                          GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    }
    RegisterClassExW(&windowClass);
}

// Gives a control the focus as a dialog does: a text box gets its text selected, so typing
// replaces it.
void FocusAsDialog(HWND control) noexcept {
    if (SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(control, EM_SETSEL, 0, -1);
    SetFocus(control);
}

bool KeyIsDown(int key) noexcept { return GetKeyState(key) < 0; }

}  // namespace

Window::~Window() {
    if (hwnd_) {
        // Its owner did not Destroy() it: the derived part is gone already, and the window must
        // not call back into it; its own cleanup is skipped.
        HWND window = hwnd_;
        LetGo();
        DestroyWindow(window);
    }
}

void Window::Destroy() noexcept {
    if (hwnd_) DestroyWindow(hwnd_);
}

void Window::LetGo() noexcept {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
    if (!child_ && --g_openWindows == 0) PostQuitMessage(0);
}

int Window::OpenWindowCount() noexcept { return g_openWindows; }

void Window::BringToFront() noexcept {
    if (!hwnd_) return;
    if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    BringWindowToTop(hwnd_);
}

SIZE Window::OuterSizeAt(UINT dpi) const noexcept {
    const SIZE client{ScaleForDpi(clientWidth_, static_cast<int>(dpi)),
                      ScaleForDpi(clientHeight_, static_cast<int>(dpi))};
    return OuterSizeForClient(client, style_, 0, dpi);
}

bool Window::Create(const WindowDesign& design, HINSTANCE instance) {
    RegisterClassOnce(design.className, instance, &Window::Procedure, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                      design.iconId);
    child_ = false;
    style_ = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | (design.minimiseBox ? WS_MINIMIZEBOX : 0) |
             (design.sizable ? WS_THICKFRAME | WS_MAXIMIZEBOX : 0);
    clientWidth_ = design.clientWidth;
    clientHeight_ = design.clientHeight;
    // Created hidden at the system DPI, then sized for the DPI of the monitor it lands on.
    const SIZE guess = OuterSizeAt(SystemDpi());
    HWND window = CreateWindowExW(0, design.className, design.title, style_, CW_USEDEFAULT, CW_USEDEFAULT, guess.cx,
                                  guess.cy, nullptr, nullptr, instance, this);
    if (!window) return false;
    const SIZE outer = OuterSizeAt(DpiForWindow(window));
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int x = work.left + ((work.right - work.left) - outer.cx) / 2;
    const int y = work.top + ((work.bottom - work.top) - outer.cy) / 2;
    SetWindowPos(window, nullptr, x, y, outer.cx, outer.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    return true;
}

bool Window::CreateChild(const wchar_t* className, HWND parent, int id, const RECT& rect, DWORD style, DWORD exStyle) {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    RegisterClassOnce(className, instance, &Window::Procedure, nullptr, 0);
    child_ = true;
    style_ = style | WS_CHILD;
    return CreateWindowExW(exStyle, className, L"", style_, rect.left, rect.top, rect.right - rect.left,
                           rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                           this) != nullptr;
}

void Window::OnDpiChanged(UINT /*dpi*/) {}

HWND Window::FirstFocus() const noexcept { return GetNextDlgTabItem(hwnd_, nullptr, FALSE); }

void Window::OpenBeside(HWND other, WINDOWPOS& place, Side preferred, bool elseAtEdge) const noexcept {
    if (!other || IsWindowVisible(hwnd_) || (place.flags & SWP_NOMOVE) || (place.flags & SWP_NOSIZE)) return;
    RECT beside{};
    GetWindowRect(other, &beside);
    // The work area of the screen the other window is on, not always the primary one.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    RECT work{};
    if (GetMonitorInfoW(MonitorFromWindow(other, MONITOR_DEFAULTTONEAREST), &monitor))
        work = monitor.rcWork;
    else
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int gap = ScaleForDpi(8, static_cast<int>(DpiForWindow(hwnd_)));
    const Spot spot = PlaceBeside({beside.left, beside.top, beside.right, beside.bottom},
                                  {work.left, work.top, work.right, work.bottom}, place.cx, place.cy, gap,
                                  {place.x, place.y}, preferred, elseAtEdge);
    place.x = spot.x;
    place.y = spot.y;
}

bool Window::MoveFocusOnTab(const MSG& message) noexcept {
    if (message.message != WM_KEYDOWN || message.wParam != VK_TAB || !message.hwnd) return false;
    // Ctrl+Tab and Alt+Tab keep their own meanings.
    if (KeyIsDown(VK_CONTROL) || KeyIsDown(VK_MENU)) return false;
    HWND root = GetAncestor(message.hwnd, GA_ROOT);
    if (!root || root == message.hwnd) return false;
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(root, GWLP_WNDPROC)) != &Window::Procedure) return false;
    const LRESULT code = SendMessageW(message.hwnd, WM_GETDLGCODE, message.wParam, reinterpret_cast<LPARAM>(&message));
    if (!(code & (DLGC_WANTTAB | DLGC_WANTALLKEYS))) return false;
    // The key is used up here either way: nothing is typed into the box.
    HWND next = GetNextDlgTabItem(root, message.hwnd, KeyIsDown(VK_SHIFT));
    if (next && next != message.hwnd) FocusAsDialog(next);
    return true;
}

bool Window::TakeWindowKey(const MSG& message) noexcept {
    switch (message.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYUP: break;
        default: return false;
    }
    if (!message.hwnd) return false;
    HWND root = GetAncestor(message.hwnd, GA_ROOT);
    if (!root || reinterpret_cast<WNDPROC>(GetWindowLongPtrW(root, GWLP_WNDPROC)) != &Window::Procedure) return false;
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(root, GWLP_USERDATA));
    if (!self) return false;
    try {
        return self->OnWindowKey(message);
    } catch (...) {
        return false;
    }
}

void Window::OnActivate(bool active, bool minimised) noexcept {
    if (!active) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd_, focus)) focusOnReturn_ = focus;
        return;
    }
    if (minimised) return;
    RestoreFocus();
    // A window with no control to focus takes the keys itself, as it would by default.
    if (!GetFocus()) SetFocus(hwnd_);
}

void Window::RestoreFocus() noexcept {
    if (focusOnReturn_ && IsWindow(focusOnReturn_) && IsChild(hwnd_, focusOnReturn_)) {
        SetFocus(focusOnReturn_);
        return;
    }
    focusOnReturn_ = nullptr;
    if (HWND first = FirstFocus()) FocusAsDialog(first);
}

void Window::FollowDpiChange(UINT dpi, const RECT& suggested) {
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    OnDpiChanged(dpi);
    // The labels draw over the window's own painting, so both are painted afresh.
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LRESULT Window::DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    Window* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = window;
        if (!self->child_) ++g_openWindows;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(window, message, wParam, lParam);

    LRESULT result = 0;
    try {
        // Every window follows a DPI change the same way; a window that handles the message
        // itself as well still sees it.
        if (message == WM_DPICHANGED) self->FollowDpiChange(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        // The focus is kept alike in every top-level window: none handles these itself.
        if (message == WM_ACTIVATE && !self->child_) {
            self->OnActivate(LOWORD(wParam) != WA_INACTIVE, HIWORD(wParam) != 0);
            return 0;
        }
        if (message == WM_SETFOCUS && !self->child_) {
            self->RestoreFocus();
            return 0;
        }
        result = self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind into the window system; the event is dropped.
        ReportCaughtFailure(L"A window's message");
        result = DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) self->LetGo();
    return result;
}

}  // namespace velmora
