#include <windows.h>
// (commctrl.h needs windows.h first.)
#include <commctrl.h>

#include "misc/Balloon.h"
#include "misc/Dpi.h"
#include "misc/Scale.h"

namespace velmora {
namespace {

// Wide enough for two or three lines of plain words, at 96 DPI.
constexpr int kMostWidth = 300;

// The one tool of the balloon: the control's window, tracked at a point of the screen.
TOOLINFOW ToolOf(HWND control, std::wstring& text) noexcept {
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = GetParent(control);
    tool.uId = 1;
    tool.lpszText = text.data();
    return tool;
}

}  // namespace

bool Balloon::Make(HWND owner) {
    if (tip_) return true;
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);
    // Owned by the window, so it stays above it and goes with it; not topmost, so the IM window
    // brought to the front covers it.
    tip_.reset(CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_BALLOON | TTS_NOPREFIX | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                               reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE)), nullptr));
    if (!tip_) return false;
    TOOLINFOW tool = ToolOf(control_, text_);
    SendMessageW(tip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    return true;
}

void Balloon::Show(HWND control, std::wstring_view title, std::wstring_view text) {
    control_ = control;
    title_.assign(title);
    text_.assign(text);
    if (!Make(GetAncestor(control, GA_ROOT))) return;
    const int dpi = static_cast<int>(DpiForWindow(control));
    SendMessageW(tip_.get(), TTM_SETMAXTIPWIDTH, 0, ScaleForDpi(kMostWidth, dpi));
    SendMessageW(tip_.get(), TTM_SETTITLEW, TTI_WARNING, reinterpret_cast<LPARAM>(title_.c_str()));
    TOOLINFOW tool = ToolOf(control_, text_);
    SendMessageW(tip_.get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    Follow();
    SendMessageW(tip_.get(), TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    shown_ = true;
}

void Balloon::Hide() noexcept {
    if (!tip_ || !shown_) return;
    TOOLINFOW tool = ToolOf(control_, text_);
    SendMessageW(tip_.get(), TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
    shown_ = false;
}

void Balloon::Follow() noexcept {
    if (!tip_ || !control_) return;
    // The stem points at the control's lower edge, a quarter in from its left.
    RECT rect{};
    GetWindowRect(control_, &rect);
    SendMessageW(tip_.get(), TTM_TRACKPOSITION, 0,
                 MAKELPARAM(rect.left + (rect.right - rect.left) / 4, rect.bottom - (rect.bottom - rect.top) / 8));
}

void Balloon::Destroy() noexcept {
    tip_.reset();
    shown_ = false;
}

}  // namespace velmora
