#pragma once
// The window "About": Velmora's name, its makers, and a link to its home page.
#include "misc/Layout.h"
#include "misc/Window.h"

namespace velmora {

class AboutWindow final : public Window {
public:
    explicit AboutWindow(HINSTANCE instance);
    bool Open();

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnCreate();
    void OnCommand(int id, int notification);
    void OnPaint();
    void PaintOn(HDC dc);
    void OnDpiChanged(UINT dpi) override;
    LRESULT OnControlColour(HWND control, HDC dc);

    void OnLinkClicked();  // Label6

    HINSTANCE instance_;
    ControlSet controls_;
};

}  // namespace velmora
