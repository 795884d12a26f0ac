#pragma once
// A name a screen reader reads for a control whose caption cannot say what it is for (a ".."
// button): the caption, the rectangle and the keys stay as they are.
#include <windows.h>

namespace velmora {

// The control answers a screen reader's question for it with `name`, which must outlive the
// control (a text of the window's design table). The system's own description of the control
// gives everything else (role, state, place, default action). False when it cannot be done.
bool GiveAccessibleName(HWND control, const wchar_t* name) noexcept;

}  // namespace velmora
