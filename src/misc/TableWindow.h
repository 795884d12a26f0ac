#pragma once
// A top-level window made from a layout table: its controls created from the table when the
// window is made, laid out again (fonts and all) for a new DPI, the painted panels and lines
// drawn behind them, and each control's colours as the table names them. A window of this kind
// adds only what is its own.
#include <span>
#include <string>
#include <string_view>

#include "misc/Layout.h"
#include "misc/Window.h"

namespace velmora {

// What a screen reader calls a control that no label before it names (a box the design left
// without one, a colour bar, a list): a label never shown goes before it. A button whose
// caption cannot say it (".."), keeping that caption, answers the screen reader itself.
struct AccessibleName {
    int id;
    const wchar_t* name;
};

struct TableDesign {
    WindowDesign window;
    std::span<const ControlSpec> controls;  // in Tab order
    FontSpec windowFont;                    // the font of the controls that name none
    std::span<const PaintedRect> rects = {};
    std::span<const PaintedLine> lines = {};
    // A window that opens beside another: on which side first, and whether it goes to that
    // screen edge when neither side has room (else it stays where it was put).
    Side besideSide = Side::Right;
    bool besideElseAtEdge = false;
    // Velmora's own windows keep Windows' conventions: Esc closes them, and their access keys
    // ("&" in a caption) are underlined when the system shows them. The windows drawn after
    // the classic program keep its keys exactly.
    bool windowsConventions = false;
    std::span<const AccessibleName> names = {};
    int defaultButton = 0;  // the button Enter presses where the focused control leaves Enter alone; 0: none
};

class TableWindow : public Window {
public:
    bool Open();
    HWND Control(int id) const noexcept { return controls_.Control(id); }

protected:
    TableWindow(HINSTANCE instance, const TableDesign& design);

    HINSTANCE Instance() const noexcept { return instance_; }
    ControlSet& Controls() noexcept { return controls_; }
    const ControlSet& Controls() const noexcept { return controls_; }
    std::wstring Text(int id) const { return controls_.Text(id); }
    void SetText(int id, std::wstring_view text) const { controls_.SetText(id, text); }
    // A tip shown while the pointer rests on a control, telling what it is for (the keys that
    // do what its click does). Added once the controls are made.
    void AddTip(int id, const wchar_t* text);
    // A key pressed now for the first time, not repeated by being held down.
    static bool IsFirstPress(const MSG& message) noexcept {
        return message.message == WM_KEYDOWN && (message.lParam & (1L << 30)) == 0;
    }

    // The window's own messages: every one but those all table windows answer alike.
    virtual LRESULT HandleOwnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // After the controls are made, before the window is first shown.
    virtual void OnCreate() {}
    // After the controls have been laid out for a new DPI.
    virtual void OnLayout(UINT /*dpi*/) {}
    // Drawn over the table's panels and lines.
    virtual void PaintMore(HDC /*dc*/) {}
    // The window this one opens beside on its first showing (the main window), or none.
    virtual HWND OpensBeside() const noexcept { return nullptr; }
    // A key for the window as a whole, before the dialog keys (see Window::OnWindowKey).
    virtual bool OnKey(const MSG& /*message*/) { return false; }
    // WM_CTLCOLORSTATIC, WM_CTLCOLOREDIT and WM_CTLCOLORBTN.
    virtual LRESULT OnControlColour(UINT message, HWND control, HDC dc);

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) final;
    void OnDpiChanged(UINT dpi) final;
    bool OnWindowKey(const MSG& message) final;
    void OnNextControl(WPARAM which, bool isControl);  // WM_NEXTDLGCTL
    void GiveAccessibleNames();
    void OnPaint();
    void PaintOn(HDC dc);

    HINSTANCE instance_;
    TableDesign design_;
    ControlSet controls_;
    HWND tips_ = nullptr;  // owned by the window, which destroys it with itself
};

}  // namespace velmora
