#include <windows.h>
// (commctrl.h needs windows.h first.)
#include <commctrl.h>

#include "misc/AccessibleName.h"
#include "misc/Dpi.h"
#include "misc/TableWindow.h"

namespace velmora {

TableWindow::TableWindow(HINSTANCE instance, const TableDesign& design)
    : instance_(instance), design_(design), controls_(design.controls, design.windowFont) {}

bool TableWindow::Open() { return Create(design_.window, instance_); }

LRESULT TableWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            controls_.Create(Handle(), instance_, DpiForWindow(Handle()));
            // The underlines and the focus frame shown as the system decides (at once after
            // keyboard use, else once Alt is pressed).
            if (design_.windowsConventions) SendMessageW(Handle(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, 0), 0);
            GiveAccessibleNames();
            OnCreate();
            return 0;
        case WM_NEXTDLGCTL: OnNextControl(wParam, LOWORD(lParam) != 0); return 0;
        case DM_GETDEFID:
            if (!design_.defaultButton) return HandleOwnMessage(message, wParam, lParam);
            return MAKELRESULT(design_.defaultButton, DC_HASDEFID);
        case WM_WINDOWPOSCHANGING:
            if (HWND other = OpensBeside())
                OpenBeside(other, *reinterpret_cast<WINDOWPOS*>(lParam), design_.besideSide, design_.besideElseAtEdge);
            return HandleOwnMessage(message, wParam, lParam);
        case WM_PAINT: OnPaint(); return 0;
        case WM_PRINTCLIENT: PaintOn(reinterpret_cast<HDC>(wParam)); return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
            return OnControlColour(message, reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam));
        default: return HandleOwnMessage(message, wParam, lParam);
    }
}

LRESULT TableWindow::HandleOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultHandling(message, wParam, lParam);
}

namespace {

// A drop-down list that is open takes Esc to close itself.
bool IsDroppedDown(HWND focus) {
    for (HWND control : {focus, GetParent(focus)})
        if (control && SendMessageW(control, CB_GETDROPPEDSTATE, 0, 0)) return true;
    return false;
}

}  // namespace

bool TableWindow::OnWindowKey(const MSG& message) {
    if (design_.windowsConventions && message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE &&
        GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_SHIFT) >= 0 && !IsDroppedDown(message.hwnd)) {
        // As the close box closes it.
        SendMessageW(Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
        return true;
    }
    return OnKey(message);
}

void TableWindow::OnNextControl(WPARAM which, bool isControl) {
    // The dialog keys ask it of a window that is not a dialog too: an access key of a label
    // puts the focus on the label, then on the control after it.
    HWND target = isControl ? reinterpret_cast<HWND>(which) : GetNextDlgTabItem(Handle(), GetFocus(), which != 0);
    if (!target || !IsChild(Handle(), target)) return;
    if (!isControl && (SendMessageW(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL))
        SendMessageW(target, EM_SETSEL, 0, -1);
    SetFocus(target);
}

void TableWindow::GiveAccessibleNames() {
    // A screen reader names a box, a list or a bar by the label just before it among the
    // window's children: here one that is never shown, so the window keeps its look, its
    // texts and its Tab order. A button is named by its caption, so it answers for itself.
    for (const AccessibleName& named : design_.names) {
        HWND control = Control(named.id);
        if (!control) continue;
        wchar_t kind[16]{};
        GetClassNameW(control, kind, 16);
        if (lstrcmpiW(kind, WC_BUTTONW) == 0) {
            GiveAccessibleName(control, named.name);
            continue;
        }
        HWND label = CreateWindowExW(0, WC_STATICW, named.name, WS_CHILD | SS_NOPREFIX, 0, 0, 0, 0, Handle(), nullptr,
                                     instance_, nullptr);
        HWND before = GetWindow(control, GW_HWNDPREV);
        SetWindowPos(label, before ? before : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void TableWindow::AddTip(int id, const wchar_t* text) {
    if (!tips_)
        tips_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr, instance_, nullptr);
    if (!tips_) return;
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(Control(id));
    tool.lpszText = const_cast<wchar_t*>(text);
    SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void TableWindow::OnDpiChanged(UINT dpi) {
    controls_.Layout(dpi);
    OnLayout(dpi);
}

void TableWindow::OnPaint() {
    ScopedPaint paint(Handle());
    PaintOn(paint.dc());
}

void TableWindow::PaintOn(HDC dc) {
    controls_.PaintRects(dc, design_.rects);
    controls_.PaintLines(dc, design_.lines);
    PaintMore(dc);
}

LRESULT TableWindow::OnControlColour(UINT message, HWND control, HDC dc) {
    if (HBRUSH brush = controls_.ColourControl(control, dc)) {
        // A label or a check box shows its background round the text as well; a text box
        // paints its own, so its text stays opaque (no trace left where a character was).
        if (message != WM_CTLCOLOREDIT) SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(brush);
    }
    return DefaultHandling(message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
}

}  // namespace velmora
