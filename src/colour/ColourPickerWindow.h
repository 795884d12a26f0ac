#pragma once
// The colour pickers "Font Color" and "Body Color": red, green and blue bars mix a colour, and
// OK writes it as six hex digits into the main window's font colour or body colour box. One
// class serves both; they differ in caption, layout, focus order and the box they write.
#include <string>
#include <string_view>

#include "misc/Layout.h"
#include "misc/Window.h"

namespace velmora {

class Composer;

class ColourPickerWindow final : public Window {
public:
    enum class Kind {
        FontColour,  // "Font Color", writes the main window's Text6
        BodyColour,  // "Body Color", writes the main window's Text7
    };

    // The bars' steps: an arrow click or arrow key moves a bar by one, a click in the track or
    // Page Up / Page Down by five.
    static constexpr int kArrowStep = 1;
    static constexpr int kPageStep = 5;

    ColourPickerWindow(HINSTANCE instance, Composer& composer, Kind kind);
    bool Open();
    HWND Control(int id) const noexcept { return controls_.Control(id); }

private:
    struct Design;
    static const Design& DesignFor(Kind kind);

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnCreate();
    LRESULT OnGetDefaultButton() const;
    void OnCommand(int id, int notification);
    void OnBarScrolled(HWND bar, int request, int thumbPosition);
    void OnPaint();
    void OnPrintClient(HDC dc);
    LRESULT OnControlColour(UINT message, HWND control, HDC dc);
    void OnDpiChanged(UINT dpi) override;

    void OnBarChanged(int channel);
    void OnNumberBoxChanged(int channel);
    void OnOkClicked();      // Command1
    void OnCancelClicked();  // Command2

    int BarValue(int channel) const;
    void SetBarValue(int channel, int value);
    std::wstring Text(int id) const;
    void SetText(int id, std::wstring_view text);
    void PaintDecorations(HDC dc);
    void Close();

    HINSTANCE instance_;
    Composer& composer_;
    Kind kind_;
    const Design& design_;
    ControlSet controls_;
};

}  // namespace velmora
