#pragma once
// A balloon that points at a control and says something about it, over the window without
// changing its layout and without taking the keyboard: a tracked tooltip of the window, so it
// shows the same on every system (an edit box's own balloon, EM_SHOWBALLOONTIP, is not shown
// under Wine).
#include <windows.h>

#include <string>
#include <string_view>

#include "misc/Handles.h"

namespace velmora {

class Balloon {
public:
    Balloon() = default;
    Balloon(const Balloon&) = delete;
    Balloon& operator=(const Balloon&) = delete;

    // Shown at the control, pointing at it, with a warning title; replaces what it said.
    void Show(HWND control, std::wstring_view title, std::wstring_view text);
    void Hide() noexcept;
    // Moves the shown balloon along with its control (after its window moved).
    void Follow() noexcept;
    // Before the window goes: the balloon is its own.
    void Destroy() noexcept;

private:
    bool Make(HWND owner);

    UniqueWindow tip_;
    HWND control_ = nullptr;
    std::wstring title_;
    std::wstring text_;
    bool shown_ = false;
};

}  // namespace velmora
