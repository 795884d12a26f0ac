#pragma once
// Base of Velmora's windows: class registration, `this` carried through WM_NCCREATE, no
// exception across the window procedure. For top-level windows also DPI-aware fixed-size
// creation, the move to a monitor of another DPI, the keyboard focus kept as a dialog keeps it,
// and the rule that the program ends when its last top-level window has closed.
#include <windows.h>

#include "misc/Placement.h"

namespace velmora {

struct WindowDesign {
    const wchar_t* className;
    const wchar_t* title;
    int clientWidth;   // 96-DPI pixels
    int clientHeight;  // 96-DPI pixels
    bool minimiseBox;
    int iconId;            // resource id, 0 for none
    bool sizable = false;  // a frame the user can resize; the client size above is the first
};

class Window {
public:
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND Handle() const noexcept { return hwnd_; }
    bool IsOpen() const noexcept { return hwnd_ != nullptr; }
    // Destroys the window while the object is whole, so the derived window's WM_DESTROY
    // handling (a pending save, a worker's stop) runs. An owner calls it before deleting an open
    // window: ~Window runs after the derived part is gone and can only let the window go.
    void Destroy() noexcept;
    // Shows the window if hidden and brings it to the front.
    void BringToFront() noexcept;
    // Top-level windows of Velmora that are open now, in this process.
    static int OpenWindowCount() noexcept;
    // Tab and Shift+Tab in a box that would take the key itself (a multi-line text box) move
    // the focus to the next or previous control of its window's Tab order instead; true when
    // the key was used so. The message loop asks this before the dialog keys are handled.
    static bool MoveFocusOnTab(const MSG& message) noexcept;
    // A key meant for the window as a whole (a menu key, a shortcut) before the dialog keys and
    // the focused control see it: true when the window used it up. The message loop asks this
    // first.
    static bool TakeWindowKey(const MSG& message) noexcept;

protected:
    Window() = default;
    // Creates the window centred on the screen, client area as designed (fixed size unless the
    // design is sizable), and shows it.
    bool Create(const WindowDesign& design, HINSTANCE instance);
    // Creates a child window of a class of its own, which paints its whole client area itself
    // (no background brush). It does not count as an open window of the program and keeps
    // the focus as the window system does.
    bool CreateChild(const wchar_t* className, HWND parent, int id, const RECT& rect, DWORD style, DWORD exStyle);
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    // Outer size for a client size in 96-DPI pixels at the window's DPI; used on creation and
    // on WM_DPICHANGED.
    SIZE OuterSizeAt(UINT dpi) const noexcept;
    // On WM_DPICHANGED the window has already taken the size Windows suggests; here it lays
    // out its controls and rebuilds its fonts for the new DPI. It is repainted afterwards.
    virtual void OnDpiChanged(UINT dpi);
    // The control that takes the keys when the window opens: the first of its Tab order,
    // unless a window names another.
    virtual HWND FirstFocus() const noexcept;
    // A key pressed in the window, before anything else sees it (see TakeWindowKey); true
    // when used up. `message` is WM_KEYDOWN, WM_SYSKEYDOWN, WM_KEYUP or WM_SYSKEYUP.
    virtual bool OnWindowKey(const MSG& /*message*/) { return false; }
    using Side = velmora::Side;
    // For WM_WINDOWPOSCHANGING: on its first showing the window opens beside `other`, on the
    // preferred side, else on the other side; where neither has room it stays where it was put,
    // or with `elseAtEdge` goes as near the preferred screen edge as it fits. Its top is level
    // with the other's, kept on the screen.
    void OpenBeside(HWND other, WINDOWPOS& place, Side preferred, bool elseAtEdge) const noexcept;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    void FollowDpiChange(UINT dpi, const RECT& suggested);
    // As a dialog: the first control of the Tab order on opening, the control that had the
    // focus when the window is active again.
    void OnActivate(bool active, bool minimised) noexcept;
    void RestoreFocus() noexcept;
    // Ends the object's tie to its window; the last top-level window ends the program.
    void LetGo() noexcept;
    HWND hwnd_ = nullptr;
    bool child_ = false;
    DWORD style_ = 0;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    HWND focusOnReturn_ = nullptr;  // the control that had the focus when the window was left
};

}  // namespace velmora
