#pragma once
// The window "Help": three notes on what Velmora does.
#include "misc/Layout.h"
#include "misc/Window.h"

namespace velmora {

class HelpWindow final : public Window {
public:
    explicit HelpWindow(HINSTANCE instance);
    bool Open();

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnCreate();
    void OnPaint();
    void PaintOn(HDC dc);
    void OnDpiChanged(UINT dpi) override;
    LRESULT OnControlColour(HWND control, HDC dc);

    HINSTANCE instance_;
    ControlSet controls_;
};

}  // namespace velmora
