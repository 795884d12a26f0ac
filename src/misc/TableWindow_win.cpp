#include <windows.h>
// (commctrl.h needs windows.h first.)
#include <commctrl.h>

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
            OnCreate();
            return 0;
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
